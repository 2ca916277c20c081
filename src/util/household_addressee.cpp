#include "src/util/household_addressee.h"

#include <initializer_list>

namespace vz::util {
namespace {

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The words joined by one blank, empty ones left out.
std::string Joined(std::initializer_list<std::string_view> words) {
  std::string out;
  for (std::string_view word : words) {
    word = Trim(word);
    if (word.empty()) continue;
    if (!out.empty()) out.push_back(' ');
    out.append(word);
  }
  return out;
}

bool IsCouple(std::string_view a, std::string_view b) {
  return (a == "Monsieur" && b == "Madame") || (a == "Madame" && b == "Monsieur");
}

}  // namespace

std::string HouseholdAddressee::Line() const {
  return Joined({civility, name});
}

HouseholdAddressee AddressHousehold(const HouseholdPerson& first, const HouseholdPerson& second) {
  const std::string_view name = Trim(first.name);
  if (!name.empty() && name == Trim(second.name) &&
      IsCouple(Trim(first.civility), Trim(second.civility))) {
    return {"Monsieur et Madame", std::string(name)};
  }
  const std::string first_person = Joined({first.civility, first.first_name, first.name});
  std::string civility = first_person;
  if (!civility.empty() && !Trim(second.civility).empty()) civility += " et ";
  if (!Trim(second.civility).empty()) {
    civility.append(Trim(second.civility));
  } else if (!civility.empty()) {
    civility += " et";
  }
  return {civility, Joined({second.first_name, second.name})};
}

}  // namespace vz::util
