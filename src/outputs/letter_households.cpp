#include "src/outputs/letter_households.h"

#include <cstddef>
#include <vector>

#include "src/db/layouts/selectes.h"
#include "src/db/record_ops.h"
#include "src/screen/field_access.h"
#include "src/selection/rubric_tables.h"
#include "src/util/blanks.h"

namespace vz::outputs {
namespace {

constexpr std::string_view kSwitch = "FOYER";
constexpr std::string_view kSelectedFile = "SELECTES";
constexpr std::string_view kPostcodeKey = "CODPTT";
constexpr size_t kClientCodeWidth = 9;

std::string Trimmed(std::string_view text) {
  return util::TrimBlanks(text, util::kTrimAll);
}

bool SameAddress(const selection::AddressBlock& a, const selection::AddressBlock& b) {
  for (size_t line = 0; line < a.lines.size(); ++line) {
    if (Trimmed(a.lines[line].view()) != Trimmed(b.lines[line].view())) return false;
  }
  return Trimmed(a.postcode.view()) == Trimmed(b.postcode.view()) &&
         Trimmed(a.city.view()) == Trimmed(b.city.view());
}

}  // namespace

void HouseholdLetters::Prepare() {
  skipped_.clear();
  firsts_.clear();
  const std::string value = screen::GetFieldValue(kSwitch, screen::kWholeValue);
  on_ = value == "O" || value == "1";  // a switch reads "O" when on
  if (!on_) return;
  std::vector<std::string> codes;
  const db::SelectedRecord selected = db::CurrentSelected();
  for (db::Hlitpremier(kSelectedFile, kPostcodeKey); !db::Hendehors();
       db::Hlitsuivant(kSelectedFile, kPostcodeKey)) {
    codes.push_back(Trimmed(selected.ClientCode()));
  }
  const std::set<std::string, std::less<>> chosen(codes.begin(), codes.end());
  LetterPersons persons;
  LetterPersons partner;
  selection::AddressBlock address;
  selection::AddressBlock partner_address;
  for (const std::string& code : codes) {
    if (code.size() != kClientCodeWidth) continue;
    persons.Load(code, address);
    if (!persons.has_second()) continue;
    const std::string second = Trimmed(persons.second().Codcli().substr(0, kClientCodeWidth));
    if (!chosen.count(second) || skipped_.count(code)) continue;
    partner.Load(second, partner_address);
    if (!SameAddress(address, partner_address)) continue;
    skipped_.insert(second);
    firsts_.insert(code);
  }
}

bool HouseholdLetters::Skips(std::string_view client_code) const {
  return on_ && skipped_.count(Trimmed(client_code)) > 0;
}

std::optional<util::HouseholdAddressee> HouseholdLetters::AddresseeOf(
    LetterPersons& persons) const {
  if (!on_ || !persons.found() || !persons.has_second()) return {};
  const db::ClientRecord first = persons.first();
  if (!firsts_.count(Trimmed(first.Codcli().substr(0, kClientCodeWidth)))) return {};
  const db::ClientRecord second = persons.second();
  const std::string civility1 = LetterCivility(first);
  const std::string civility2 = LetterCivility(second);
  const std::string first_name1 = Trimmed(first.IdentityTextB());
  const std::string first_name2 = Trimmed(second.IdentityTextB());
  const std::string name1 = Trimmed(first.Name());
  const std::string name2 = Trimmed(second.Name());
  return util::AddressHousehold({civility1, first_name1, name1}, {civility2, first_name2, name2});
}

std::optional<std::string> HouseholdIdentityValue(std::string_view keyword,
                                                  const util::HouseholdAddressee& addressee) {
  if (keyword.substr(0, 5) == "0000M") return addressee.civility;
  if (keyword.substr(0, 5) == "0000A") return addressee.name;
  return {};
}

}  // namespace vz::outputs
