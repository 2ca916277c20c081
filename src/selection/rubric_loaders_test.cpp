// The family loaders on small hand-made households, with results worked out
// from the summing rules: joint records under both selectors, the other
// person ignored, one line code twice, totals, taxes, loans, net incomes with
// linked loans, the land rule and more line codes than the tables hold.
#include "src/selection/rubric_loaders.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/layouts/rubric_files.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/selection/rubric_loaders_test_fixture.h"

namespace vz::selection {
namespace {

using db::FileId;

constexpr std::string_view kFirst = "010000011";
constexpr std::string_view kSecond = "010000012";
constexpr std::string_view kJoint = "010000013";

class FamilyLoaderTest : public SelectionDataTest {
 protected:
  void AddIncome(std::string_view owner, std::string_view code, std::string_view part, float amount,
                 float second) {
    AddRubric(FileId::REVENUS, owner, code, part, amount,
              [second](db::RubricRecord& r) { db::IncomeRecord(r.data).SetSecondAmount(second); });
  }
  void AddLoan(std::string_view owner, std::string_view part, float amount, float second,
               std::string_view property_key) {
    AddRubric(FileId::EMPRUNTS, owner, "54001", part, amount, [&](db::RubricRecord& r) {
      db::LoanRecord loan(r.data);
      loan.SetSecondAmount(second);
      loan.SetPropertyKey(property_key);
    });
  }
  void AddRental(std::string_view owner, std::string_view code, std::string_view part, float amount,
                 float rent, float charges, float tax, std::string_view financed) {
    AddRubric(FileId::IMMORAPP, owner, code, part, amount, [&](db::RubricRecord& r) {
      db::RentalRecord rental(r.data);
      rental.SetRent(rent);
      rental.SetCharges(charges);
      rental.SetTax(tax);
      rental.SetLoanFinanced(financed);
    });
  }
  void AddLand(std::string_view owner, std::string_view code, std::string_view part, float amount,
               float rent, float charges) {
    AddRubric(FileId::FONCIER, owner, code, part, amount, [&](db::RubricRecord& r) {
      db::SetReal(r.data, 55, rent);     // field 6
      db::SetReal(r.data, 86, charges);  // field 14
    });
  }
  // Every household's income lines: both persons, joint lines and a
  // neighbouring household.
  void AddHouseholdIncome() {
    AddIncome(kFirst, "40001", "001", 1000, 100);
    AddIncome(kFirst, "40001", "002", 10, 1);  // one line code twice
    AddIncome(kSecond, "40001", "001", 2000, 200);
    AddIncome(kSecond, "40020", "001", 4000, 400);
    AddIncome(kJoint, "40001", "001", 500, 50);
    AddIncome(kJoint, "40014", "002", 300, 30);
    AddIncome("010000021", "40001", "001", 77777, 7777);
    AddIncome("010000003", "40001", "001", 88888, 8888);
  }

