// The rubric tests against hand-made records through the real engine: the
// selector of the first criterion, the no-bound pairs, a line code without
// record, the rounded yield (4 % fails 3 to 5), loans' second pair, the
// retirement and provident positions and the estate reals.
#include "src/selection/rubric_tests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/config/parameter_file.h"
#include "src/db/layouts/rubric_files.h"
#include "src/selection/rubric_loaders_test_fixture.h"

namespace vz::selection {
namespace {

using db::FileId;

constexpr std::string_view kFirst = "010000011";
constexpr std::string_view kJoint = "010000013";

struct Case {
  std::string prefix;
  std::vector<CriteriaEntry> criteria;
  bool passes;
};

class RubricTestsTest : public SelectionDataTest {
 protected:
  void SetUp() override {
    SelectionDataTest::SetUp();
    // Income: 1000 own + 600 joint (300 under selector "1").
    AddRubric(FileId::REVENUS, kFirst, "40001", "001", 1000);
    AddRubric(FileId::REVENUS, kJoint, "40001", "001", 600);
    // Loans: amount 5000, second amount 1200.
    AddRubric(FileId::EMPRUNTS, kFirst, "54001", "001", 5000,
              [](db::RubricRecord& r) { db::LoanRecord(r.data).SetSecondAmount(1200); });
    // Rental: amount 100000, net income 4000: a yield of 4 %.
    AddRubric(FileId::IMMORAPP, kFirst, "02001", "001", 100000, [](db::RubricRecord& r) {
      db::RentalRecord rental(r.data);
      rental.SetRent(5000);
      rental.SetCharges(600);
      rental.SetTax(400);
      rental.SetLoanFinanced("N");
    });
    // Land: amount 1000, net 2500: a yield of 2.5, rounded to 2.
    AddRubric(FileId::FONCIER, kFirst, "03001", "001", 1000,
              [](db::RubricRecord& r) { db::SetReal(r.data, 55, 2500); });
    // Retirement: income 24000, pensions 11880, rate 49.5, desired 60.
    AddClient(kFirst, "MARTIN", [](db::ClientRecord& c) { c.SetProfessionCode("03001"); });
    AddRubric(FileId::REVENUS, kFirst, "40014", "001", 23000);
    AddRubric(FileId::RETRAITE, kFirst, "20001", "001", 11880);
    AddRubric(FileId::RETRSOUH, kFirst, "21001", "001", 60);
    // Provident: first amounts 100.., second amounts 200.., ratios 1.. and 10..
    AddRubric(FileId::PREVSOUH, kFirst, "33000", "001", 0, [](db::RubricRecord& r) {
      db::ProvidentRecord cover(r.data);
      for (size_t i = 0; i < 8; ++i) {
        cover.SetFirstAmount(i, 100.0f + static_cast<float>(i));
        cover.SetSecondAmount(i, 200.0f + static_cast<float>(i));
        cover.SetFirstRatio(i, 1.0f + static_cast<float>(i));
        cover.SetSecondRatio(i, 10.5f + static_cast<float>(i));
      }
    });
    AddEstate(kFirst, 250000, 400000);
  }

