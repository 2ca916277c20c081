#include "bench/sql_questions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/sql_baseline.h"

namespace vz::bench {
namespace {

namespace fs = std::filesystem;
using Codes = std::vector<std::string>;

// Today's local date shifted by `years` and `days` (the day number may
// overflow the month: the program's day count takes it as it is).
std::string DateFromToday(int years, int days) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[40];
  std::snprintf(text, sizeof text, "%04d%02d%02d", local.tm_year + 1900 + years, local.tm_mon + 1,
                local.tm_mday + days);
  return text;
}

class SqlQuestionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakeTempFolder("vz_sql_questions_test");
    ASSERT_FALSE(folder_.empty());
    std::string error;
    ASSERT_TRUE(baseline_.Create(folder_ + "/baseline.sqlite", &error)) << error;
  }
  void TearDown() override { fs::remove_all(folder_); }

  void Run(const std::string& sql) {
    SqlRows rows;
    std::string error;
    ASSERT_TRUE(baseline_.Query(sql, &rows, &error)) << error;
  }
  Codes Ask(char which) {
    SqlRows rows;
    std::string error;
    EXPECT_TRUE(baseline_.Query(SelectionQuestion(which), &rows, &error)) << error;
    return FirstColumn(rows);
  }
  void AddClient(const std::string& code, const std::string& name, const std::string& postcode,
                 const std::string& birth) {
    Run("INSERT INTO clients VALUES('" + code + "', '" + code.substr(0, 8) + "', '" +
        code.substr(8) + "', '" + name + "', '" + postcode + "', 'VILLE', '" + birth + "')");
  }

  std::string folder_;
  SqlBaseline baseline_;
};

TEST_F(SqlQuestionsTest, IncomeTotalOfTheHouseholdFromThirtyThousand) {
  AddClient("010000011", "DUPONT", "75001", "19700101");
  AddClient("010000012", "DUPONT", "75001", "19700101");   // same household, no income of its own
  AddClient("010000021", "DURAND", "75001", "19700101");   // one cent short
  AddClient("010000031", "(MARTIN", "75001", "19700101");  // skipped whatever its income
  AddClient("010000041", "PETIT", "75001", "19700101");    // no income record
  Run("INSERT INTO revenus VALUES('01000001', '1', '40001', 20000), "
      "('01000001', '3', '40010', 10000), ('01000002', '1', '40001', 29999.99), "
      "('01000003', '1', '40001', 90000)");
  EXPECT_EQ(Ask('a'), (Codes{"010000011", "010000012"}));
}

TEST_F(SqlQuestionsTest, IdentityCriteriaUseTheMailingAddressAndTheProgramsAge) {
  // Name from "B" to "M" (trimmed, byte order), postcode of ADRESSES "001"
  // before the client's own, age from 30 to 70 in whole 365-day spans.
  AddClient("010000011", " BERNARD ", "99000", DateFromToday(-30, 0));
  AddClient("010000021", "M", "20000", DateFromToday(-70, 0));
  AddClient("010000031", "MARTIN", "20000", DateFromToday(-40, 0));    // after "M"
  AddClient("010000041", "BLANC", "20000", DateFromToday(-30, 1));     // 29 by one day
  AddClient("010000051", "CARON", "20000", DateFromToday(-71, 0));     // 71
  AddClient("010000061", "DUBOIS", "90000", DateFromToday(-40, 0));    // postcode too high
  AddClient("010000071", "*ETIENNE", "20000", DateFromToday(-40, 0));  // skipped
  Run("INSERT INTO addresses VALUES('01000001', '001', '10000', 'PARIS'), "
      "('01000006', '002', '20000', 'LYON')");
  EXPECT_EQ(Ask('b'), (Codes{"010000011", "010000021"}));
}

TEST_F(SqlQuestionsTest, CombinedQueryIsTheUnionWithTheIntersection) {
  AddClient("010000011", "REVENU", "20000", "19700101");                 // income
  AddClient("010000021", "EPARGNE", "20000", "19700101");                // cash
  AddClient("010000031", "SENIOR", "75010", DateFromToday(-65, 0));      // age and Paris
  AddClient("010000041", "SENIORLYON", "69000", DateFromToday(-65, 0));  // age only
  AddClient("010000051", "JEUNE", "75010", DateFromToday(-40, 0));       // Paris only
  Run("INSERT INTO revenus VALUES('01000001', '1', '40001', 40000)");
  Run("INSERT INTO liquidit VALUES('01000002', '2', '05001', 50000), "
      "('01000001', '1', '05001', 60000)");
  EXPECT_EQ(Ask('c'), (Codes{"010000011", "010000021", "010000031"}));
}

TEST(SqlQuestionsCompareTest, MergeFileAgainstRows) {
  const std::string folder = MakeTempFolder("vz_sql_questions_test");
  ASSERT_FALSE(folder.empty());
  const std::string path = folder + "/Q.MEM";
  const std::string amounts = "   30000\t        \t     100\t\t\t\t\t\t";
  std::ofstream(path, std::ios::binary)
      << "0100header\r\nDUPONT  \tPARIS   \t" << amounts << "\r\n";
  const std::vector<std::string> row = {"010000011", "DUPONT", "PARIS", "29999.6", "", "100.4",
                                        "",          "",       "",      "",        ""};
  struct Case {
    const char* name;
    SqlRows rows;
    bool agree;
  };
  SqlRows wrong_amount = {row};
  wrong_amount[0][5] = "101";
  SqlRows wrong_name = {row};
  wrong_name[0][1] = "DURAND";
  for (const Case& c : {Case{"Agree", {row}, true}, Case{"AmountOffByOne", wrong_amount, false},
                        Case{"OtherName", wrong_name, false}, Case{"MoreRows", {row, row}, false},
                        Case{"NoRow", {}, false}}) {
    EXPECT_EQ(CompareMergeFile(path, c.rows).empty(), c.agree) << c.name;
  }
  fs::remove_all(folder);
}

TEST(SqlQuestionsCompareTest, Codes) {
  EXPECT_EQ(CompareCodes({"1", "2"}, {"1", "2"}), "");
  EXPECT_NE(CompareCodes({"1", "2"}, {"1", "3"}), "");
  EXPECT_NE(CompareCodes({"1", "2"}, {"1"}), "");
  EXPECT_NE(CompareCodes({}, {"1"}), "");
}

}  // namespace
}  // namespace vz::bench