  double At(int table, std::string_view code) const {
    return tables_->amounts.Get(table, tables_->codes.Find(code));
  }
  std::string Codes() const {
    std::string all;
    for (int entry = 1; entry <= tables_->codes.count(); ++entry) {
      all += std::string(tables_->codes.At(entry)) + " ";
    }
    return all;
  }
};

TEST_F(FamilyLoaderTest, IncomeUnderBothSelectorsForEachPerson) {
  AddHouseholdIncome();
  struct Case {
    std::string_view client;
    char selector;
    std::string codes;
    double amount_40001, second_40001, amount_40014, amount_40020, total, second_total;
  };
  const Case cases[] = {
      // Selector "2": every record of the household, joint ones whole.
      {kFirst, '2', "40001 40020 40014 40000 ", 3510, 351, 300, 4000, 7810, 781},
      {kSecond, '2', "40001 40020 40014 40000 ", 3510, 351, 300, 4000, 7810, 781},
      // Selector "1": own records whole, joint ones halved, the other person ignored.
      {kFirst, '1', "40001 40014 40000 ", 1260, 126, 150, 0, 1410, 141},
      {kSecond, '1', "40001 40020 40014 40000 ", 2250, 225, 150, 4000, 6400, 640},
  };
  for (const Case& c : cases) {
    LoadRubric(Rubric::kIncome, c.client, c.selector, *tables_);
    SCOPED_TRACE(std::string(c.client) + " selector " + c.selector);
    EXPECT_EQ(Codes(), c.codes);
    EXPECT_DOUBLE_EQ(At(2, "40001"), c.amount_40001);
    EXPECT_DOUBLE_EQ(At(1, "40001"), c.second_40001);
    EXPECT_DOUBLE_EQ(At(2, "40014"), c.amount_40014);
    EXPECT_DOUBLE_EQ(At(2, "40020"), c.amount_40020);
    EXPECT_DOUBLE_EQ(At(2, "40000"), c.total);
    EXPECT_DOUBLE_EQ(At(1, "40000"), c.second_total);
    EXPECT_DOUBLE_EQ(At(2, "40999"), 0.0);  // a code without record reads 0
  }
}

TEST_F(FamilyLoaderTest, SkippedSearchesGiveTheSameTablesAsSearches) {
  AddHouseholdIncome();
  AddIncome("010000051", "40001", "001", 5, 1);
  for (std::string_view owner : {"010000011", "010000012", "010000031", "010000061"}) {
    AddRubric(FileId::IMPOTS, owner, "51001", "001", 30);
  }
  // Households with and without records, in order, then backwards, then
  // past the last record of the file.
  const std::string_view walk[] = {"009999991", "010000011", "010000012", "010000021", "010000022",
                                   "010000031", "010000041", "010000042", "010000051", "010000021",
                                   "010000003", "010000071", "010000081", "0100",      "010000061"};
  for (Rubric rubric : {Rubric::kIncome, Rubric::kTaxes}) {
    for (char selector : {'1', '2'}) {
      auto skipping = std::make_unique<WorkTables>();
      skipping->key_gaps.SetEnabled(true);
      for (std::string_view client : walk) {
        SCOPED_TRACE(std::string(client) + " selector " + selector);
        LoadRubric(rubric, client, selector, *tables_);
        const std::string searched = Codes();
        const int table = rubric == Rubric::kIncome ? 2 : 3;
        const double total = tables_->amounts.Get(table, tables_->codes.count());
        std::swap(tables_, skipping);
        LoadRubric(rubric, client, selector, *tables_);
        EXPECT_EQ(Codes(), searched);
        EXPECT_DOUBLE_EQ(tables_->amounts.Get(table, tables_->codes.count()), total);
        std::swap(tables_, skipping);
      }
    }
  }
}

// The household's records kept from the previous person's load give what
// reading the file gives: tables, record buffer and end-of-file state, for
// the members that may keep them and those that may not.
TEST_F(FamilyLoaderTest, HeldHouseholdRecordsGiveTheSameTablesAsReads) {
  AddHouseholdIncome();
  AddLoan(kFirst, "001", 1500, 12, "");
  AddLoan(kSecond, "002", 700, 5, "");
  AddRental(kFirst, "31001", "001", 900, 1200, 100, 50, "");
  AddRubric(FileId::VALMOBIL, kJoint, "45001", "001", 4000);
  AddRubric(FileId::IMPOTS, kSecond, "51001", "001", 30);
  const std::string_view walk[] = {kFirst,      kSecond,     kJoint,      "010000021",
                                   "010000022", kFirst,      kSecond,     "010000003",
                                   "010000004", "010000003", "010000041", "010000042"};
  const std::pair<Rubric, FileId> members[] = {{Rubric::kIncome, FileId::REVENUS},
                                               {Rubric::kLoans, FileId::EMPRUNTS},
                                               {Rubric::kRental, FileId::IMMORAPP},
                                               {Rubric::kSecurities, FileId::VALMOBIL},
                                               {Rubric::kTaxes, FileId::IMPOTS}};
  for (const auto& [rubric, file] : members) {
    const size_t size = db::RecordBufferSize(file);
    for (char selector : {'1', '2'}) {
      auto holding = std::make_unique<WorkTables>();
      holding->household_records.SetEnabled(true);
      for (std::string_view client : walk) {
        SCOPED_TRACE(std::string(client) + " selector " + selector);
        LoadRubric(rubric, client, selector, *tables_);
        const std::string read = Codes();
        const double total = tables_->amounts.Get(2, tables_->codes.count()) +
                             tables_->amounts.Get(3, tables_->codes.count());
        const bool at_end = db::Hendehors();
        const std::string buffer(reinterpret_cast<const char*>(db::RecordBuffer(file)), size);
        std::swap(tables_, holding);
        LoadRubric(rubric, client, selector, *tables_);
        EXPECT_EQ(Codes(), read);
        EXPECT_DOUBLE_EQ(tables_->amounts.Get(2, tables_->codes.count()) +
                             tables_->amounts.Get(3, tables_->codes.count()),
                         total);
        EXPECT_EQ(db::Hendehors(), at_end);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(db::RecordBuffer(file)), size), buffer);
        std::swap(tables_, holding);
      }
    }
  }
}

