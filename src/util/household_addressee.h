// Who one mail to a household is addressed to: the two persons of the
// household, written as the first line of a label or the civility and name of
// a letter.
//
// Two persons of the same name, a man and a woman ("Monsieur" and "Madame",
// either order): "Monsieur et Madame DUPONT". Otherwise both persons in full,
// the first one first: "Madame Anne DUPONT et Monsieur Paul MARTIN". Split in
// two for letters, whose templates write civility then name: the civility
// part is everything before the second person's first name and name
// ("Monsieur et Madame" / "Madame Anne DUPONT et Monsieur"), the name part
// the rest ("DUPONT" / "Paul MARTIN"); civility + " " + name gives the line.
// Texts are cp1252 and trimmed; empty parts are left out. Never fails.
#ifndef VZ_SRC_UTIL_HOUSEHOLD_ADDRESSEE_H_
#define VZ_SRC_UTIL_HOUSEHOLD_ADDRESSEE_H_

#include <string>
#include <string_view>

namespace vz::util {

struct HouseholdPerson {
  std::string_view civility;  // written out: "Monsieur", "Madame", ...
  std::string_view first_name;
  std::string_view name;
};

struct HouseholdAddressee {
  std::string civility;  // "Monsieur et Madame"
  std::string name;      // "DUPONT"
  std::string Line() const;
};

HouseholdAddressee AddressHousehold(const HouseholdPerson& first, const HouseholdPerson& second);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_HOUSEHOLD_ADDRESSEE_H_
