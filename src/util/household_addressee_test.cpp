#include "src/util/household_addressee.h"

#include <gtest/gtest.h>

namespace vz::util {
namespace {

struct Case {
  HouseholdPerson first;
  HouseholdPerson second;
  const char* civility;
  const char* name;
};

TEST(HouseholdAddresseeTest, NamesBothPersonsOnOneLine) {
  const Case cases[] = {
      // A couple of one name, whichever comes first.
      {{"Monsieur", "Paul", "DUPONT"},
       {"Madame", "Anne", "DUPONT"},
       "Monsieur et Madame",
       "DUPONT"},
      {{"Madame", "Anne", "DUPONT "},
       {"Monsieur", "Paul", " DUPONT"},
       "Monsieur et Madame",
       "DUPONT"},
      // Two names: both in full, the first person first.
      {{"Madame", "Anne", "DUPONT"},
       {"Monsieur", "Paul", "MARTIN"},
       "Madame Anne DUPONT et Monsieur",
       "Paul MARTIN"},
      // Same name but not a man and a woman: both in full.
      {{"Madame", "Anne", "DUPONT"},
       {"Madame", "Julie", "DUPONT"},
       "Madame Anne DUPONT et Madame",
       "Julie DUPONT"},
      {{"Mademoiselle", "", "DUPONT"},
       {"Monsieur", "", "DUPONT"},
       "Mademoiselle DUPONT et Monsieur",
       "DUPONT"},
      // Missing parts are left out, never doubled blanks.
      {{"", "", "DUPONT"}, {"", "Paul", "MARTIN"}, "DUPONT et", "Paul MARTIN"},
  };
  for (const Case& c : cases) {
    const HouseholdAddressee addressee = AddressHousehold(c.first, c.second);
    EXPECT_EQ(addressee.civility, c.civility) << c.first.name << " / " << c.second.name;
    EXPECT_EQ(addressee.name, c.name);
    EXPECT_EQ(addressee.Line(), std::string(c.civility) + " " + c.name);
  }
}

}  // namespace
}  // namespace vz::util