// Households loaded in their order, as a pass loads them: a load that starts
// on the record the previous household's load stopped on, without searching,
// gives what a search gives (tables, end of file, record buffer), also when a
// load of another file ended out of it in between, when a household has no
// record, when the walk passes a household by and when it goes back.
TEST_F(FamilyLoaderTest, ALoadStartingWhereTheLastStoppedGivesWhatASearchGives) {
  AddHouseholdIncome();
  AddIncome("010000041", "40001", "001", 5, 1);
  const std::string_view walk[] = {"010000001", "010000021", "010000001", kFirst,
                                   kSecond,     "010000021", "010000031", "010000041",
                                   "010000051", "010000021", "010000041"};
  const size_t size = db::RecordBufferSize(FileId::REVENUS);
  auto searching = std::make_unique<WorkTables>();  // keeps nothing: every load searches
  for (bool other_file_between : {false, true}) {
    tables_->household_records.SetEnabled(true);
    for (std::string_view client : walk) {
      SCOPED_TRACE(std::string(client) + (other_file_between ? " after another file" : ""));
      if (other_file_between) {
        LoadRubric(Rubric::kCash, client, '2', *tables_);  // no cash records: out of file
        ASSERT_TRUE(db::Hendehors());
      }
      LoadRubric(Rubric::kIncome, client, '1', *tables_);
      const std::string kept = Codes();
      const double total = tables_->amounts.Get(2, tables_->codes.count());
      const bool at_end = db::Hendehors();
      const std::string buffer(reinterpret_cast<const char*>(db::RecordBuffer(FileId::REVENUS)),
                               size);
      std::swap(tables_, searching);
      LoadRubric(Rubric::kIncome, client, '1', *tables_);
      EXPECT_EQ(Codes(), kept);
      EXPECT_DOUBLE_EQ(tables_->amounts.Get(2, tables_->codes.count()), total);
      EXPECT_EQ(db::Hendehors(), at_end);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(db::RecordBuffer(FileId::REVENUS)), size),
                buffer);
      std::swap(tables_, searching);
    }
  }
}

// A load stops on the first record of the next household, its key slots
// built as a plain read builds them, whatever the load skipped on the way.
TEST_F(FamilyLoaderTest, TheLoadLeavesTheRecordItStoppedOnWithItsKeys) {
  AddHouseholdIncome();
  AddRubric(FileId::VALMOBIL, kJoint, "45001", "001", 4000);
  AddRubric(FileId::VALMOBIL, "010000021", "45001", "002", 10);
  const std::pair<Rubric, FileId> members[] = {{Rubric::kIncome, FileId::REVENUS},
                                               {Rubric::kSecurities, FileId::VALMOBIL}};
  for (const auto& [rubric, file] : members) {
    for (char selector : {'1', '2'}) {
      LoadRubric(rubric, kFirst, selector, *tables_);
      ASSERT_FALSE(db::Hendehors());
      const size_t size = db::RecordBufferSize(file);
      const std::string loaded(reinterpret_cast<const char*>(db::RecordBuffer(file)), size);
      const db::RubricRecord record = *db::RubricRecordIn(file, db::RecordBuffer(file));
      EXPECT_EQ(record.Codclef().substr(0, 9), "010000021");
      const std::string key(record.Codclef());
      db::Hlitrecherche(db::Describe(file).name, "CODCLEF", key);
      ASSERT_FALSE(db::Hendehors());
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(db::RecordBuffer(file)), size), loaded);
    }
  }
}

