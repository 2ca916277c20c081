#include "src/util/dates.h"

#include <gtest/gtest.h>

#include "platform/os/local_date.h"

namespace vz::util {
namespace {

TEST(DatesTest, TodayInBothFormats) {
  os::ScopedTodayForTests today({2024, 6, 5});
  EXPECT_EQ(TodayText(kDateYearMonthDay), "20240605");
  EXPECT_EQ(TodayText(kDateDayMonthYear), "05062024");
  EXPECT_EQ(TodayText(7), "20240605");
  EXPECT_EQ(TodayText(kDateYearMonthDay).size(), 8u);
}

TEST(DatesTest, YearsBetweenDatesFollowsTheFixedTable) {
  os::ScopedTodayForTests today({2024, 6, 15});
  struct Case {
    const char* first;
    const char* second;
    int format;
    int expected;
  };
  const Case cases[] = {
      // 1 March to 29 February forty years later: 40 (the table has no leap days).
      {"19800301", "20200229", 0, 40},
      {"19800301", "20200228", 0, 39},
      // Ages against today.
      {"19800615", "00000000", 0, 44},
      {"19800616", "00000000", 0, 43},
      {"15061980", "00000000", 1, 44},
      {"800615", "00000000", 0, 44},  // six characters: century 19
      {"150680", "00000000", 1, 44},
      {"", "00000000", 0, 0},  // empty first date is today
      {"", "", 1, 0},
      {"00000000", "19800615", 0, -44},
      {"ABCDEFGH", "00000000", 0, 0},       // not a number: today
      {"198006151234", "00000000", 0, 44},  // cut to 8 characters
      // Truncation toward zero in both directions.
      {"20240615", "19800616", 0, -43},
      {"19800616", "20240615", 0, 43},
      // Months outside 1..12 are clamped.
      {"19801315", "19811215", 0, 1},
      {"19800015", "19810115", 0, 1},
      // Short or odd texts never fail.
      {"1980", "2000", 0, 20},
      {"1", "2", 1, 0},
      {"-1234567", "00000000", 0, 1902},  // year -123, month 45 -> 12, day 67
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " -> " + c.second);
    EXPECT_EQ(YearsBetweenDates(c.first, c.second, c.format), c.expected);
  }
}

}  // namespace
}  // namespace vz::util
