// The summary of combined queries over plain lines: the table of stored
// queries (query_summary_test_queries.h) read through a lookup.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/queries/query_summary.h"
#include "src/queries/query_summary_test_queries.h"

namespace vz::queries {
namespace {

using testing::CombinationCase;
using testing::StoredTestQuery;

std::optional<std::vector<QueryLine>> FromTable(std::string_view code) {
  for (const StoredTestQuery& query : testing::CombinationTestQueries()) {
    if (query.code == code) return query.lines;
  }
  return std::nullopt;
}

TEST(QuerySummaryCombinationTest, CombinedQueriesAreSaidAsTheRunExpandsThem) {
  for (const CombinationCase& c : testing::CombinationCases()) {
    const std::optional<std::vector<QueryLine>> lines = FromTable(c.code);
    ASSERT_TRUE(lines.has_value()) << c.code;
    EXPECT_EQ(os::Utf8(DescribeQueryLines(c.code, *lines, {}, FromTable)), c.expected) << c.code;
  }
}

TEST(QuerySummaryCombinationTest, AnUnsavedQueryNamingItselfIsFoundOneLevelLater) {
  // The working set of a new query has no code yet: its own lines are not in
  // the table, so an operand "01000007" is that stored query, itself circular.
  const std::vector<QueryLine> lines = *FromTable("01000007");
  EXPECT_EQ(os::Utf8(DescribeQueryLines("", lines, {}, FromTable)),
            "((combinaison circulaire) OU (Parisiens)) OU (Parisiens) : la sélection est "
            "impossible");
}

TEST(QuerySummaryCombinationTest, WithoutLookupEveryOperandIsMissing) {
  EXPECT_EQ(os::Utf8(DescribeQueryLines("01000003", *FromTable("01000003"), {}, {})),
            "(requête 01000001 introuvable : tous les clients) OU (requête 01000002 introuvable : "
            "tous les clients)");
}

}  // namespace
}  // namespace vz::queries
