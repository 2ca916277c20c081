// The column producers on hand-made clients: the identity words (tables),
// the identity columns, the rubric family with its option rule and two-column
// members, the provident pairing and the estate columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/db/layouts/rubric_files.h"
#include "src/db/record_ops.h"
#include "src/outputs/extraction_test_support.h"
#include "src/outputs/identity_columns.h"
#include "src/outputs/rubric_columns.h"
#include "src/selection/address_loader.h"

namespace vz::outputs {
namespace {

using db::FileId;

constexpr std::string_view kClient = "010000011";
constexpr std::string_view kPartner = "010000012";
constexpr std::string_view kJoint = "010000013";

struct SituationCase {
  const char* situation;
  const char* civility;
  const char* words;  // UTF-8
};

TEST(FamilySituationText, ElevenCharactersByCivility) {
  const std::vector<SituationCase> cases = {
      {"M", "1", "Marié      "},
      {"M", "2", "Mariée     "},
      {"M", "3", "Mariée     "},
      {"P", "1", "Pacsé      "},
      {"P", "2", "Pacsée     "},
      {"C", "1", "Célibataire"},
      {"C", "2", "Célibataire"},
      {"V", "1", "Veuf       "},
      {"V", "2", "Veuve      "},
      {"D", "1", "Divorcé    "},
      {"D", "2", "Divorcée   "},
      {"S", "1", "Séparée    "},
      {"S", "2", "Séparée    "},
      {"U", "1", "Union libre"},
      {"N", "2", "Concubinage"},
      {"X", "1", ""},
      {"", "1", ""},
      {"m", "1", ""},
  };
  for (const SituationCase& c : cases) {
    const std::string_view words = FamilySituationText(c.situation, c.civility);
    EXPECT_EQ(words, os::Cp1252(c.words)) << c.situation << "/" << c.civility;
    if (!words.empty()) {
      EXPECT_EQ(words.size(), 11u) << c.situation;
    }
  }
}

struct CivilityCase {
  const char* title;
  const char* civility;
  const char* words;
};

TEST(CivilityText, WrittenTitleFirstThenTheCodeAndMademoiselleAlways) {
  const std::vector<CivilityCase> cases = {
      {"", "1", "Monsieur    "},
      {"", "2", "Madame      "},
      {"", "3", "Mademoiselle"},
      {"", "4", ""},
      {"", "", ""},
      {"   ", "2", "Madame      "},  // a blank title is no title
      {"Docteur", "1", "Docteur     "},
      {"Maître", "9", "Maître      "},
      {"Son Excellence Madame", "2", "Son Excellen"},
      {"Madame", "3", "Mademoiselle"},  // code 3 replaces a written title
  };
  std::array<char, 32> out{};
  for (const CivilityCase& c : cases) {
    EXPECT_EQ(CivilityText(os::Cp1252(c.title), c.civility, out), os::Cp1252(c.words))
        << c.title << "/" << c.civility;
  }
}

class ColumnProducerTest : public ::testing::Test {
 protected:
  // The list as the dispatch builds it: entries in the order given, flags set.
  void List(const std::vector<std::pair<std::string, char>>& entries) {
    list_->Clear();
    for (const auto& [code, option] : entries) list_->Add(code, option);
    OrderExtractionRubrics(*list_);
  }
  void ReadClient(std::string_view code) {
    db::Hlitrecherche("CLIENT", "CODCLI", code);
    ASSERT_FALSE(db::Hendehors());
    selection::LoadAddress(code, tables_->address);
  }
  void Produce(std::string_view prefix, std::string_view code = kClient) {
    columns_.Clear();
    if (prefix == "00") {
      ProduceIdentityColumns(*list_, db::CurrentClient(), tables_->address, columns_);
    } else {
      ProduceRubricColumns(prefix, *list_, code, *tables_, columns_);
    }
  }
  // "code=value|code=value".
  std::string Shown() const {
    std::string text;
    for (int i = 0; i < columns_.count(); ++i) {
      if (i > 0) text += "|";
      text +=
          std::string(columns_.at(i).code.view()) + "=" + std::string(columns_.at(i).value.view());
    }
    return text;
  }

