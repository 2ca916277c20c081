#include "src/util/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vz::util {
namespace {

TEST(IntToTextTest, ZeroPaddedWithTheSignFirst) {
  struct Case {
    int32_t value;
    int width;
    const char* expected;
  };
  const Case cases[] = {
      {7, 2, "07"},
      {-5, 4, "-005"},
      {123, 2, "123"},
      {12, 6, "000012"},
      {0, 0, "0"},
      {-5, 0, "-5"},
      {12, 0, "12"},
      {0, 3, "000"},
      {-1, 2, "-1"},
      {-1, 3, "-01"},
      {-12345, 3, "-12345"},
      {5, -3, "5"},
      {INT32_MAX, 10, "2147483647"},
      {INT32_MIN, 12, "-02147483648"},
      {INT32_MIN, 2, "-2147483648"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " width " << c.width);
    EXPECT_EQ(IntToText(c.value, c.width), c.expected);
  }
  EXPECT_EQ(IntToText(42, 1 << 30).size(), static_cast<size_t>(kMaxTextWidth));
}

TEST(IntToTextTest, BlankPadded) {
  struct Case {
    int32_t value;
    int width;
    const char* expected;
  };
  const Case cases[] = {
      {5, 2, " 5"}, {-5, 4, "  -5"}, {123, 2, "123"}, {0, 0, "0"}, {12, 2, "12"}, {3, -2, "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " width " << c.width);
    EXPECT_EQ(IntToTextBlankPadded(c.value, c.width), c.expected);
  }
  EXPECT_EQ(IntToTextBlankPadded(7, 300).size(), 255u);  // a short string
}

TEST(NumberToTextTest, PaddingRoundingAndStripping) {
  struct Case {
    double value;
    int8_t width;
    int8_t decimals;
    std::string expected;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      // The documented examples.
      {1234.5, 8, 2, "01234.50"},
      {1234.25, -8, 0, "    1234"},
      {0, -8, 0, "        "},
      {2.5, -6, -2, "  2.5"},
      // Zero padding of negative values keeps the total width.
      {-12.5, 8, 1, "-00012.5"},
      {-1234.5, 8, 2, "-1234.50"},
      {-1, 8, 0, "-0000001"},
      // Wider than the field: written in full.
      {123456.789, 4, 2, "123456.79"},
      {-123456.789, -4, 0, "-123457"},
      // Halfway values go away from zero on their decimal form.
      {2.675, 0, 2, "2.68"},
      {-2.675, 0, 2, "-2.68"},
      {0.5, 0, 0, "1"},
      {-0.5, 0, 0, "-1"},
      {1.5, 0, 0, "2"},
      {2.5, 0, 0, "3"},
      {0.125, 0, 2, "0.13"},
      {-0.125, 0, 2, "-0.13"},
      {1.005, 0, 2, "1.01"},
      {9.995, 0, 2, "10.00"},
      {99.95, 5, 1, "100.0"},
      {0.0049, 0, 2, "0.00"},
      // A result that rounds to zero has no minus sign; only exact 0 is blanked.
      {-0.001, 0, 2, "0.00"},
      {-0.001, -6, 2, "  0.00"},
      {-0.0, -4, 0, "    "},
      // Zero with zero padding.
      {0, 8, 2, "00000.00"},
      {0, 8, -2, "00000"},
      {0, 0, 0, "0"},
      // Stripping trailing zeros stops at the decimal point.
      {10, -6, -2, " 10"},  // " 10.00" loses its decimals
      {100, -6, -1, " 100"},
      {0.5, -6, -3, " 0.5"},
      {1.25, 0, -4, "1.25"},
      {120.5, 8, -2, "00120.5"},
      // Large and small magnitudes.
      {1e20, 0, 0, "100000000000000000000"},
      {1e-20, 0, 3, "0.000"},
      {123.0, 3, 0, "123"},
      // Extreme widths and decimals.
      {1.5, 0, -128, "1.5"},
      {0, -128, 0, std::string(128, ' ')},
      {7, 127, 0, std::string(126, '0') + "7"},
      // Not a number, infinities: written as 0.
      {nan, -4, 0, "    "},
      {inf, 3, 0, "000"},
      {-inf, 0, 1, "0.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.value << " w " << int{c.width} << " d " << int{c.decimals});
    EXPECT_EQ(NumberToText(c.value, c.width, c.decimals), c.expected);
  }
}

TEST(TextToIntTest, TolerantReading) {
  struct Case {
    std::string text;
    int32_t expected;
  };
  const Case cases[] = {
      {"", 0},
      {" 42 ", 42},
      {"4 2", 0},
      {"12a", 0},
      {"-7", -7},
      {"+7", 7},
      {"  -0012  ", -12},
      {"\xFF"
       "42\xFF",
       42},
      {"000012", 12},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", 0},
      {"-2147483649", 0},
      {"99999999999999999999999999", 0},
      {std::string(29, '0') + "15", 1},  // only the first 30 characters count
      {std::string(31, ' ') + "5", 0},   // the digit is past the 30th character
      {"0x1F", 0},
      {"$1F", 0},
      {"1e3", 0},
      {"1.0", 0},
      {"--1", 0},
      {"-", 0},
      {"+", 0},
      {"\t42", 0},
      {std::string("4\0", 2), 0},
      {"\xE9", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(TextToInt(c.text), c.expected);
  }
}

TEST(TextToNumberTest, TolerantReading) {
  struct Case {
    std::string text;
    double expected;
  };
  const Case cases[] = {
      {"1 234,50", 1234.5},
      {"1 234 567", 0},
      {"", 0},
      {"12.5", 12.5},
      {"-3,25", -3.25},
      {"+2", 2},
      {"  7  ", 7},
      {"- 5", -5},  // the first blank goes before trimming
      {"1,2,3", 0},
      {"1.2.3", 0},
      {"abc", 0},
      {"1e3", 1000},
      {"1.5E+2", 150},
      {"1e", 0},
      {"e5", 0},
      {".5", 0.5},
      {"5.", 5},
      {".", 0},
      {"-", 0},
      {"inf", 0},
      {"nan", 0},
      {"1e999", 0},
      {"0x10", 0},
      {"1" + std::string(29, '0') + "5", 1e29},  // the first 30 characters
      {"\xFF"
       "3,5\xFF",
       3.5},
      {std::string("3\0", 2), 0},
      {"999999999", 999999999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.expected);
  }
}

}  // namespace
}  // namespace vz::util