  void Check(const std::vector<Case>& cases) {
    const config::ScopedListSeparator tab('\t');
    for (const Case& c : cases) {
      std::string keys;
      for (const CriteriaEntry& e : c.criteria) keys += e.key + " [" + e.text + "] ";
      EXPECT_EQ(PassesRubricTest(c.prefix, c.criteria, kFirst, *tables_), c.passes)
          << c.prefix << ": " << keys;
    }
  }
};

TEST_F(RubricTestsTest, IncomeBoundsSelectorsAndCodesWithoutRecord) {
  Check({
      {"40", {{"40001******2", "1600\t1600"}}, true},  // joint whole
      {"40", {{"40001******1", "1300\t1300"}}, true},  // joint halved
      {"40", {{"40001******1", "1301\t2000"}}, false},
      {"40", {{"40001******1", "0\t1299"}}, false},      // lower bound 0 is still a bound
      {"40", {{"40001******1", "0\t999999999"}}, true},  // no bound
      {"40", {{"40001******1", "5000\t999999999"}}, false},
      // The first criterion of the rubric chooses the selector for all.
      {"40", {{"40001******1", "0\t999999999"}, {"40000******2", "24600\t24600"}}, false},
      {"40", {{"40001******2", "0\t999999999"}, {"40000******1", "24600\t24600"}}, true},
      // A line code without record compares 0.
      {"40", {{"40099******2", "0\t10"}}, true},
      {"40", {{"40099******2", "1\t10"}}, false},
      // Unreadable or missing bounds count as 0.
      {"40", {{"40099******2", "abc\t"}}, true},
      {"40", {{"40001******2", "abc\t"}}, false},
      // Another selector takes no record: every amount is 0.
      {"40", {{"40001******9", "0\t0"}}, true},
      // Entries of other rubrics are not this test's business.
      {"40", {{"54001******2", "1\t1"}, {"NOMCLI******", "Z\tZ"}}, true},
  });
}

TEST_F(RubricTestsTest, EveryRubricReadsItsOwnTablesAndBounds) {
  Check({
      {"54", {{"54001******2", "5000\t5000\t1200\t1200"}}, true},
      {"54", {{"54001******2", "5000\t5000\t1201\t2000"}}, false},  // second pair judged apart
      {"54", {{"54001******2", "0\t999999999\t1200\t1200"}}, true},
      {"54", {{"54001******2", "6000\t7000\t0\t999999999"}}, false},
      {"02", {{"02001******2", "100000\t100000\t0\t999"}}, true},
      {"02", {{"02001******2", "0\t999999999\t3\t5"}}, false},  // 0.04 rounds to 0
      {"02", {{"02001******2", "0\t999999999\t0\t0"}}, true},
      {"02", {{"02001******2", "0\t999999999\t0\t999"}}, true},  // no bound on the yield
      {"03", {{"03001******2", "0\t999999999\t2\t2"}}, true},    // 2.5 rounds to 2
      {"03", {{"03001******2", "0\t999999999\t3\t3"}}, false},
      {"01", {{"01001******2", "0\t0"}}, true},  // no record at all
      {"01", {{"01000******2", "1\t999999999"}}, false},
      {"ZZ", {{"ZZ001******2", "1\t1"}}, true},  // unknown rubric
      {"4", {{"40001******2", "1\t1"}}, true},   // not a prefix
      {"", {}, true},
  });
}

TEST_F(RubricTestsTest, RetirementFigures) {
  Check({
      {"20", {{"2000A*******", "11880\t11880"}}, true},
      {"20", {{"2000A*******", "11881\t999999999"}}, false},
      {"20", {{"2000B*******", "50\t50"}}, true},  // 49.5 rounds to 50 (even)
      {"20", {{"2000B*******", "49\t49"}}, false},
      {"20", {{"2000B*******", "0\t999"}}, true},
      {"20", {{"2000C*******", "10\t10"}}, true},  // 60 - 49.5 = 10.5 rounds to 10
      {"20", {{"2000C*******", "11\t11"}}, false},
      {"20", {{"2000D*******", "1\t1"}, {"2000E*******", "1\t1"}}, true},  // not tested
  });
}

TEST_F(RubricTestsTest, ProvidentPositions) {
  Check({
      {"33", {{"3300A*******", "100\t100\t200\t200"}}, true},
      {"33", {{"3300G*******", "106\t106\t206\t206"}}, true},
      {"33", {{"3300G*******", "106\t106\t205\t205"}}, false},
      {"33", {{"3300A*******", "0\t999999999\t0\t999999999"}}, true},
      {"33", {{"3300H*******", "1\t1\t10\t10"}}, true},  // ratios 1 and 10.5 -> 10
      {"33", {{"3300N*******", "7\t7\t16\t16"}}, true},  // 16.5 rounds to 16
      {"33", {{"3300H*******", "1\t1\t11\t11"}}, false},
      // Absent code: position 15, table 6 entries 8 and 15.
      {"33", {{"3300Z*******", "10\t10\t0\t0"}}, true},
      {"33", {{"3300Z*******", "0\t999\t1\t999"}}, false},
  });
}

TEST_F(RubricTestsTest, HostileCriteriaReadAsZeroBounds) {
  Check({
      {"40", {{"40001", "0\t0"}}, true},  // no selector character: no record taken
      {"40", {{"40001", "1\t1"}}, false},
      {"40", {{"4", "1\t1"}}, true},                               // not a key of the rubric
      {"40", {{"40001******2", std::string(5000, '\t')}}, false},  // bounds 0 and 0
      {"40", {{"40001******2", "\xFF\xFF\t\x01\x02"}}, false},
      {"40", {{"40001******2", "-1e300\t1e300"}}, true},
      {"40", {{"40001******2", "1600\t1e400"}}, false},        // out of range reads 0
      {"40", {{"40001******2\xFF\xFF", "1600\t1600"}}, true},  // a longer key
      {"33", {{"33", "0\t0\t0\t0"}}, false},  // position 15: ratio 10.5 rounds to 10
      {"20", {{"2000", "1\t1"}}, true},       // not a retirement figure
  });
  const config::ScopedListSeparator tab('\t');
  const std::vector<CriteriaEntry> zero = {{"40001******2", "0\t0"}};
  for (std::string_view client : {"", "0", "010000011\xFF\xFF\xFF", "\xFF\xFF\xFF\xFF"}) {
    EXPECT_EQ(PassesRubricTest("40", zero, client, *tables_), client.substr(0, 9) != kFirst)
        << client;
  }
}

TEST_F(RubricTestsTest, EstateReals) {
  Check({
      {"SC", {{"SC00A*******", "250000\t250000"}}, true},
      {"SC", {{"SC00B*******", "0\t399999"}}, false},
      {"SC", {{"SC00B*******", "0\t999999999"}, {"SC00A*******", "0\t250000"}}, true},
      {"SC", {{"SC00C*******", "1\t1"}}, true},  // not an estate criterion
  });
  // A client without CLIPART record has estates of 0, whatever the buffer held.
  const config::ScopedListSeparator tab('\t');
  const std::vector<CriteriaEntry> zero = {{"SC00A*******", "0\t0"}};
  EXPECT_TRUE(PassesRubricTest("SC", zero, "010000012", *tables_));
  EXPECT_TRUE(PassesRubricTest("SC", zero, "", *tables_));
  EXPECT_FALSE(PassesRubricTest("SC", zero, kFirst, *tables_));
}

}  // namespace
}  // namespace vz::selection
