// Rubric fields of a letter through the whole run: which table each family
// writes, the amount's writing (0 as blanks, 1234.5 rounded), codes missing
// from the code table, the selector of the first keyword, retirement,
// provident positions and the estate read from CLIPART.
#include <gtest/gtest.h>

#include <string>

#include "src/db/layouts/rubric_files.h"
#include "src/outputs/letters.h"
#include "src/outputs/letters_test_fixture.h"

namespace vz::outputs {
namespace {

using db::FileId;

constexpr std::string_view kClient = "010000011";
constexpr std::string_view kPartner = "010000012";

struct Expected {
  std::string keyword;
  std::string value;
};

class LetterRubricsTest : public LettersTest {
 protected:
  // One client selected; the template names every keyword of `expected`.
  void Run(const std::vector<Expected>& expected) {
    std::string text;
    for (const Expected& e : expected) text += "#" + e.keyword + " ";
    WriteTemplate(text);
    AddClient(kClient, "DUPONT");
    Select(kClient, "75001");
    ProduceLetters();
    ASSERT_EQ(clicks_.size(), 1u);
    for (const Expected& e : expected) EXPECT_EQ(Value(0, e.keyword), e.value) << e.keyword;
  }
};

TEST_F(LetterRubricsTest, IncomeAmountsAreWrittenInEightCharacters) {
  AddRubric(FileId::REVENUS, kClient, "40001", "001", 1234.5f);
  AddRubric(FileId::REVENUS, kClient, "40002", "001", 0.0f);
  AddRubric(FileId::REVENUS, kClient, "40003", "001", -99.4f);
  AddRubric(FileId::REVENUS, kClient, "40004", "001", 123456789.0f);
  AddRubric(FileId::REVENUS, kPartner, "40005", "001", 700.0f);
  Run({
      {"4000111", "    1235"},  // halves rounded away from zero
      {"4000211", "        "},  // exactly 0: eight blanks
      {"4000311", "     -99"},
      {"4000411", "123456792"},  // wider than 8 (a 4-byte real): written in full
      {"4000511", "0"},          // the partner's line, not taken with selector "1"
      {"4099911", "0"},          // not in the code table
  });
}

TEST_F(LetterRubricsTest, TheSelectorComesFromTheFirstKeywordThatHasOne) {
  AddRubric(FileId::REVENUS, kClient, "40001", "001", 100.0f);
  // "40" and "40001" sort first but carry no selector.
  Run({{"40", "0"}, {"40001", "     100"}, {"4000111", "     100"}});
}

TEST_F(LetterRubricsTest, WithoutAnySelectorNothingIsLoaded) {
  AddRubric(FileId::REVENUS, kClient, "40001", "001", 100.0f);
  Run({{"40001", "0"}, {"400011", "0"}});
}

TEST_F(LetterRubricsTest, TheFirstKeywordsSelectorLoadsTheWholeHousehold) {
  AddRubric(FileId::REVENUS, kClient, "40001", "001", 100.0f);
  AddRubric(FileId::REVENUS, kPartner, "40001", "001", 50.0f);
  AddRubric(FileId::REVENUS, "010000013", "40002", "001", 20.0f);
  // Sorted, "4000012" comes before "4000111": its selector "2" is used.
  Run({{"4000111", "     150"}, {"4000012", "     170"}, {"4000211", "      20"}});
}

TEST_F(LetterRubricsTest, SecondAmountOrYieldByTheSixthCharacter) {
  AddRubric(FileId::EMPRUNTS, kClient, "54001", "001", 5000.0f,
            [](db::RubricRecord& r) { db::LoanRecord(r.data).SetSecondAmount(300.0f); });
  AddRubric(FileId::IMMORAPP, kClient, "02001", "001", 1000.0f, [](db::RubricRecord& r) {
    db::RentalRecord rental(r.data);
    rental.SetRent(80.0f);
    rental.SetLoanFinanced("N");
  });
  AddRubric(FileId::IMPOTS, kClient, "51001", "001", 2500.0f);
  AddRubric(FileId::VALMOBIL, kClient, "04002", "001", 42.0f);
  Run({
      {"5400112", "    5000"},
      {"5400122", "     300"},
      {"5400192", "     300"},  // anything but "1" is the second amount
      {"0200112", "    1000"},
      {"0200122", "       0"},  // the yield 0.08: rounded to 0, not exactly 0
      {"51001", "    2500"},    // taxes have no selector
      {"5100099", "    2500"},
      {"0400211", "      42"},
  });
}

TEST_F(LetterRubricsTest, RetirementAndProvidentPositions) {
  AddRubric(FileId::RETRAITE, kClient, "20001", "001", 12000.0f);
  AddRubric(FileId::PREVSOUH, kClient, "33000", "001", 0, [](db::RubricRecord& r) {
    db::ProvidentRecord cover(r.data);
    for (size_t i = 0; i < 8; ++i) {
      const float n = static_cast<float>(i + 1);
      cover.SetFirstAmount(i, 100.0f * n);
      cover.SetSecondAmount(i, 1000.0f * n);
      cover.SetFirstRatio(i, 10.0f * n);
      cover.SetSecondRatio(i, 20.0f * n);
    }
  });
  Run({
      {"2000A", "   12000"},  // pensions
      {"2000B", "        "},  // no income: rate 0
      {"2000F", "0"},
      {"3300A1", "     100"},  // first amount of cover 1
      {"3300A2", "    1000"},  // second amount of cover 1
      {"3300G1", "     700"},
      {"3300G2", "    7000"},
      {"3300H1", "      10"},  // first ratio of cover 1
      {"3300H2", "      20"},  // second ratio of cover 1
      {"3300N1", "      70"},
      {"3300N2", "     140"},
      {"3300A", "0"},  // neither "1" nor "2"
      {"3300O1", "0"},
  });
}

TEST_F(LetterRubricsTest, EstateFromTheClientsOwnRecord) {
  AddEstate(kClient, 250000.4f, 0.0f);
  AddEstate("010000021", 1.0f, 2.0f);
  Run({{"SC00A", "  250000"}, {"SC00B", "        "}, {"SC00C", "0"}, {"SC", "0"}});
}

TEST_F(LetterRubricsTest, EstateOfAClientWithoutRecordReadsZero) {
  AddEstate("010000021", 1.0f, 2.0f);  // the next client's record
  Run({{"SC00A", "        "}, {"SC00B", "        "}});
}

TEST_F(LetterRubricsTest, FamiliesAreWalkedInRankOrderWhateverTheTemplateOrder) {
  AddEstate(kClient, 5.0f, 6.0f);
  AddRubric(FileId::REVENUS, kClient, "40001", "001", 1.0f);
  AddRubric(FileId::PRIMEUNI, kClient, "07001", "001", 7.0f);
  AddRubric(FileId::LIQUIDIT, kClient, "05001", "001", 3.0f);
  Run({{"SC00B", "       6"},
       {"0700111", "       7"},
       {"0000A", "DUPONT"},
       {"X", ""},
       {"0500111", "       3"},
       {"4000111", "       1"},
       {"SC00A", "       5"}});
}

}  // namespace
}  // namespace vz::outputs