// A record written between two persons' loads is seen by the second: the
// write leaves another record in the buffer, so the kept records are read
// again.
TEST_F(FamilyLoaderTest, RecordWrittenBetweenPersonsIsSeen) {
  AddHouseholdIncome();
  tables_->household_records.SetEnabled(true);
  LoadRubric(Rubric::kIncome, kFirst, '2', *tables_);
  EXPECT_DOUBLE_EQ(At(2, "40000"), 7810);
  AddIncome(kSecond, "40030", "001", 90, 9);
  LoadRubric(Rubric::kIncome, kSecond, '2', *tables_);
  EXPECT_DOUBLE_EQ(At(2, "40030"), 90);
  EXPECT_DOUBLE_EQ(At(2, "40000"), 7900);
}

TEST_F(FamilyLoaderTest, OtherSelectorsAndHostileClientCodesTakeNothing) {
  AddHouseholdIncome();
  for (std::string_view client :
       {kFirst, std::string_view("0100"), std::string_view(""), std::string_view("99999999\xFF")}) {
    for (char selector : {'0', '3', ' ', '\0', '2'}) {
      if (selector == '2' && client == kFirst) continue;
      tables_->amounts.Set(2, 1, 55.0);  // left over from an earlier load
      LoadRubric(Rubric::kIncome, client, selector, *tables_);
      EXPECT_EQ(Codes(), "000 ");
      EXPECT_DOUBLE_EQ(tables_->amounts.Get(2, 1), 0.0);
      EXPECT_DOUBLE_EQ(At(2, "40001"), 0.0);
    }
  }
}

TEST_F(FamilyLoaderTest, EachLoaderClearsOnlyTheTablesItFills) {
  AddHouseholdIncome();
  tables_->amounts.Set(3, 1, 42.0);
  tables_->amounts.Set(7, 2, 43.0);
  LoadRubric(Rubric::kIncome, kFirst, '2', *tables_);
  EXPECT_DOUBLE_EQ(tables_->amounts.Get(3, 1), 42.0);
  EXPECT_DOUBLE_EQ(tables_->amounts.Get(7, 2), 43.0);
  LoadRubric(Rubric::kCash, kFirst, '2', *tables_);  // no cash records
  EXPECT_DOUBLE_EQ(tables_->amounts.Get(3, 1), 0.0);
  EXPECT_DOUBLE_EQ(tables_->amounts.Get(2, 1), 3510.0);  // income table kept
}

TEST_F(FamilyLoaderTest, LoansFillAmountAndSecondAmount) {
  AddLoan(kFirst, "001", 1000, 300, "");
  AddLoan(kJoint, "002", 5000, 4000, "");
  LoadRubric(Rubric::kLoans, kFirst, '1', *tables_);
  EXPECT_EQ(Codes(), "54001 54000 ");
  EXPECT_DOUBLE_EQ(At(3, "54001"), 3500.0);
  EXPECT_DOUBLE_EQ(At(4, "54001"), 2300.0);
  EXPECT_DOUBLE_EQ(At(3, "54000"), 3500.0);
  EXPECT_DOUBLE_EQ(At(4, "54000"), 2300.0);
}

TEST_F(FamilyLoaderTest, TaxesStartAtTheClientAndStayInTheHousehold) {
  AddRubric(FileId::IMPOTS, kFirst, "51001", "001", 100);
  AddRubric(FileId::IMPOTS, kSecond, "51001", "001", 200);
  AddRubric(FileId::IMPOTS, kJoint, "51002", "001", 400);
  // The next household in key order has the same file number under another
  // prefix: it is another household and its taxes are not the client's.
  AddRubric(FileId::IMPOTS, "020000011", "51001", "001", 9000);
  LoadRubric(Rubric::kTaxes, kSecond, 'X', *tables_);  // no selector: ignored
  EXPECT_EQ(Codes(), "51001 51002 51000 ");
  EXPECT_DOUBLE_EQ(At(3, "51001"), 200.0);
  EXPECT_DOUBLE_EQ(At(3, "51002"), 400.0);  // joint taken whole
  EXPECT_DOUBLE_EQ(At(3, "51000"), 600.0);
  LoadRubric(Rubric::kTaxes, kFirst, '1', *tables_);
  EXPECT_DOUBLE_EQ(At(3, "51000"), 700.0);
}

