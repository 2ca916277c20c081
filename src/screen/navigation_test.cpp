#include "src/screen/navigation.h"

#include <gtest/gtest.h>

#include <utility>

namespace vz::screen {
namespace {

TEST(NavigationCodeTest, KeepsAtMostThreeCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {"T0", "T0"}, {"T01", "T01"}, {"ESCAPE", "ESC"}, {"\xE9t\xE9s", "\xE9t\xE9"}};
  for (const auto& [code, kept] : cases) {
    SetNavigationCode(code);
    EXPECT_EQ(NavigationCode(), kept) << code;
  }
}

}  // namespace
}  // namespace vz::screen
