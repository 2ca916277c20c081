// The field list: the 64-field limit, the family flags and the order the
// values are computed in. The keywords themselves: letter_template_test.cpp.
#include "src/outputs/letter_fields.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vz::outputs {
namespace {

std::vector<std::string> Keywords(const LetterFieldList& fields) {
  std::vector<std::string> all;
  for (int i = 0; i < fields.count(); ++i) all.emplace_back(fields.At(i));
  return all;
}

using Found = std::vector<std::string>;

TEST(LetterFieldListTest, KeepsSixtyFourKeywordsAndFlagsOnlyThoseKept) {
  auto fields = std::make_unique<LetterFieldList>();
  for (int i = 0; i < kMaxLetterFields; ++i) fields->Append("40001" + std::to_string(i % 10));
  fields->Append("SC00A1");
  fields->Append("0000A");
  EXPECT_EQ(fields->count(), kMaxLetterFields);
  EXPECT_EQ(fields->dropped_count(), 2);
  EXPECT_TRUE(fields->HasFamily(FamilyRank("40")));
  EXPECT_FALSE(fields->HasFamily(FamilyRank("SC")));
  EXPECT_FALSE(fields->HasFamily(FamilyRank("00")));
  fields->Clear();
  EXPECT_EQ(fields->count(), 0);
  EXPECT_EQ(fields->dropped_count(), 0);
  EXPECT_FALSE(fields->HasFamily(FamilyRank("40")));
}

TEST(LetterFieldListTest, SortsByFamilyRankThenKeyword) {
  auto fields = std::make_unique<LetterFieldList>();
  for (std::string_view keyword : {"SC00A1", "40002", "0000J", "ZZ9", "54001", "40001", "0000A",
                                   "33000", "20000", "01000", "X", "40001", "07000"}) {
    fields->Append(keyword);
  }
  fields->Sort();
  EXPECT_EQ(Keywords(*fields), (Found{"X", "ZZ9", "0000A", "0000J", "40001", "40001", "40002",
                                      "54001", "01000", "07000", "20000", "33000", "SC00A1"}));
}

TEST(LetterFieldListTest, FamilyRanks) {
  const std::pair<std::string_view, int> cases[] = {
      {"0000A", 1}, {"40001", 2},  {"54", 3},    {"51000", 4}, {"01", 5},  {"02", 6},
      {"03", 7},    {"04", 8},     {"05", 9},    {"06", 10},   {"07", 11}, {"20", 12},
      {"33", 13},   {"SC00A", 14}, {"sc00A", 0}, {"4", 0},     {"", 0},    {"99001", 0},
  };
  for (const auto& [keyword, rank] : cases) EXPECT_EQ(FamilyRank(keyword), rank) << keyword;
}

}  // namespace
}  // namespace vz::outputs
