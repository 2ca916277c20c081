#include "src/util/fixed_split.h"

#include <gtest/gtest.h>

namespace vz::util {
namespace {

TEST(SplitFixedCountTest, AlwaysExactlyCountParts) {
  struct Case {
    const char* text;
    const char* separator;
    int count;
    std::vector<std::string> parts;
  };
  const Case cases[] = {
      {"a\tb\tc", "\t", 3, {"a", "b", "c"}},
      {"a\tb\tc", "\t", 2, {"a", "b"}},
      {"a\tb\tc", "\t", 5, {"a", "b", "c", "", ""}},
      {"a\tb\t", "\t", 3, {"a", "b", ""}},
      {"\t\t", "\t", 4, {"", "", "", ""}},
      {"", "\t", 2, {"", ""}},
      {"abc", "\t", 2, {"abc", ""}},
      {"a,b", ",", 1, {"a"}},
      {"a::b::c", "::", 3, {"a", ":b", ":c"}},  // only one character is consumed
      {"a\tb", "", 2, {"a\tb", ""}},
      {"a\tb", "\t", 0, {}},
      {"a\tb", "\t", -3, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)) + " x" + std::to_string(c.count));
    EXPECT_EQ(SplitFixedCount(c.text, c.separator, c.count), c.parts);
  }
}

}  // namespace
}  // namespace vz::util
