// Thousands grouping for the numbers shown to users.
#include "src/util/thousands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace vz::util {
namespace {

TEST(ThousandsTest, GroupsIntegersByThreeFromTheRight) {
  const struct {
    int64_t value;
    const char* expected;
  } cases[] = {
      {0, "0"},
      {7, "7"},
      {999, "999"},
      {1000, "1 000"},
      {3584, "3 584"},
      {154872, "154 872"},
      {1234567, "1 234 567"},
      {-1, "-1"},
      {-999, "-999"},
      {-3584, "-3 584"},
      {-100000, "-100 000"},
      {std::numeric_limits<int64_t>::max(), "9 223 372 036 854 775 807"},
      {std::numeric_limits<int64_t>::min(), "-9 223 372 036 854 775 808"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ThousandsText(c.value), c.expected) << c.value;
  }
}

TEST(ThousandsTest, GroupsOnlyTheIntegerDigitsOfAWrittenNumber) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"1234567.25", "1 234 567.25"},
      {"-1234.5", "-1 234.5"},
      {"+40000", "+40 000"},
      {"0.123456", "0.123456"},
      {"1234 EUR", "1 234 EUR"},
      {"", ""},
      {"-", "-"},
      {"abc1234", "abc1234"},
      {".5", ".5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GroupThousands(c.text), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace vz::util
