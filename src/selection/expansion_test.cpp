// Query expansion against the real engine: the token lists of nested
// combined queries, the limit of 24 combined queries, cycles and damaged
// title records, and the loading of an elementary query's criteria.
#include "src/selection/expansion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/selection/criteria_loading.h"
#include "src/selection/selection_run_test_support.h"
#include "tests/support/recording_runtime.h"

namespace vz::selection {
namespace {

using vz::testing::RecordingRuntime;

std::vector<std::string> Tokens(const TokenList& list) {
  std::vector<std::string> tokens;
  for (int i = 1; i <= list.count; ++i) tokens.push_back(list.Token(i));
  return tokens;
}

std::vector<std::string> Errors() {
  std::vector<std::string> errors;
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    if (command.rfind("Erreur,", 0) == 0) errors.push_back(command);
  }
  return errors;
}

// A chain of `combined` combined queries, each combining the next one with an
// elementary query: 01000100 = (01000101 OU 01009000), ...
std::string BuildChain(SelectionTestDatabase& db, int combined) {
  db.AddElementaryQuery("01009000");
  for (int i = 0; i < combined; ++i) {
    const std::string code = "01000" + std::to_string(100 + i);
    const std::string next = i + 1 < combined ? "01000" + std::to_string(101 + i) : "01009000";
    db.AddCombinedQuery(code, next, "OU", "01009000");
  }
  return "01000100";
}

TEST(ExpansionTest, ElementaryAndMissingQueriesAreSingleTokens) {
  SelectionTestDatabase db;
  db.AddElementaryQuery("01000001");
  TokenList list;
  EXPECT_EQ(ExpandQuery("01000001", list), ExpansionResult::kExpanded);
  EXPECT_EQ(Tokens(list), std::vector<std::string>{"01000001"});
  // No title record at all: elementary.
  EXPECT_EQ(ExpandQuery("01000077", list), ExpansionResult::kExpanded);
  EXPECT_EQ(Tokens(list), std::vector<std::string>{"01000077"});
  // A longer code is cut to 8 characters.
  EXPECT_EQ(ExpandQuery("01000001XYZ", list), ExpansionResult::kExpanded);
  EXPECT_EQ(Tokens(list), std::vector<std::string>{"01000001"});
  EXPECT_TRUE(Errors().empty());
}

TEST(ExpansionTest, TwoCombinedQueriesOfCombinedQueriesGiveThirteenTokens) {
  SelectionTestDatabase db;
  for (const char* code : {"01000001", "01000002", "01000003", "01000004"}) {
    db.AddElementaryQuery(code);
  }
  db.AddCombinedQuery("01000010", "01000001", "ET", "01000002");
  db.AddCombinedQuery("01000011", "01000003", "OU", "01000004");
  db.AddCombinedQuery("01000012", "01000010", "OU", "01000011");
  TokenList list;
  ASSERT_EQ(ExpandQuery("01000012", list), ExpansionResult::kExpanded);
  const std::vector<std::string> expected = {
      "(01000012", "(01000010", "01000001", "ET",       "01000002", ")", "OU",
      "(01000011", "01000003",  "OU",       "01000004", ")",        ")"};
  EXPECT_EQ(Tokens(list), expected);
}

TEST(ExpansionTest, SameQueryTwiceIsNotACycle) {
  SelectionTestDatabase db;
  db.AddElementaryQuery("01000001");
  db.AddCombinedQuery("01000010", "01000001", "OU", "01000001");
  db.AddCombinedQuery("01000011", "01000010", "ET", "01000010");
  TokenList list;
  ASSERT_EQ(ExpandQuery("01000011", list), ExpansionResult::kExpanded);
  EXPECT_EQ(list.count, 13);
  EXPECT_TRUE(Errors().empty());
}

TEST(ExpansionTest, TwentyFourCombinedQueriesFitAndTwentyFiveOverflow) {
  struct Case {
    int combined;
    ExpansionResult result;
    int count;
  };
  for (const Case& c :
       {Case{1, ExpansionResult::kExpanded, 5}, Case{24, ExpansionResult::kExpanded, 97},
        Case{25, ExpansionResult::kTooManyCombinations, 101}}) {
    SCOPED_TRACE(c.combined);
    SelectionTestDatabase db;
    TokenList list;
    EXPECT_EQ(ExpandQuery(BuildChain(db, c.combined), list), c.result);
    EXPECT_EQ(list.count, c.count);
    if (c.result == ExpansionResult::kExpanded) {
      EXPECT_TRUE(Errors().empty());
    } else {
      EXPECT_EQ(Errors(),
                std::vector<std::string>{os::Cp1252("Erreur,Trop de combinaisons de requêtes !")});
    }
  }
}

TEST(ExpansionTest, CyclesAreRefusedWithAMessage) {
  struct Case {
    const char* name;
    std::vector<std::vector<std::string>> combined;  // code, first, op, second
    const char* query;
  };
  const std::vector<Case> cases = {
      {"itself", {{"01000010", "01000010", "OU", "01000001"}}, "01000010"},
      {"second operand", {{"01000010", "01000001", "ET", "01000010"}}, "01000010"},
      {"through another",
       {{"01000010", "01000011", "OU", "01000001"}, {"01000011", "01000001", "ET", "01000010"}},
       "01000010"},
      {"below the top",
       {{"01000020", "01000001", "OU", "01000010"},
        {"01000010", "01000011", "OU", "01000001"},
        {"01000011", "01000010", "ET", "01000001"}},
       "01000020"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SelectionTestDatabase db;
    db.AddElementaryQuery("01000001");
    for (const auto& q : c.combined) db.AddCombinedQuery(q[0], q[1], q[2], q[3]);
    TokenList list;
    EXPECT_EQ(ExpandQuery(c.query, list), ExpansionResult::kCycle);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find("se contient elle-m"), std::string::npos);
  }
}

TEST(ExpansionTest, DamagedTitlesAreRefusedOrReadSafely) {
  struct Case {
    const char* name;
    std::string first;
    std::string op;
    std::string second;
    ExpansionResult result;
    std::vector<std::string> tokens;
  };
  const std::vector<Case> cases = {
      {"unknown operator reads as intersection",
       "01000001",
       "XX",
       "01000002",
       ExpansionResult::kExpanded,
       {"(01000010", "01000001", "ET", "01000002", ")"}},
      {"lower-case union is not a union",
       "01000001",
       "ou",
       "01000002",
       ExpansionResult::kExpanded,
       {"(01000010", "01000001", "ET", "01000002", ")"}},
      {"operand that does not exist",
       "01000001",
       "OU",
       "01000099",
       ExpansionResult::kExpanded,
       {"(01000010", "01000001", "OU", "01000099", ")"}},
      {"empty operand", "", "OU", "01000002", ExpansionResult::kBadOperand, {}},
      {"operand that looks like a group",
       "(0100000",
       "OU",
       "01000002",
       ExpansionResult::kBadOperand,
       {}},
      {"operand that is an operator", "01000001", "OU", "ET", ExpansionResult::kBadOperand, {}},
      {"operand climbing out of the data directory",
       "../../x",
       "OU",
       "01000002",
       ExpansionResult::kBadOperand,
       {}},
      {"over-long operand is cut",
       "01000001EXTRA",
       "OU",
       "01000002",
       ExpansionResult::kExpanded,
       {"(01000010", "01000001", "OU", "01000002", ")"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SelectionTestDatabase db;
    db.AddElementaryQuery("01000001");
    db.AddElementaryQuery("01000002");
    db.AddCombinedQuery("01000010", c.first, c.op, c.second);
    TokenList list;
    EXPECT_EQ(ExpandQuery("01000010", list), c.result);
    if (c.result == ExpansionResult::kExpanded) {
      EXPECT_EQ(Tokens(list), c.tokens);
      EXPECT_TRUE(Errors().empty());
    } else {
      EXPECT_EQ(Errors().size(), 1u);
    }
  }
}

TEST(ExpansionTest, TitleOfAnotherQueryIsNotTaken) {
  SelectionTestDatabase db;
  // 01000005 has no title; the search lands on the title of 01000006.
  db.AddQueryLine("01000005", "NOMCLI******", "A\tB\t");
  db.AddCombinedQuery("01000006", "01000001", "OU", "01000002");
  TokenList list;
  ASSERT_EQ(ExpandQuery("01000005", list), ExpansionResult::kExpanded);
  EXPECT_EQ(Tokens(list), std::vector<std::string>{"01000005"});
}

TEST(CriteriaLoadingTest, TakesEveryLineButRubricLinesAndSetsFlags) {
  SelectionTestDatabase db;
  db.AddElementaryQuery("01000001");
  db.AddQueryLine("01000001", "40000******1", "10\t20\t");
  db.AddQueryLine("01000001", "NOMCLI******", "A\tB\t");
  db.AddQueryLine("01000001", "RUBRIQUE****", "40000");
  db.AddQueryLine("01000001", "RUBRIQUE***2", "54000");  // a rubric line with its option
  db.AddQueryLine("01000001", "SC00A*******", "1\t2\t");
  db.AddQueryLine("01000001", "20000*******", "0\t5\t");
  // Another query's lines, before and after.
  db.AddQueryLine("01000000", "54000******2", "1\t2\t");
  db.AddQueryLine("01000002", "33000*******", "1\t2\t");
  QueryCriteria criteria;
  LoadCriteria("01000001", criteria);
  std::vector<std::string> keys;
  for (const CriteriaEntry& entry : criteria.entries) keys.push_back(entry.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"20000*******", "40000******1", "NOMCLI******",
                                            "SC00A*******", "TITRE*******"}));
  EXPECT_EQ(criteria.entries[1].text, "10\t20\t");
  std::vector<std::string> flagged;
  for (size_t i = 0; i < kRubricPrefixes.size(); ++i) {
    if (criteria.rubric_flags[i]) flagged.emplace_back(kRubricPrefixes[i]);
  }
  EXPECT_EQ(flagged, (std::vector<std::string>{"40", "20", "SC"}));

  // Reloading another query leaves nothing of the first.
  LoadCriteria("01000077", criteria);
  EXPECT_TRUE(criteria.entries.empty());
  for (bool flag : criteria.rubric_flags) EXPECT_FALSE(flag);
}

TEST(CriteriaLoadingTest, MoreThanSixtyFourLinesAreAllKept) {
  SelectionTestDatabase db;
  db.AddElementaryQuery("01000001");
  for (int i = 0; i < 70; ++i) {
    db.AddQueryLine("01000001", "40" + std::to_string(100 + i) + "******1", "1\t2\t");
  }
  QueryCriteria criteria;
  LoadCriteria("01000001", criteria);
  EXPECT_EQ(criteria.entries.size(), 71u);
}

}  // namespace
}  // namespace vz::selection
