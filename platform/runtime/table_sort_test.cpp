#include "platform/runtime/table_sort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vz::runtime {
namespace {

Field TableOf(const std::vector<std::string>& cells) {
  Field table;
  table.kind = FieldKind::kTable;
  table.columns = {{"NOM", "Nom", 100, false}, {"N", "N", 50, false}};
  int n = 0;
  for (const auto& cell : cells) table.rows.push_back({cell, std::to_string(++n)});
  return table;
}

std::vector<std::string> Column0(const Field& table) {
  std::vector<std::string> cells;
  for (const auto& row : table.rows) cells.push_back(row[0]);
  return cells;
}

TEST(CellNumber, ReadsTheNumbersPeopleWrite) {
  const struct {
    const char* cell;
    std::optional<double> number;
  } cases[] = {
      {"1234", 1234},         {" 1 234,50 ", 1234.5}, {"-3 584", -3584},
      {"0.5", 0.5},           {"1\xA0" "000", 1000},  {"+7", 7},
      {"", std::nullopt},     {"12a", std::nullopt},  {"1 2 3", 123},
      {"1,", std::nullopt},   {",5", std::nullopt},   {"1,2,3", std::nullopt},
      {"75000", 75000},       {"- 3", std::nullopt},  {"Paris", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    EXPECT_EQ(CellNumber(c.cell), c.number);
  }
}

TEST(SortTableRows, OrdersNumbersTextsAndBlanksAsAPersonExpects) {
  const struct {
    std::vector<std::string> cells;
    SortOrder order;
    std::vector<std::string> expected;
  } cases[] = {
      // Numbers by value, not by their digits.
      {{"100", "9", " 1 000", "20"}, SortOrder::kAscending, {"9", "20", "100", " 1 000"}},
      {{"100", "9", " 1 000", "20"}, SortOrder::kDescending, {" 1 000", "100", "20", "9"}},
      // Case and accents do not separate letters; the bytes decide ties.
      {{"\xC9mile", "eric", "Emile", "Zo\xE9", "\xE9ric"},
       SortOrder::kAscending,
       {"Emile", "\xC9mile", "eric", "\xE9ric", "Zo\xE9"}},
      // Dates by year, month, day.
      {{"25/03/1961", "01/01/1980", "31/12/1960"},
       SortOrder::kAscending,
       {"31/12/1960", "25/03/1961", "01/01/1980"}},
      // Blanks stay last both ways; numbers before texts going up.
      {{"", "B", "2", " ", "A", "10"}, SortOrder::kAscending, {"2", "10", "A", "B", "", " "}},
      {{"", "B", "2", " ", "A", "10"}, SortOrder::kDescending, {"B", "A", "10", "2", "", " "}},
  };
  for (const auto& c : cases) {
    Field table = TableOf(c.cells);
    ASSERT_TRUE(SortTableRows(table, 0, c.order));
    EXPECT_EQ(Column0(table), c.expected);
  }
}

TEST(SortTableRows, IsStableAndKeepsTheSelectedRow) {
  Field table = TableOf({"B", "A", "B", "A"});
  table.selected = 3;  // the second "B"
  ASSERT_TRUE(SortTableRows(table, 0, SortOrder::kAscending));
  EXPECT_EQ(table.rows[0][1], "2");
  EXPECT_EQ(table.rows[1][1], "4");
  EXPECT_EQ(table.rows[2][1], "1");
  EXPECT_EQ(table.rows[3][1], "3");
  EXPECT_EQ(table.selected, 4);
  table.selected = 0;
  ASSERT_TRUE(SortTableRows(table, 1, SortOrder::kDescending));
  EXPECT_EQ(table.selected, 0);
  EXPECT_EQ(table.rows[0][1], "4");
}

TEST(SortTableRows, RefusesWhatIsNoColumnOfATable) {
  Field table = TableOf({"B", "A"});
  EXPECT_FALSE(SortTableRows(table, 2, SortOrder::kAscending));
  EXPECT_FALSE(SortTableRows(table, -1, SortOrder::kAscending));
  Field list;
  list.kind = FieldKind::kList;
  EXPECT_FALSE(SortTableRows(list, 0, SortOrder::kAscending));
  EXPECT_EQ(Column0(table), (std::vector<std::string>{"B", "A"}));
  // A short row sorts as an empty cell.
  table.rows.push_back({});
  ASSERT_TRUE(SortTableRows(table, 1, SortOrder::kAscending));
  EXPECT_TRUE(table.rows.back().empty());
}

}  // namespace
}  // namespace vz::runtime
