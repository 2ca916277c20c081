#include "platform/runtime/text_encoding.h"

#include <gtest/gtest.h>

namespace vz::runtime {
namespace {

TEST(Utf8ToCp1252, ConvertsWhatCodePage1252Holds) {
  struct Case {
    const char* utf8;
    std::string cp1252;
  } cases[] = {
      {"", ""},
      {"MENU", "MENU"},
      {"Désirez vous quitter le logiciel ?", "D\xE9sirez vous quitter le logiciel ?"},
      {"Annuités dû", "Annuit\xE9s d\xFB"},
      {"€ œ Ÿ … ’", "\x80 \x9C \x9F \x85 \x92"},
      {"ÿ", "\xFF"},
      {"a\tb", "a\tb"},
  };
  for (const auto& c : cases) {
    auto converted = Utf8ToCp1252(c.utf8);
    ASSERT_TRUE(converted.has_value()) << c.utf8;
    EXPECT_EQ(*converted, c.cp1252) << c.utf8;
  }
}

TEST(Utf8ToCp1252, RejectsBrokenUtf8AndForeignCharacters) {
  const std::string rejected[] = {
      "\xE9t\xE9",         // cp1252 bytes, not UTF-8
      "caf\xC3",           // cut in the middle of a character
      "\xC0\xAF",          // overlong slash
      "\xE0\x80\xAF",      // overlong, three bytes
      "\xED\xA0\x80",      // surrogate
      "\xF4\x90\x80\x80",  // past U+10FFFF
      "\xFF",              // never valid
      "中文",              // outside cp1252
      "\xE2\x82",          // euro sign cut short
      "\xC3\x28",          // bad continuation byte
  };
  for (const auto& text : rejected) EXPECT_FALSE(Utf8ToCp1252(text).has_value()) << text;
}

TEST(Cp1252ToUtf8, RoundTripsEveryDefinedByte) {
  for (int b = 1; b < 256; ++b) {
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
    const std::string one(1, static_cast<char>(b));
    auto back = Utf8ToCp1252(Cp1252ToUtf8(one));
    ASSERT_TRUE(back.has_value()) << b;
    EXPECT_EQ(*back, one) << b;
  }
}

TEST(Cp1252ToUtf8, UndefinedBytesBecomeReplacementCharacter) {
  EXPECT_EQ(Cp1252ToUtf8("a\x81z"), "a\xEF\xBF\xBDz");
}

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
