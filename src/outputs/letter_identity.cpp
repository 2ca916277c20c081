#include "src/outputs/letter_identity.h"

#include <array>
#include <cstring>

#include "platform/os/cp1252.h"
#include "src/db/household.h"
#include "src/db/layouts/code_label.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/selection/address_loader.h"
#include "src/util/blanks.h"
#include "src/util/dates.h"
#include "src/util/number_text.h"

namespace vz::outputs {
namespace {

constexpr std::string_view kClientFile = "CLIENT";
constexpr std::string_view kClientKey = "CODCLI";
constexpr size_t kClientCodeWidth = 9;
constexpr int8_t kAgeWidth = -3;

enum class Identity {
  kName,
  kCivility,
  kTextB,
  kAddressLine1,
  kAddressLine2,
  kPostcode,
  kCity,
  kTextF,
  kTextG,
  kAge1,
  kAge2,
  kBirthDate1,
  kBirthDate2,
  kFamilySituation,
  kRegime,
  kProfession1,
  kProfession2,
};

struct IdentityCode {
  std::string_view code;
  Identity field;
};

// A keyword names the field whose code it begins with.
constexpr std::array<IdentityCode, 17> kIdentityCodes = {{
    {"0000A", Identity::kName},
    {"0000M", Identity::kCivility},
    {"0000B", Identity::kTextB},
    {"0000C1", Identity::kAddressLine1},
    {"0000C2", Identity::kAddressLine2},
    {"0000D", Identity::kPostcode},
    {"0000E", Identity::kCity},
    {"0000F", Identity::kTextF},
    {"0000G", Identity::kTextG},
    {"0000H1", Identity::kAge1},
    {"0000H2", Identity::kAge2},
    {"0000I1", Identity::kBirthDate1},
    {"0000I2", Identity::kBirthDate2},
    {"0000J", Identity::kFamilySituation},
    {"0000K", Identity::kRegime},
    {"0000L1", Identity::kProfession1},
    {"0000L2", Identity::kProfession2},
}};

struct SituationText {
  char code;
  std::string man;
  std::string otherwise;
};

const std::array<SituationText, 8>& SituationTexts() {
  static const std::array<SituationText, 8> texts = {{
      {'M', os::Cp1252("Marié"), os::Cp1252("Mariée")},
      {'C', os::Cp1252("Célibataire"), os::Cp1252("Célibataire")},
      {'P', os::Cp1252("Pacsé      "), os::Cp1252("Pacsée     ")},
      {'N', "Concubinage", "Concubinage"},
      {'V', "Veuf", "Veuve"},
      {'D', os::Cp1252("Divorcé"), os::Cp1252("Divorcée")},
      {'S', os::Cp1252("Séparée"), os::Cp1252("Séparée")},
      {'U', "Union libre", "Union libre"},
  }};
  return texts;
}

const std::string& Mademoiselle() {
  static const std::string text = "Mademoiselle";
  return text;
}

void ClearBuffer(db::FileId file) {
  std::memset(db::RecordBuffer(file), 0, db::RecordBufferSize(file));
}

// The label of a code-label record found by its whole 5-character key.
template <typename Record>
std::string_view LabelOf(std::string_view file, std::string_view key, std::string_view code,
                         Record record) {
  if (code.empty()) return {};
  db::Hlitrecherche(file, key, code);
  if (db::Hendehors() || record.Key() != code) return {};
  return record.Label();
}

std::string_view ProfessionLabel(std::string_view code) {
  return LabelOf("PROFES", "CODPROF", code, db::CurrentProfession());
}

std::string Age(std::string_view birth_date) {
  return util::NumberToText(
      util::YearsBetweenDates(birth_date, "00000000", util::kDateYearMonthDay), kAgeWidth, 0);
}

void AppendWithoutSpaces(std::string_view text, std::string& out) {
  for (char c : text) {
    if (c != ' ') out += c;
  }
}

// The value of identity field `field`, into `out` (emptied first).
void IdentityValue(Identity field, LetterPersons& persons, const selection::AddressBlock& address,
                   std::string& out) {
  out.clear();
  db::ClientRecord first = persons.first();
  db::ClientRecord second = persons.second();
  const bool two = persons.has_second();
  switch (field) {
    case Identity::kName:
      out = util::TrimBlanks(first.Name(), util::kTrimAll);
      break;
    case Identity::kCivility:
      out = LetterCivility(first);
      break;
    case Identity::kTextB:
      out = util::TrimBlanks(first.IdentityTextB(), util::kTrimAll);
      break;
    case Identity::kAddressLine1:
      out = util::TrimBlanks(address.lines[0].view(), util::kTrimAll);
      break;
    case Identity::kAddressLine2:
      out = util::TrimBlanks(address.lines[1].view(), util::kTrimAll);
      break;
    case Identity::kPostcode:
      out = address.postcode.view();
      break;
    case Identity::kCity:
      out = util::TrimBlanks(address.city.view(), util::kTrimAll);
      break;
    case Identity::kTextF:
      out = first.IdentityTextF();
      break;
    case Identity::kTextG:
      out = first.IdentityTextG();
      break;
    case Identity::kAge1:
      out = Age(first.BirthDate());
      break;
    case Identity::kAge2:
      if (two) out = Age(second.BirthDate());
      break;
    case Identity::kBirthDate1:
      out = first.BirthDate();
      break;
    case Identity::kBirthDate2:
      if (two) out = second.BirthDate();
      break;
    case Identity::kFamilySituation:
      out = LetterFamilySituationText(first.FamilySituation(), first.CivilityCode());
      break;
    case Identity::kRegime:
      out = LabelOf("ANNEXE", "CODRUBR", first.RegimeCode(), db::CurrentAnnex());
      break;
    case Identity::kProfession1:
      out = ProfessionLabel(first.ProfessionCode());
      break;
    case Identity::kProfession2:
      if (two) out = ProfessionLabel(second.ProfessionCode());
      break;
  }
}

}  // namespace

LetterPersons::LetterPersons()
    : first_(db::RecordBufferSize(db::FileId::CLIENT)),
      second_(db::RecordBufferSize(db::FileId::CLIENT)) {}

void LetterPersons::Load(std::string_view client_code, selection::AddressBlock& address) {
  uint8_t* buffer = db::RecordBuffer(db::FileId::CLIENT);
  const size_t size = first_.size();
  found_ = false;
  has_second_ = false;
  if (!client_code.empty()) {
    db::Hlitrecherche(kClientFile, kClientKey, client_code);
    found_ =
        !db::Hendehors() && db::CurrentClient().Codcli().substr(0, kClientCodeWidth) == client_code;
  }
  if (!found_) ClearBuffer(db::FileId::CLIENT);
  selection::LoadAddress(client_code, address);
  std::memcpy(first_.data(), buffer, size);
  std::memset(second_.data(), 0, size);
  if (!found_) return;

  db::Hlitsuivant(kClientFile, kClientKey);
  if (db::Hendehors()) return;
  const db::ClientRecord next = db::CurrentClient();
  const std::string_view next_code = next.Codcli().substr(0, kClientCodeWidth);
  if (db::IsSecondPerson(client_code, next_code, next.Name())) {
    has_second_ = true;
    std::memcpy(second_.data(), buffer, size);
  }
}

std::string LetterCivility(db::ClientRecord client) {
  if (client.CivilityCode() == "3") return Mademoiselle();
  std::string out;
  AppendWithoutSpaces(client.CivilityTitle(), out);
  // Most clients have no written-out title: their civility code still gives
  // the letter its "Monsieur" or "Madame".
  if (out.empty() && client.CivilityCode() == "1") out = "Monsieur";
  if (out.empty() && client.CivilityCode() == "2") out = "Madame";
  return out;
}

std::string_view LetterFamilySituationText(std::string_view situation, std::string_view civility) {
  if (situation.size() != 1) return {};
  for (const SituationText& text : SituationTexts()) {
    if (text.code == situation.front()) return civility == "1" ? text.man : text.otherwise;
  }
  return {};
}

void AppendIdentityValues(const LetterFieldList& fields, LetterPersons& persons,
                          const selection::AddressBlock& address, LetterValues& values) {
  std::string value;
  for (int i = 0; i < fields.count(); ++i) {
    const std::string_view keyword = fields.At(i);
    if (FamilyRank(keyword) != 1) continue;
    value.clear();
    for (const IdentityCode& code : kIdentityCodes) {
      if (keyword.substr(0, code.code.size()) == code.code) {
        IdentityValue(code.field, persons, address, value);
        break;
      }
    }
    values.Append(value);
  }
}

}  // namespace vz::outputs
