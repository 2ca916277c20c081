#include "platform/os/ascii_case.h"

#include <gtest/gtest.h>

#include <string>

namespace vz::os {
namespace {

// Searches the screen bridge makes for every command, and their edges:
// case on either side, a match at the very end, a word longer than the text,
// a start past a match, and accented cp1252 bytes that must not match their
// plain letters.
TEST(AsciiCaseTest, FindIgnoringAsciiCaseFindsTheFirstStandingWord) {
  struct Case {
    std::string text;
    std::string word;
    size_t from;
    size_t expected;
  };
  constexpr size_t kNone = std::string_view::npos;
  const Case cases[] = {
      {"EXECUTE(\"FermeFen\")", "execute(", 0, 0},
      {"ExEcUtE,BOUTON1", "execute,", 0, 0},
      {"xx execute(", "EXECUTE(", 0, 3},
      {"abcabc", "abc", 1, 3},
      {"abcabc", "abc", 4, kNone},
      {"ab", "abc", 0, kNone},
      {"abc", "bc", 0, 1},
      {"abc", "", 0, 0},
      {"abc", "", 3, 3},
      {"abc", "", 4, kNone},
      {"ex\xE9" "cuter", "execute", 0, kNone},
      {"EXECUTER", "executer", 0, 0},
      {"[\\]", "{|}", 0, kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindIgnoringAsciiCase(c.text, c.word, c.from), c.expected)
        << c.text << " / " << c.word << " from " << c.from;
  }
}

}  // namespace
}  // namespace vz::os
