// The identity test, table-driven on a client record held in a plain buffer:
// name range DUPONT to DURAND, open sides, birthdays across March and a range
// that wraps the year end, ages 30 and 40 by the 365-day rule, city, codes
// and professional family. Today is fixed at 2024-06-15.
#include "src/selection/identity_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/local_date.h"
#include "src/config/parameter_file.h"

namespace vz::selection {
namespace {

struct Client {
  std::string name = "DUPONT";
  std::string birth = "19800615";
  std::string dossier = "D-0042";
  std::string situation = "M";
  std::string regime = "COM";
  std::string profession = "03120";
  std::string postcode = "75008";
  std::string city = "PARIS";
};

struct Case {
  std::string key;
  std::string text;  // elements separated by TAB
  Client client;
  bool passes;
};

Client Named(std::string name) {
  Client c;
  c.name = std::move(name);
  return c;
}
Client BornOn(std::string birth) {
  Client c;
  c.birth = std::move(birth);
  return c;
}

bool Evaluate(const std::vector<CriteriaEntry>& criteria, const Client& c) {
  std::vector<uint8_t> buffer(db::ClientRecord::kBufferSize);
  db::ClientRecord record{buffer.data()};
  record.SetName(c.name);
  record.SetBirthDate(c.birth);
  record.SetDossierNumber(c.dossier);
  record.SetFamilySituation(c.situation);
  record.SetRegimeCode(c.regime);
  record.SetProfessionCode(c.profession);
  AddressBlock address;
  address.postcode.assign(c.postcode);
  std::string city = c.city;
  city.resize(60, ' ');  // as the address loader stores it
  address.city.assign(city);
  return PassesIdentityTest(criteria, record, address);
}

class IdentityTest : public ::testing::Test {
 protected:
  os::ScopedTodayForTests today_{os::CalendarDate{2024, 6, 15}};
  config::ScopedListSeparator tab_{'\t'};
};

TEST_F(IdentityTest, EachCriterionAlone) {
  const std::vector<Case> cases = {
      // Name range: both ends inclusive, ordinal and case-sensitive.
      {"NOMCLI******", "DUPONT\tDURAND", Named("DUPONT"), true},
      {"NOMCLI******", "DUPONT\tDURAND", Named("DURAND"), true},
      {"NOMCLI******", "DUPONT\tDURAND", Named("DUPONTEL"), true},
      {"NOMCLI******", "DUPONT\tDURAND", Named("DURANDE"), false},
      {"NOMCLI******", "DUPONT\tDURAND", Named("DUPOND"), false},
      {"NOMCLI******", "DUPONT\tDURAND", Named("dupont"), false},
      {"NOMCLI******", "DUPONT\tDURAND", Named("  DUPONT   "), true},  // trimmed
      {"NOMCLI******", " DUPONT \t DURAND ", Named("DURAND"), true},   // bounds trimmed
      {"NOMCLI******", "\tDURAND", Named("AARON"), true},              // open lower side
      {"NOMCLI******", "DUPONT\t", Named("ZOLA"), true},               // open upper side
      {"NOMCLI******", "DUPONT\t   ", Named("ZOLA"), true},            // blank upper side
      {"NOMCLI******", "", Named("ZOLA"), true},
      {"NOMCLI******", "DUPONT\tDURAND", Named(""), false},
      {"NOMCLI******", "\xC9MILE\t\xC9MILE", Named("\xC9MILE"), true},  // cp1252 letters
      {"NOMCLI******", "DUPONT\tDURAND", Named("\xC9MILE"), false},     // 0xC9 above "D"
      // File number and postcode compare as texts too.
      {"NUMDOS******", "D-0040\tD-0050", Client{}, true},
      {"NUMDOS******", "D-0043\t", Client{}, false},
      {"CODPOST*****", "75000\t75999", Client{}, true},
      {"CODPOST*****", "69000\t69999", Client{}, false},
      // City: equal once trimmed, blank means any.
      {"VILLE*******", "PARIS", Client{}, true},
      {"VILLE*******", "  PARIS ", Client{}, true},
      {"VILLE*******", "Paris", Client{}, false},
      {"VILLE*******", "LYON", Client{}, false},
      {"VILLE*******", "", Client{}, true},
      // Ages in whole 365-day years.
      {"AGECLI******", "30\t40", BornOn("19940615"), true},   // exactly 30
      {"AGECLI******", "30\t40", BornOn("19840615"), true},   // exactly 40
      {"AGECLI******", "30\t40", BornOn("19940616"), false},  // one day short of 30
      {"AGECLI******", "30\t40", BornOn("19830615"), false},  // 41
      {"AGECLI******", "30\t", BornOn("19000101"), true},
      {"AGECLI******", "\t40", BornOn("20200101"), true},
      {"AGECLI******", "1\t99", BornOn(""), false},             // no birth date: age 0
      {"AGECLI******", "abc\txyz", BornOn("19800101"), false},  // unreadable bounds are 0
      // Birthdays: MMDD against DD/MM bounds, no wrapping.
      {"ANNI********", "01/03\t31/03", BornOn("19800301"), true},
      {"ANNI********", "01/03\t31/03", BornOn("19990331"), true},
      {"ANNI********", "01/03\t31/03", BornOn("20000315"), true},
      {"ANNI********", "01/03\t31/03", BornOn("19800229"), false},
      {"ANNI********", "01/03\t31/03", BornOn("19800401"), false},
      {"ANNI********", "15/12\t15/01", BornOn("19801220"), false},
      {"ANNI********", "15/12\t15/01", BornOn("19800110"), false},
      {"ANNI********", "15/12\t15/01", BornOn("19800615"), false},
      {"ANNI********", "__/__\t31/03", BornOn("19800105"), true},
      {"ANNI********", "__/__\t31/03", BornOn("19800405"), false},
      {"ANNI********", "01/03\t__/__", BornOn("19801231"), true},
      {"ANNI********", "__/__\t__/__", BornOn(""), true},
      {"ANNI********", "01/03\t", BornOn("19801231"), true},  // a blank bound is open too
      // Codes compare exactly with element 2; a blank element 2 means any.
      {"SITFAM******", "Mari\xE9\tM", Client{}, true},
      {"SITFAM******", "C\xE9libataire\tC", Client{}, false},
      {"SITFAM******", "x\t", Client{}, true},
      {"REGMAT******", "x\tCOM", Client{}, true},
      {"REGMAT******", "x\tCO", Client{}, false},
      {"FAMPRO******", "x\t03", Client{}, true},
      {"FAMPRO******", "x\t039", Client{}, true},  // first two characters only
      {"FAMPRO******", "x\t04", Client{}, false},
      {"PROFES******", "x\t03120", Client{}, true},
      {"PROFES******", "x\t03", Client{}, false},
      // Other keys are not identity criteria.
      {"40001******1", "5\t1", Client{}, true},
      {"NOMCLI", "ZZZ\tZZZ", Client{}, true},  // not the 12-character key
      {"", "", Client{}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Evaluate({{c.key, c.text}}, c.client), c.passes)
        << c.key << " [" << c.text << "] name=" << c.client.name << " birth=" << c.client.birth;
  }
}

TEST_F(IdentityTest, EveryCriterionMustHold) {
  const std::vector<CriteriaEntry> criteria = {
      {"TITRE*******", "Clients parisiens\t\t\t\t\tE"},
      {"NOMCLI******", "DUPONT\tDURAND"},
      {"VILLE*******", "PARIS"},
      {"AGECLI******", "40\t50"},
  };
  EXPECT_TRUE(Evaluate(criteria, Client{}));  // born 1980-06-15: 44
  Client lyon;
  lyon.city = "LYON";
  EXPECT_FALSE(Evaluate(criteria, lyon));
  EXPECT_FALSE(Evaluate(criteria, BornOn("19900101")));
  EXPECT_TRUE(Evaluate({}, Named("")));  // no criteria: everybody
}

}  // namespace
}  // namespace vz::selection
