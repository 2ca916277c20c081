#include "platform/runtime/text_encoding.h"

#include <gtest/gtest.h>

namespace vz::runtime {
namespace {

TEST(FoldName, UpperCasesAndDropsAccents) {
  struct Case {
    std::string in;
    std::string out;
  } cases[] = {
      {"EX\xE9"
       "CUTE",
       "EXECUTE"},
      {"ex\xE9"
       "cute",
       "EXECUTE"},
      {"Ex\xC9"
       "cute",
       "EXECUTE"},
      {"execute", "EXECUTE"},
      {"\xE7\xE0\xF9\xEE\xF4\xFF\xF1", "CAUIOYN"},
      {"Option", "OPTION"},
      {"gsEstUnInterrupteurRetour", "GSESTUNINTERRUPTEURRETOUR"},
      {"a,b(c)", "A,B(C)"},
  };
  for (const auto& c : cases) EXPECT_EQ(FoldName(c.in), c.out) << c.in;
}

TEST(SameName, ComparesFoldedNames) {
  EXPECT_TRUE(SameName("Option", "OPTION"));
  EXPECT_TRUE(SameName("R\xE9sultat", "RESULTAT"));
  EXPECT_FALSE(SameName("OPTION", "OPTIONS"));
  EXPECT_FALSE(SameName("T01", "T02"));
}

// Lookups compare a name with an already folded key, which is sound only when
// folding a folded name changes nothing, for every byte.
TEST(FoldName, FoldingTwiceChangesNothing) {
  for (int c = 0; c < 256; ++c) {
    const std::string once = FoldName(std::string(1, static_cast<char>(c)));
    ASSERT_EQ(once.size(), 1u) << c;
    EXPECT_EQ(FoldName(once), once) << c;
    EXPECT_TRUE(SameName(std::string(1, static_cast<char>(c)), once)) << c;
  }
}

TEST(TrimBlanks, RemovesSpacesAndTabsAtBothEnds) {
  EXPECT_EQ(TrimBlanks("  a b \t"), "a b");
  EXPECT_EQ(TrimBlanks(" \t "), "");
  EXPECT_EQ(TrimBlanks(""), "");
  EXPECT_EQ(TrimBlanks("x"), "x");
  EXPECT_EQ(TrimBlanks("\tx"), "x");
  EXPECT_EQ(TrimBlanks("x "), "x");
  EXPECT_EQ(TrimBlanks(" \t"), "");
  // Only spaces and TABs are blanks: line ends and NULs stay.
  EXPECT_EQ(TrimBlanks("\r x\n"), "\r x\n");
  EXPECT_EQ(TrimBlanks(std::string_view(" a\0", 3)), std::string_view("a\0", 2));
}

}  // namespace
}  // namespace vz::runtime