  ExtractionTestData data_;
  std::unique_ptr<ExtractionRubricList> list_ = std::make_unique<ExtractionRubricList>();
  std::unique_ptr<selection::WorkTables> tables_ = std::make_unique<selection::WorkTables>();
  ColumnTables columns_;
};

TEST_F(ColumnProducerTest, IdentityColumnsFromTheClientAndTheAddress) {
  data_.AddClient(kClient, "DURAND", [](db::ClientRecord& c) {
    c.SetIdentityTextB("Jean-Pierre");
    c.SetIdentityTextF("0601020304");
    c.SetIdentityTextG("Cadre");
    c.SetBirthDate("19600615");
    c.SetFamilySituation("M");
    c.SetCivilityCode("2");
    c.SetRegimeCode("12003");
    c.SetProfessionCode("31002");
  });
  data_.AddAddress("01000001", "12 rue des Lilas", os::Cp1252("Bâtiment B"), "75011", "PARIS");
  data_.AddLabel(FileId::ANNEXE, "12003", os::Cp1252("Communauté réduite"));
  data_.AddLabel(FileId::PROFES, "31002", "Notaire");
  List({{"0000M", '*'},
        {"0000L", '*'},
        {"0000K", '*'},
        {"0000J", '*'},
        {"0000I", '*'},
        {"0000H", '*'},
        {"0000G", '*'},
        {"0000F", '*'},
        {"0000E", '*'},
        {"0000D", '*'},
        {"0000C", '*'},
        {"0000B", '*'},
        {"0000A", '*'},
        {"0000Z", '*'}});
  ReadClient(kClient);
  Produce("00");
  const std::string line1 = "12 rue des Lilas" + std::string(44, ' ');
  const std::string line2 = os::Cp1252("Bâtiment B") + std::string(50, ' ');
  const std::string city = "PARIS" + std::string(55, ' ');
  EXPECT_EQ(Shown(), "0000A=DURAND|0000B=Jean-Pierre|0000C=" + line1 + "|0000C=" + line2 +
                         "|0000D=75011|0000E=" + city +
                         "|0000F=0601020304|0000G=Cadre|0000H= 64|0000I=19600615|0000J=" +
                         os::Cp1252("Mariée     ") + "|0000K=" + os::Cp1252("Communauté réduite") +
                         "|0000L=Notaire|0000M=Madame      ");
}

TEST_F(ColumnProducerTest, UnknownBirthDateAndMissingLabels) {
  data_.AddClient(kClient, "MARTIN", [](db::ClientRecord& c) {
    c.SetBirthDate("00000000");
    c.SetRegimeCode("12003");
    c.SetProfessionCode("31002");
  });
  // Neighbouring codes only: a search lands on them but they are not the
  // client's.
  data_.AddLabel(FileId::ANNEXE, "12004", os::Cp1252("Séparation de biens"));
  data_.AddLabel(FileId::PROFES, "31003", "Avocat");
  List({{"0000H", '*'}, {"0000I", '*'}, {"0000K", '*'}, {"0000L", '*'}, {"0000M", '*'}});
  ReadClient(kClient);
  Produce("00");
  EXPECT_EQ(Shown(), "0000H=   |0000I=00000000|0000K=|0000L=|0000M=");
}

class IncomeColumnsTest : public ColumnProducerTest {
 protected:
  void SetUp() override {
    data_.AddClient(kClient, "DURAND");
    data_.AddRubric(FileId::REVENUS, kClient, "40001", "001", 1000.4f);
    data_.AddRubric(FileId::REVENUS, kPartner, "40001", "001", 2000);
    data_.AddRubric(FileId::REVENUS, kJoint, "40002", "001", 600);
  }
};

TEST_F(IncomeColumnsTest, TotalFirstAndTheFirstOptionForEveryColumn) {
  struct Case {
    std::vector<std::pair<std::string, char>> list;
    std::string shown;
  };
  const std::vector<Case> cases = {
      // Own records whole, joint at half.
      {{{"40001", '1'}, {"40000", '1'}}, "40000=    1300|40001=    1000"},
      // Whole household.
      {{{"40002", '2'}, {"40001", '2'}, {"40000", '2'}},
       "40000=    3600|40001=    3000|40002=     600"},
      // "1" sorts before "2": both columns use the loader run with "1".
      {{{"40001", '2'}, {"40001", '1'}}, "40001=    1000|40001=    1000"},
      // A code the client has no figure for keeps 8 blanks.
      {{{"40099", '2'}}, "40099=        "},
  };
  for (const Case& c : cases) {
    List(c.list);
    Produce("40");
    EXPECT_EQ(Shown(), c.shown);
  }
}

TEST_F(ColumnProducerTest, LoansGiveTwoColumnsWithTheSameCode) {
  data_.AddRubric(FileId::EMPRUNTS, kClient, "54001", "001", 150000,
                  [](db::RubricRecord& r) { db::LoanRecord(r.data).SetSecondAmount(1234.6f); });
  List({{"54001", '1'}, {"54009", '1'}});
  Produce("54");
  EXPECT_EQ(Shown(), "54001=  150000|54001=    1235|54009=        |54009=        ");
}

TEST_F(ColumnProducerTest, ProvidentPairsAcrossItsTwoTables) {
  // No provident records: fixed codes, every figure blank, two columns each.
  List({{"3300A", ' '}, {"3300H", ' '}});
  Produce("33");
  EXPECT_EQ(Shown(), "3300A=        |3300A=        |3300H=        |3300H=        ");
}

TEST_F(ColumnProducerTest, EstateFromTheClientsOwnRecordOnly) {
  data_.AddEstate(kPartner, 500000, 250000.5f);
  List({{"SC00A", ' '}, {"SC00B", ' '}, {"SC00C", ' '}});
  Produce("SC", kPartner);
  EXPECT_EQ(Shown(), "SC00A=  500000|SC00B=  250001|SC00C=        ");
  // The first client has no record: the search lands on the partner's.
  Produce("SC", kClient);
  EXPECT_EQ(Shown(), "SC00A=        |SC00B=        |SC00C=        ");
}

TEST_F(ColumnProducerTest, FamiliesOnlyTakeTheirOwnEntriesAndUnknownPrefixesNothing) {
  List({{"40001", '2'}, {"54001", '2'}, {"99001", '2'}, {"0000A", '2'}});
  EXPECT_EQ(std::count(list_->flags.begin(), list_->flags.end(), true), 3);
  Produce("99");
  EXPECT_EQ(Shown(), "");
  Produce("40");
  EXPECT_EQ(Shown(), "40001=        ");
}

TEST_F(ColumnProducerTest, AnEntryThatDoesNotFitWholeIsLeftOut) {
  List({{"54001", '1'}});
  for (int i = 0; i < kColumnCapacity - 1; ++i) columns_.Append("40001", "x");
  ProduceRubricColumns("54", *list_, kClient, *tables_, columns_);
  EXPECT_EQ(columns_.count(), kColumnCapacity - 1);
  EXPECT_EQ(columns_.at(kColumnCapacity - 2).value.view(), "x");
}

class HouseholdMemoTest : public ColumnProducerTest {
 protected:
  void SetUp() override {
    // Household 01000001: own records of both persons and a joint one;
    // household 01000002 its own; a tax record per person.
    for (const auto& [file, family] : {std::pair{FileId::REVENUS, std::string("40")},
                                       std::pair{FileId::LIQUIDIT, std::string("05")}}) {
      data_.AddRubric(file, kClient, family + "001", "001", 1000);
      data_.AddRubric(file, kPartner, family + "001", "002", 2000);
      data_.AddRubric(file, kJoint, family + "002", "003", 600);
      data_.AddRubric(file, "010000021", family + "001", "001", 70);
    }
    data_.AddRubric(FileId::IMPOTS, kClient, "51001", "001", 300);
    data_.AddRubric(FileId::IMPOTS, kPartner, "51001", "002", 40);
  }
  std::string ProduceFor(std::string_view prefix, std::string_view code,
                         HouseholdColumnMemo* memo) {
    columns_.Clear();
    ProduceRubricColumns(prefix, *list_, code, *tables_, columns_, memo);
    return Shown();
  }
};

TEST_F(HouseholdMemoTest, SameColumnsAsWithoutMemoForEveryPersonAndOption) {
  struct Case {
    std::string prefix;
    std::vector<std::pair<std::string, char>> list;
  };
  const std::vector<Case> cases = {
      {"40", {{"40000", '2'}, {"40001", '2'}, {"40002", '2'}}},
      {"40", {{"40000", '1'}, {"40001", '1'}}},  // by person: never shared
      {"05", {{"40000", '2'}, {"05000", '2'}, {"05002", '2'}}},
      {"05", {{"05000", ' '}}},
      {"51", {{"51000", '2'}, {"51001", '2'}}},  // taxes start at the person
  };
  // Persons of one household in a row, a lone client, then back to the first
  // household and a code too short to name a household.
  const std::vector<std::string> walk = {"010000011", "010000012", "010000021",
                                         "010000011", "010000012", "0100"};
  auto memo = std::make_unique<HouseholdColumnMemo>();
  for (const Case& c : cases) {
    List(c.list);
    memo->Forget();
    for (const std::string& code : walk) {
      const std::string fresh = ProduceFor(c.prefix, code, nullptr);
      EXPECT_EQ(ProduceFor(c.prefix, code, memo.get()), fresh) << c.prefix << " " << code;
    }
  }
}

TEST_F(HouseholdMemoTest, TheSecondPersonReusesTheFirstLoadAndNothingElseDoes) {
  auto memo = std::make_unique<HouseholdColumnMemo>();
  List({{"40000", '2'}});
  EXPECT_EQ(ProduceFor("40", kClient, memo.get()), "40000=    3600");
  // A record added now shows only where the load runs again: the partner
  // shares the first person's load, another column start does not.
  data_.AddRubric(FileId::REVENUS, kPartner, "40003", "004", 5);
  EXPECT_EQ(ProduceFor("40", kPartner, memo.get()), "40000=    3600");
  columns_.Clear();
  columns_.Append("0000A", "x");
  ProduceRubricColumns("40", *list_, kPartner, *tables_, columns_, memo.get());
  EXPECT_EQ(Shown(), "0000A=x|40000=    3605");
  memo->Forget();
  EXPECT_EQ(ProduceFor("40", kPartner, memo.get()), "40000=    3605");
}

}  // namespace
}  // namespace vz::outputs
