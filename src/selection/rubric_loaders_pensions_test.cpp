// The retirement and provident loaders on hand-made clients: the income
// lines that count, the supplement by profession family, the desired rate
// replaced by the actual one (50 against 49.5), missing records, and the
// fourteen provident positions.
#include <gtest/gtest.h>

#include <string>

#include "src/db/layouts/rubric_files.h"
#include "src/selection/rubric_loaders.h"
#include "src/selection/rubric_loaders_test_fixture.h"

namespace vz::selection {
namespace {

using db::FileId;

constexpr std::string_view kClient = "010000011";

class RetirementLoaderTest : public SelectionDataTest {
 protected:
  void AddIncome(std::string_view owner, std::string_view code, std::string_view part, float amount,
                 float supplement, std::string_view status) {
    AddRubric(FileId::REVENUS, owner, code, part, amount, [&](db::RubricRecord& r) {
      db::IncomeRecord income(r.data);
      income.SetSupplement(supplement);
      income.SetStatus(status);
    });
  }
  // Income 24000 with the supplement (20000 + 1000 + 3000), 23000 without;
  // pensions 6000 + 5880 = 11880, a rate of 49.5 (with the supplement).
  // `household` (8 characters) + "1" is the client; "2" and "3" hold
  // records that are not the client's own.
  void AddRetiree(const std::string& household, std::string_view profession, float desired) {
    const std::string client = household + "1";
    AddClient(client, "MARTIN", [&](db::ClientRecord& c) { c.SetProfessionCode(profession); });
    AddIncome(client, "40001", "001", 20000, 1000, "");
    AddIncome(client, "40002", "001", 7000, 0, "");   // line 2 does not count
    AddIncome(client, "40014", "001", 5000, 0, "V");  // status "V" is left out
    AddIncome(client, "40017", "001", 3000, 0, "A");
    AddIncome(client, "40018", "001", 9000, 0, "");            // line 18 does not count
    AddIncome(household + "2", "40001", "001", 99999, 0, "");  // the other person
    AddIncome(household + "3", "40001", "001", 99999, 0, "");  // joint: not the client's own
    AddRubric(FileId::RETRAITE, client, "20001", "001", 6000);
    AddRubric(FileId::RETRAITE, household + "2", "20001", "001", 7777);
    AddRubric(FileId::RETRPERS, client, "22001", "001", 123,
              [](db::RubricRecord& r) { db::PersonalPensionRecord(r.data).SetPension(5880); });
    if (desired != 0) {
      AddRubric(FileId::RETRSOUH, client, "21001", "001", 1);
      AddRubric(FileId::RETRSOUH, client, "21001", "002", desired);  // the last one wins
      AddRubric(FileId::RETRSOUH, client, "21002", "001", 300);      // another line code
    }
  }
  double Figure(int entry) const { return tables_->amounts.Get(7, entry); }
};

TEST_F(RetirementLoaderTest, DesiredRateAgainstTheActualRate) {
  struct Case {
    std::string_view profession;
    float desired;
    double rate, desired_after, gap, pensions_at_desired;
  };
  const Case cases[] = {
      {"03001", 50, 49.5, 49.5, 0, 11880},                   // within 1: replaced by 49.5
      {"03001", 60, 49.5, 60, 10.5, 14400},                  // kept
      {"03001", 40, 49.5, 49.5, 0, 11880},                   // below the actual rate
      {"03001", 0, 49.5, 49.5, 0, 11880},                    // no desired rate
      {"04001", 50.5f, 49.5, 50.5, 1, 11880 * 50.5 / 49.5},  // exactly 1 apart: kept
      // Profession family 7: the supplement does not count, income 23000.
      {"07123", 60, 11880.0 / 23000 * 100, 60, 60 - 11880.0 / 23000 * 100,
       11880 * 60 / (11880.0 / 23000 * 100)},
      {"01", 0, 11880.0 / 23000 * 100, 11880.0 / 23000 * 100, 0, 11880},
      {"99999", 0, 11880.0 / 23000 * 100, 11880.0 / 23000 * 100, 0, 11880},
      // An unreadable profession is family 0: the supplement counts.
      {"XX", 0, 49.5, 49.5, 0, 11880},
  };
  int number = 0;
  for (const Case& c : cases) {
    const std::string household = "0200000" + std::to_string(++number);
    AddRetiree(household, c.profession, c.desired);
    LoadRubric(Rubric::kRetirement, household + "1", '2', *tables_);
    SCOPED_TRACE(std::string(c.profession) + " " + std::to_string(c.desired));
    ASSERT_EQ(tables_->codes.count(), 5);
    EXPECT_EQ(tables_->codes.At(1), "2000A");
    EXPECT_EQ(tables_->codes.At(5), "2000E");
    EXPECT_DOUBLE_EQ(Figure(1), 11880);
    EXPECT_DOUBLE_EQ(Figure(2), c.rate);
    EXPECT_DOUBLE_EQ(Figure(3), c.gap);
    EXPECT_DOUBLE_EQ(Figure(4), c.pensions_at_desired);
    EXPECT_DOUBLE_EQ(Figure(5), c.desired_after);
  }
}

TEST_F(RetirementLoaderTest, NoIncomeNoDesiredRateAndNoClientGiveZeros) {
  AddClient(kClient, "SEUL");
  AddRubric(FileId::RETRAITE, kClient, "20001", "001", 6000);
  tables_->amounts.Set(7, 3, 99);
  LoadRubric(Rubric::kRetirement, kClient, '1', *tables_);
  EXPECT_DOUBLE_EQ(Figure(1), 6000);
  for (int entry = 2; entry <= 5; ++entry) EXPECT_DOUBLE_EQ(Figure(entry), 0.0) << entry;

  // No CLIENT record: nothing is read, every figure 0, even with records.
  AddRubric(FileId::RETRAITE, "020000011", "20001", "001", 6000);
  for (std::string_view client :
       {std::string_view("020000011"), std::string_view(""), std::string_view("0100000")}) {
    tables_->amounts.Set(7, 1, 99);
    LoadRubric(Rubric::kRetirement, client, '1', *tables_);
    for (int entry = 1; entry <= 5; ++entry) EXPECT_DOUBLE_EQ(Figure(entry), 0.0) << client;
  }
}

class ProvidentLoaderTest : public SelectionDataTest {
 protected:
  void AddCover(std::string_view owner, std::string_view part) {
    AddRubric(FileId::PREVSOUH, owner, "33000", part, 0, [](db::RubricRecord& r) {
      db::ProvidentRecord cover(r.data);
      for (size_t i = 0; i < 8; ++i) {
        cover.SetFirstAmount(i, 100.0f + static_cast<float>(i));
        cover.SetSecondAmount(i, 200.0f + static_cast<float>(i));
        cover.SetFirstRatio(i, 1.0f + static_cast<float>(i));
        cover.SetSecondRatio(i, 10.0f + static_cast<float>(i));
      }
    });
  }
};

TEST_F(ProvidentLoaderTest, FourteenPositionsFromTheFourRuns) {
  AddCover(kClient, "001");
  LoadRubric(Rubric::kProvident, kClient, '2', *tables_);
  ASSERT_EQ(tables_->codes.count(), 14);
  EXPECT_EQ(tables_->codes.At(1), "3300A");
  EXPECT_EQ(tables_->codes.At(8), "3300H");
  EXPECT_EQ(tables_->codes.At(14), "3300N");
  for (int p = 1; p <= 7; ++p) {
    EXPECT_DOUBLE_EQ(tables_->amounts.Get(3, p), 99.0 + p) << p;       // first amounts
    EXPECT_DOUBLE_EQ(tables_->amounts.Get(3, p + 7), 199.0 + p) << p;  // second amounts
    EXPECT_DOUBLE_EQ(tables_->amounts.Get(6, p), 0.0 + p) << p;        // first ratios
    EXPECT_DOUBLE_EQ(tables_->amounts.Get(6, p + 7), 9.0 + p) << p;    // second ratios
  }
  // The eighth element of each run is not used.
  EXPECT_DOUBLE_EQ(tables_->amounts.Get(3, 15), 0.0);
  EXPECT_DOUBLE_EQ(tables_->amounts.Get(6, 15), 0.0);
}

TEST_F(ProvidentLoaderTest, OnlyTheClientsRecordOneCounts) {
  AddCover(kClient, "002");      // another key part
  AddCover("010000012", "001");  // the other person
  for (std::string_view client : {kClient, std::string_view("01000001"), std::string_view("")}) {
    tables_->amounts.Set(3, 1, 5);
    tables_->amounts.Set(6, 14, 5);
    LoadRubric(Rubric::kProvident, client, '2', *tables_);
    EXPECT_DOUBLE_EQ(tables_->amounts.Get(3, 1), 0.0) << client;
    EXPECT_DOUBLE_EQ(tables_->amounts.Get(6, 14), 0.0) << client;
  }
}

}  // namespace
}  // namespace vz::selection
