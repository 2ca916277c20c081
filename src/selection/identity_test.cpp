#include "src/selection/identity_test.h"

#include <string_view>

#include "src/selection/rubric_tests_support.h"
#include "src/util/dates.h"
#include "src/util/number_text.h"

namespace vz::selection {
namespace {

constexpr size_t kTrimCapacity = 256;
constexpr std::string_view kNoDate = "__/__";

bool IsBlankText(std::string_view text) {
  for (char c : text) {
    if (c != ' ' && c != '\xFF') return false;
  }
  return true;
}

// Fails when `value` lies below element 1 or above element 2 (both trimmed,
// blank bounds open), comparing texts ordinally.
bool TextInRange(std::string_view raw_value, const CriteriaElements& elements) {
  char value_buffer[kTrimCapacity];
  char bound_buffer[kTrimCapacity];
  const std::string_view value = TrimInto(raw_value, value_buffer, kTrimCapacity);
  if (!IsBlankText(elements[1]) && value < TrimInto(elements[1], bound_buffer, kTrimCapacity)) {
    return false;
  }
  if (!IsBlankText(elements[2]) && value > TrimInto(elements[2], bound_buffer, kTrimCapacity)) {
    return false;
  }
  return true;
}

bool SameCity(std::string_view raw_city, std::string_view raw_wanted) {
  if (IsBlankText(raw_wanted)) return true;
  char city_buffer[kTrimCapacity];
  char wanted_buffer[kTrimCapacity];
  return TrimInto(raw_city, city_buffer, kTrimCapacity) ==
         TrimInto(raw_wanted, wanted_buffer, kTrimCapacity);
}

bool AgeInRange(const db::ClientRecord& client, const CriteriaElements& elements) {
  const int age = util::YearsBetweenDates(client.BirthDate(), "00000000", util::kDateYearMonthDay);
  if (!IsBlankText(elements[1]) && age < util::TextToInt(elements[1])) return false;
  if (!IsBlankText(elements[2]) && age > util::TextToInt(elements[2])) return false;
  return true;
}

// DD/MM -> MMDD (characters 4-5 then 1-2), into `out`.
std::string_view MonthDay(std::string_view day_month, char (&out)[4]) {
  const auto at = [day_month](size_t i) { return i < day_month.size() ? day_month[i] : ' '; };
  out[0] = at(3);
  out[1] = at(4);
  out[2] = at(0);
  out[3] = at(1);
  return {out, 4};
}

// A birthday bound that is "__/__" or blank leaves its side open.
bool OpenBirthdayBound(std::string_view bound) {
  return bound == kNoDate || IsBlankText(bound);
}

bool BirthdayInRange(const db::ClientRecord& client, const CriteriaElements& elements) {
  const std::string_view birth = client.BirthDate();
  const std::string_view client_day = birth.size() > 4 ? birth.substr(4, 4) : std::string_view{};
  char bound[4];
  if (!OpenBirthdayBound(elements[1]) && client_day < MonthDay(elements[1], bound)) return false;
  if (!OpenBirthdayBound(elements[2]) && client_day > MonthDay(elements[2], bound)) return false;
  return true;
}

bool SameCode(std::string_view value, std::string_view wanted) {
  return IsBlankText(wanted) || value == wanted;
}

std::string_view FirstTwo(std::string_view text) {
  return text.substr(0, text.size() < 2 ? text.size() : 2);
}

bool MeetsCriterion(const CriteriaEntry& entry, const db::ClientRecord& client,
                    const AddressBlock& address) {
  const std::string_view key = entry.key;
  if (key == "NOMCLI******") return TextInRange(client.Name(), CriteriaElements(entry.text));
  if (key == "NUMDOS******") {
    return TextInRange(client.DossierNumber(), CriteriaElements(entry.text));
  }
  if (key == "CODPOST*****") {
    return TextInRange(address.postcode.view(), CriteriaElements(entry.text));
  }
  if (key == "VILLE*******") return SameCity(address.city.view(), CriteriaElements(entry.text)[1]);
  if (key == "AGECLI******") return AgeInRange(client, CriteriaElements(entry.text));
  if (key == "ANNI********") return BirthdayInRange(client, CriteriaElements(entry.text));
  if (key == "SITFAM******") {
    return SameCode(client.FamilySituation(), CriteriaElements(entry.text)[2]);
  }
  if (key == "REGMAT******") return SameCode(client.RegimeCode(), CriteriaElements(entry.text)[2]);
  if (key == "FAMPRO******") {
    const std::string_view wanted = CriteriaElements(entry.text)[2];
    return IsBlankText(wanted) || FirstTwo(client.ProfessionCode()) == FirstTwo(wanted);
  }
  if (key == "PROFES******") {
    return SameCode(client.ProfessionCode(), CriteriaElements(entry.text)[2]);
  }
  return true;
}

}  // namespace

bool PassesIdentityTest(std::span<const CriteriaEntry> criteria, const db::ClientRecord& client,
                        const AddressBlock& address) {
  // A failed criterion decides: the others cannot set the client back.
  for (const CriteriaEntry& entry : criteria) {
    if (!MeetsCriterion(entry, client, address)) return false;
  }
  return true;
}

}  // namespace vz::selection