TEST_F(FamilyLoaderTest, RentalNetIncomeSubtractsOnlyTheLinkedLoansThatCount) {
  AddRental(kFirst, "02001", "001", 100000, 8000, 1000, 500, "O");
  AddRental(kFirst, "02002", "001", 20000, 1200, 100, 100, "N");
  AddLoan(kFirst, "001", 2000, 50000, "01000001102001001");     // finances 02001: subtracted
  AddLoan(kJoint, "002", 1000, 10000, "01000001302001001");     // other owner digit: same property
  AddLoan(kFirst, "003", 700, 0, "01000001102001001");          // second amount 0: kept
  AddLoan(kFirst, "004", 600, -5, "01000001102001001");         // below 0: kept
  AddLoan(kFirst, "005", 300, 9000, "01000001102001002");       // another property
  AddLoan(kFirst, "006", 800, 9000, "01000001102002001");       // 02002 is not loan-financed
  AddLoan("010000021", "001", 900, 9000, "01000001102001001");  // another household
  LoadRubric(Rubric::kRental, kFirst, '2', *tables_);
  EXPECT_EQ(Codes(), "02001 02002 02000 ");
  EXPECT_DOUBLE_EQ(At(5, "02001"), 8000 - 1000 - 500 - 2000 - 1000);
  EXPECT_DOUBLE_EQ(At(5, "02002"), 1000.0);
  EXPECT_DOUBLE_EQ(At(3, "02000"), 120000.0);
  EXPECT_DOUBLE_EQ(At(5, "02000"), 4500.0);
  EXPECT_DOUBLE_EQ(At(6, "02001"), 3500.0 / 100000.0);
  EXPECT_DOUBLE_EQ(At(6, "02002"), 0.05);
  EXPECT_DOUBLE_EQ(At(6, "02000"), 4500.0 / 120000.0);
}

TEST_F(FamilyLoaderTest, JointPropertyHalvesAmountAndNetIncomeAndZeroAmountHasNoYield) {
  AddRental(kJoint, "02001", "001", 100000, 6000, 0, 0, "N");
  AddRental(kFirst, "02003", "001", 0, 500, 0, 0, "N");
  LoadRubric(Rubric::kRental, kFirst, '1', *tables_);
  EXPECT_DOUBLE_EQ(At(3, "02001"), 50000.0);
  EXPECT_DOUBLE_EQ(At(5, "02001"), 3000.0);
  EXPECT_DOUBLE_EQ(At(6, "02001"), 0.06);
  EXPECT_DOUBLE_EQ(At(5, "02003"), 500.0);
  EXPECT_DOUBLE_EQ(At(6, "02003"), 0.0);
}

TEST_F(FamilyLoaderTest, LandNetIncomeComesFromTheLandRecordItself) {
  AddLand(kFirst, "03001", "001", 50000, 3000, 500);
  AddLand(kJoint, "03002", "001", 10000, 1000, 0);
  AddLoan(kFirst, "001", 400, 1000, "01000001103001001");
  // A rental property whose figures must not leak into the land figures.
  AddRental(kFirst, "02001", "001", 1, 99999, 0, 0, "O");
  for (int round = 0; round < 2; ++round) {
    if (round == 1) LoadRubric(Rubric::kRental, kFirst, '2', *tables_);
    LoadRubric(Rubric::kLand, kFirst, '1', *tables_);
    SCOPED_TRACE(round);
    EXPECT_EQ(Codes(), "03001 03002 03000 ");
    EXPECT_DOUBLE_EQ(At(5, "03001"), 3000 - 500 - 400);
    EXPECT_DOUBLE_EQ(At(6, "03001"), 2100.0 / 50000.0);
    EXPECT_DOUBLE_EQ(At(3, "03002"), 5000.0);
    EXPECT_DOUBLE_EQ(At(5, "03002"), 500.0);
    EXPECT_DOUBLE_EQ(At(5, "03000"), 2600.0);
  }
}

