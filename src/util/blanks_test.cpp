#include "src/util/blanks.h"

#include <gtest/gtest.h>

namespace vz::util {
namespace {

TEST(TrimBlanksTest, EveryMode) {
  struct Case {
    std::string text;
    int mode;
    std::string expected;
  };
  const Case cases[] = {
      {"  A   B  ", kTrimAll, "A B"},
      {"  A   B  ", kTrimLeading, "A   B  "},
      {"  A   B  ", kTrimTrailing, "  A   B"},
      {"  A   B  ", kTrimRuns, "  A B "},  // the first character is never examined
      {"   A", kTrimRuns, "  A"},
      {"A \xFF\xFF B", kTrimRuns, "A B"},         // blanks after a space go
      {"A\xFF\xFF B", kTrimRuns, "A\xFF\xFF B"},  // a run starting with 255 stays
      {"A\xFF  B", kTrimRuns, "A\xFF B"},         // ... from its first space on
      {"\xFF\xFF"
       "A\xFF",
       kTrimAll, "A"},
      {"\xFF A \xFF", kTrimLeading, "A \xFF"},
      {"\xFF A \xFF", kTrimTrailing, "\xFF A"},
      {"A\t\tB", kTrimAll, "A\t\tB"},  // tabs are not blanks
      {"", kTrimAll, ""},
      {"     ", kTrimAll, ""},
      {"     ", kTrimRuns, "  "},
      {"A B", kTrimRuns, "A B"},
      {std::string("A\0 ", 3), kTrimTrailing, std::string("A\0", 2)},
      {"  A  ", 4, "  A  "},  // unknown modes change nothing
      {"  A  ", -1, "  A  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text) + " mode " + std::to_string(c.mode));
    EXPECT_EQ(TrimBlanks(c.text, c.mode), c.expected);
  }
}

TEST(BlanksTest, FitIsBlankAndRightTrim) {
  EXPECT_EQ(FitToWidth("ABCDEF", 3), "ABC");
  EXPECT_EQ(FitToWidth("AB", 5), "AB   ");
  EXPECT_EQ(FitToWidth("ABC", 3), "ABC");
  EXPECT_EQ(FitToWidth("ABC", 0), "");
  EXPECT_EQ(FitToWidth("ABC", -4), "");
  EXPECT_EQ(FitToWidth("", 2), "  ");

  struct BlankCase {
    std::string text;
    bool blank;
  };
  const BlankCase blank_cases[] = {
      {"", true},     {"   ", true}, {"\xFF \xFF", true},
      {" a ", false}, {"\t", false}, {std::string(1, '\0'), false},
  };
  for (const BlankCase& c : blank_cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(IsBlank(c.text), c.blank);
  }

  struct TrimCase {
    std::string text;
    std::string expected;
  };
  const TrimCase trim_cases[] = {
      {"AB  ", "AB"},
      {std::string("AB\0 \0", 5), "AB"},
      {" A", " A"},
      {"A\xFF", "A\xFF"},  // 255 is not removed here
      {std::string("\0\0", 2), ""},
      {"", ""},
  };
  for (const TrimCase& c : trim_cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(TrimRightBlanksAndNuls(c.text), c.expected);
  }
}

}  // namespace
}  // namespace vz::util
