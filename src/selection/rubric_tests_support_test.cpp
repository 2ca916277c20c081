// Criteria elements, the range test with its no-bound pairs, rounding halves
// to even and the blank trimming used by the criteria tests.
#include "src/selection/rubric_tests_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/config/parameter_file.h"
#include "src/selection/rubric_tables.h"
#include "src/util/blanks.h"

namespace vz::selection {
namespace {

TEST(CriteriaElementsTest, SplitsLikeTheParameterTable) {
  struct Case {
    std::string text;
    std::vector<std::string> elements;
  };
  const std::vector<Case> cases = {
      {"0\t999999999", {"0", "999999999"}},
      {"10\t20\t", {"10", "20", ""}},
      {"A  \xFF ", {"A"}},  // trailing blanks (space and 255) removed
      {"", {""}},
      {"\t\tX", {"", "", "X"}},
      {" lead\tmid dle", {" lead", "mid dle"}},
  };
  for (const Case& c : cases) {
    const CriteriaElements elements(c.text, '\t');
    ASSERT_EQ(elements.count(), static_cast<int>(c.elements.size())) << c.text;
    for (size_t i = 0; i < c.elements.size(); ++i) {
      EXPECT_EQ(elements[static_cast<int>(i) + 1], c.elements[i]) << c.text;
    }
    EXPECT_EQ(elements[0], "");
    EXPECT_EQ(elements[elements.count() + 1], "");
    EXPECT_EQ(elements[-5], "");
  }
}

TEST(CriteriaElementsTest, KeepsAtMostThirtyTwoElementsAndUsesTheListSeparator) {
  std::string text;
  for (int i = 1; i <= 40; ++i) text += std::to_string(i) + ",";
  const CriteriaElements elements(text, ',');
  EXPECT_EQ(elements.count(), CriteriaElements::kMaxElements);
  EXPECT_EQ(elements[32], "32");
  EXPECT_EQ(elements[33], "");

  config::ScopedListSeparator tab('\t');
  const CriteriaElements split_at_tab("1,5\t7");
  EXPECT_EQ(split_at_tab[1], "1,5");
  EXPECT_EQ(split_at_tab[2], "7");
}

TEST(InRangeTest, InclusiveBoundsAndOnlyTheExactNoBoundPairs) {
  struct Case {
    double value;
    std::string text;
    NoUpper kind;
    bool in;
  };
  const std::vector<Case> cases = {
      {100, "100\t200", NoUpper::kAmount, true},     // lower bound inclusive
      {200, "100\t200", NoUpper::kAmount, true},     // upper bound inclusive
      {99.99, "100\t200", NoUpper::kAmount, false},  // below
      {200.01, "100\t200", NoUpper::kAmount, false},
      {5e12, "0\t999999999", NoUpper::kAmount, true},  // no bound
      {-1, "0\t999999999", NoUpper::kAmount, true},
      {5e12, "0\t999", NoUpper::kAmount, false},      // the rate pair is a bound for amounts
      {1000, "0\t999", NoUpper::kRate, true},         // but none for rates
      {5e12, "0\t999999999", NoUpper::kRate, false},  // and the amount pair one for rates
      {1000, "00\t999", NoUpper::kRate, false},       // only "0" exactly
      {1000, " 0\t999", NoUpper::kRate, false},
      {-1, "0\t1000", NoUpper::kAmount, false},  // lower bound 0 is a bound
      {0, "abc\txyz", NoUpper::kAmount, true},   // unreadable bounds count as 0
      {1, "abc\txyz", NoUpper::kAmount, false},
      {0, "", NoUpper::kAmount, true},            // missing bounds count as 0
      {0.5, "0,5\t1,5", NoUpper::kAmount, true},  // comma as decimal point
      {10, "20\t5", NoUpper::kAmount, false},     // crossed bounds hold nobody
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InRange(c.value, ReadBoundPair(CriteriaElements(c.text, '\t'), 1), c.kind), c.in)
        << c.value << " [" << c.text << "]";
  }
  // Elements 3 and 4 of the same text.
  const CriteriaElements four("0\t999999999\t3\t5", '\t');
  EXPECT_TRUE(InRange(4, ReadBoundPair(four, 3), NoUpper::kRate));
  EXPECT_FALSE(InRange(0, ReadBoundPair(four, 3), NoUpper::kRate));
  EXPECT_TRUE(IsNoBoundPair(four, 1, kNoUpperAmount));
  EXPECT_FALSE(IsNoBoundPair(four, 3, kNoUpperRate));
}

// A criterion reads its bounds when it is made: many criteria side by side
// each keep their own numbers (long texts too), and a criterion made before
// the list separator changed reads its text again at the new one.
TEST(InRangeTest, EachCriterionKeepsTheBoundsOfItsOwnText) {
  config::ScopedListSeparator tab('\t');
  std::vector<CriteriaEntry> entries;
  for (int lower = 0; lower < 60; ++lower) {
    entries.emplace_back("40001******1", std::to_string(lower) + "\t" + std::to_string(lower + 1) +
                                             ",5\t" + std::to_string(2 * lower) + "\t999");
  }
  for (int lower = 0; lower < 60; ++lower) {
    const CriteriaEntry& entry = entries[static_cast<size_t>(lower)];
    EXPECT_TRUE(InRange(lower, entry.Bounds(1), NoUpper::kAmount)) << entry.text;
    EXPECT_TRUE(InRange(lower + 1.5, entry.Bounds(1), NoUpper::kAmount)) << entry.text;
    EXPECT_FALSE(InRange(lower - 0.01, entry.Bounds(1), NoUpper::kAmount)) << entry.text;
    EXPECT_FALSE(InRange(lower + 1.51, entry.Bounds(1), NoUpper::kAmount)) << entry.text;
    EXPECT_EQ(InRange(-1, entry.Bounds(3), NoUpper::kRate), lower == 0) << entry.text;
    EXPECT_FALSE(InRange(2 * lower - 1, entry.Bounds(3), NoUpper::kAmount)) << entry.text;
  }
  const CriteriaEntry long_bound("40001******1", "0\t" + std::string(30, '1'));
  EXPECT_TRUE(InRange(1e29, long_bound.Bounds(1), NoUpper::kAmount));
  EXPECT_FALSE(InRange(2e29, long_bound.Bounds(1), NoUpper::kAmount));
  const CriteriaEntry empty;
  EXPECT_TRUE(InRange(0, empty.Bounds(1), NoUpper::kAmount));
  EXPECT_FALSE(InRange(1, empty.Bounds(3), NoUpper::kAmount));

  // At the tab "10;20" is one unreadable element: the range 0 to 0.
  const CriteriaEntry made_at_tab("40001******1", "10;20");
  EXPECT_TRUE(InRange(0, made_at_tab.Bounds(1), NoUpper::kAmount));
  EXPECT_FALSE(InRange(15, made_at_tab.Bounds(1), NoUpper::kAmount));
  config::ScopedListSeparator semicolon(';');
  EXPECT_FALSE(InRange(0, made_at_tab.Bounds(1), NoUpper::kAmount));
  EXPECT_TRUE(InRange(15, made_at_tab.Bounds(1), NoUpper::kAmount));
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double value;
    double rounded;
  };
  for (Case c : {Case{0.5, 0}, Case{1.5, 2}, Case{2.5, 2}, Case{3.5, 4}, Case{-0.5, 0},
                 Case{-1.5, -2}, Case{-2.5, -2}, Case{0.04, 0}, Case{0.49999, 0}, Case{0.50001, 1},
                 Case{49.5, 50}, Case{48.5, 48}, Case{-3.7, -4}, Case{7, 7}}) {
    EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
  }
}

TEST(TrimIntoTest, AgreesWithBlankTrimmingModeThree) {
  for (const std::string& text :
       std::vector<std::string>{"", "   ", "  DUPONT  ", "A  B", "A \xFF\xFF B", "A\xFF\xFF B",
                                "\xFF\xFFX\xFF", "X  ", " a b  c ", std::string(300, 'Z')}) {
    char buffer[400];
    EXPECT_EQ(TrimInto(text, buffer, sizeof buffer), util::TrimBlanks(text, util::kTrimAll))
        << text;
  }
  char small[4];
  EXPECT_EQ(TrimInto("  ABCDEFG", small, sizeof small), "ABCD");
  EXPECT_EQ(TrimInto("AB    CD", small, sizeof small), "AB C");
  EXPECT_EQ(TrimInto("ABC   ", small, 4), "ABC");
}

}  // namespace
}  // namespace vz::selection