TEST_F(FamilyLoaderTest, MoreLineCodesThanTheTablesHoldKeepTheTotalWhole) {
  const int records = kMaxLineCodes + 3;
  for (int i = 1; i <= records; ++i) {
    std::string code = "04" + std::string(i < 10 ? "00" : (i < 100 ? "0" : "")) + std::to_string(i);
    AddRubric(FileId::VALMOBIL, kFirst, code, "001", 1.0f);
  }
  LoadRubric(Rubric::kSecurities, kFirst, '2', *tables_);
  EXPECT_EQ(tables_->codes.count(), kCodeTableSize);
  EXPECT_EQ(tables_->codes.At(kCodeTableSize), "04000");
  EXPECT_DOUBLE_EQ(At(3, "04000"), static_cast<double>(records));
  EXPECT_DOUBLE_EQ(At(3, "04001"), 1.0);
  EXPECT_DOUBLE_EQ(At(3, "04127"), 1.0);
  EXPECT_DOUBLE_EQ(At(3, "04129"), 0.0);  // no room: reads as a code without record
}

TEST_F(FamilyLoaderTest, AmountsAreWidenedBeforeTheyAreAdded) {
  // 16777216 + 1 is not representable in 32 bits; the 64-bit sum keeps it.
  AddRubric(FileId::LIQUIDIT, kFirst, "05001", "001", 16777216.0f);
  AddRubric(FileId::LIQUIDIT, kFirst, "05001", "002", 1.0f);
  LoadRubric(Rubric::kCash, kFirst, '2', *tables_);
  EXPECT_DOUBLE_EQ(At(3, "05001"), 16777217.0);
}

TEST_F(FamilyLoaderTest, EachAmountOnlyMemberReadsItsOwnFile) {
  struct Member {
    Rubric rubric;
    FileId file;
    std::string_view code;
    float amount;
  };
  const Member members[] = {
      {Rubric::kOwnerOccupied, FileId::IMMOBUSA, "01001", 11},
      {Rubric::kSecurities, FileId::VALMOBIL, "04001", 44},
      {Rubric::kCash, FileId::LIQUIDIT, "05001", 55},
      {Rubric::kOtherAssets, FileId::AUTREVAL, "06001", 66},
      {Rubric::kSinglePremium, FileId::PRIMEUNI, "07001", 77},
  };
  for (const Member& m : members) {
    AddRubric(m.file, kFirst, m.code, "001", m.amount);
    AddRubric(m.file, kJoint, m.code, "001", m.amount * 2);
  }
  for (const Member& m : members) {
    LoadRubric(m.rubric, kFirst, '1', *tables_);
    SCOPED_TRACE(std::string(m.code));
    EXPECT_EQ(Codes(), std::string(m.code) + " " + std::string(m.code.substr(0, 2)) + "000 ");
    EXPECT_DOUBLE_EQ(At(3, m.code), 2.0 * m.amount);  // own + half of the joint record
    EXPECT_DOUBLE_EQ(tables_->amounts.Get(3, 2), 2.0 * m.amount);
  }
}

TEST(RubricOfPrefixTest, KnowsTheTwelveLoadersAndNothingElse) {
  struct Case {
    std::string_view prefix;
    std::optional<Rubric> rubric;
  };
  for (Case c :
       {Case{"40", Rubric::kIncome}, Case{"54001", Rubric::kLoans}, Case{"51", Rubric::kTaxes},
        Case{"01", Rubric::kOwnerOccupied}, Case{"02", Rubric::kRental}, Case{"03", Rubric::kLand},
        Case{"04", Rubric::kSecurities}, Case{"05", Rubric::kCash},
        Case{"06", Rubric::kOtherAssets}, Case{"07", Rubric::kSinglePremium},
        Case{"20", Rubric::kRetirement}, Case{"33", Rubric::kProvident}, Case{"SC", std::nullopt},
        Case{"4", std::nullopt}, Case{"", std::nullopt}, Case{"99", std::nullopt},
        Case{"00", std::nullopt}}) {
    EXPECT_EQ(RubricOfPrefix(c.prefix), c.rubric) << c.prefix;
  }
}

}  // namespace
}  // namespace vz::selection
