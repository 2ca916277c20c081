// Criteria elements, the range test with its no-bound pairs, rounding halves
// to even and the blank trimming used by the criteria tests.
#include "src/selection/rubric_tests_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/config/parameter_file.h"
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
    std::string_view no_upper;
    bool in;
  };
  const std::vector<Case> cases = {
      {100, "100\t200", kNoUpperAmount, true},     // lower bound inclusive
      {200, "100\t200", kNoUpperAmount, true},     // upper bound inclusive
      {99.99, "100\t200", kNoUpperAmount, false},  // below
      {200.01, "100\t200", kNoUpperAmount, false},
      {5e12, "0\t999999999", kNoUpperAmount, true},  // no bound
      {-1, "0\t999999999", kNoUpperAmount, true},
      {5e12, "0\t999", kNoUpperAmount, false},  // the rate pair is a bound for amounts
      {1000, "0\t999", kNoUpperRate, true},     // but none for rates
      {1000, "00\t999", kNoUpperRate, false},   // only "0" exactly
      {1000, " 0\t999", kNoUpperRate, false},
      {-1, "0\t1000", kNoUpperAmount, false},  // lower bound 0 is a bound
      {0, "abc\txyz", kNoUpperAmount, true},   // unreadable bounds count as 0
      {1, "abc\txyz", kNoUpperAmount, false},
      {0, "", kNoUpperAmount, true},            // missing bounds count as 0
      {0.5, "0,5\t1,5", kNoUpperAmount, true},  // comma as decimal point
      {10, "20\t5", kNoUpperAmount, false},     // crossed bounds hold nobody
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InRange(c.value, CriteriaElements(c.text, '\t'), 1, c.no_upper), c.in)
        << c.value << " [" << c.text << "]";
  }
  // Elements 3 and 4 of the same text.
  const CriteriaElements four("0\t999999999\t3\t5", '\t');
  EXPECT_TRUE(InRange(4, four, 3, kNoUpperRate));
  EXPECT_FALSE(InRange(0, four, 3, kNoUpperRate));
  EXPECT_TRUE(IsNoBoundPair(four, 1, kNoUpperAmount));
  EXPECT_FALSE(IsNoBoundPair(four, 3, kNoUpperRate));
}

// Bounds read once and found again by their text: many bounds in turn, more
// than are kept, each still reads as its own number; long texts too.
TEST(InRangeTest, EveryBoundReadsAsItsOwnTextAcrossManyQueries) {
  for (int round = 0; round < 3; ++round) {
    for (int lower = 0; lower < 60; ++lower) {
      const std::string text = std::to_string(lower) + "\t" + std::to_string(lower + 1) + ",5";
      const CriteriaElements elements(text, '\t');
      EXPECT_TRUE(InRange(lower, elements, 1, kNoUpperAmount)) << text;
      EXPECT_TRUE(InRange(lower + 1.5, elements, 1, kNoUpperAmount)) << text;
      EXPECT_FALSE(InRange(lower - 0.01, elements, 1, kNoUpperAmount)) << text;
      EXPECT_FALSE(InRange(lower + 1.51, elements, 1, kNoUpperAmount)) << text;
    }
  }
  const std::string long_text = "0\t" + std::string(30, '1');
  const CriteriaElements elements(long_text, '\t');
  EXPECT_TRUE(InRange(1e29, elements, 1, kNoUpperAmount));
  EXPECT_FALSE(InRange(2e29, elements, 1, kNoUpperAmount));
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
