#include "platform/os/cp1252.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vz::os {
namespace {

// The printable characters of 0x80-0x9F, written as they look.
TEST(Cp1252Test, HighControlRangeFollowsTheCodePage) {
  struct Case {
    unsigned char byte;
    const char* utf8;
  };
  const Case cases[] = {
      {0x80, "€"}, {0x82, "‚"}, {0x83, "ƒ"}, {0x84, "„"}, {0x85, "…"}, {0x86, "†"}, {0x87, "‡"},
      {0x88, "ˆ"}, {0x89, "‰"}, {0x8A, "Š"}, {0x8B, "‹"}, {0x8C, "Œ"}, {0x8E, "Ž"}, {0x91, "‘"},
      {0x92, "’"}, {0x93, "“"}, {0x94, "”"}, {0x95, "•"}, {0x96, "–"}, {0x97, "—"}, {0x98, "˜"},
      {0x99, "™"}, {0x9A, "š"}, {0x9B, "›"}, {0x9C, "œ"}, {0x9E, "ž"}, {0x9F, "Ÿ"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.byte));
    const std::string byte(1, static_cast<char>(c.byte));
    EXPECT_EQ(Utf8(byte), c.utf8);
    EXPECT_EQ(Cp1252(c.utf8), byte);
  }
}

TEST(Cp1252Test, LatinLettersAndLiterals) {
  struct Case {
    const char* utf8;
    std::string cp1252;
  };
  const Case cases[] = {
      {"", ""},
      {"ABC xyz 0123", "ABC xyz 0123"},
      {"Sélection des personnes", "S\xE9lection des personnes"},
      {"déjà", "d\xE9j\xE0"},
      {"Ç ç É ÿ", "\xC7 \xE7 \xC9 \xFF"},
      {"\u00A0\u00B0\u00FF", "\xA0\xB0\xFF"},
      {"Séparée    ",
       "S\xE9par\xE9"
       "e    "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Cp1252(c.utf8), c.cp1252);
    EXPECT_EQ(Utf8(c.cp1252), c.utf8);
  }
}

TEST(Cp1252Test, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Utf8(all);
  EXPECT_EQ(Cp1252(utf8), all);
  EXPECT_EQ(Cp1252Exactly(utf8), all);
  // The unassigned bytes are kept as their own control code points.
  for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(Cp1252ToCodePoint(b), static_cast<char32_t>(b));
  }
  EXPECT_EQ(Cp1252(std::string_view("\0x", 2)), std::string("\0x", 2));
}

TEST(Cp1252Test, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  struct Case {
    const char* utf8;
    const char* cp1252;
  };
  const Case cases[] = {
      {"ā", "?"},       // Latin a with macron
      {"日本", "??"},   // two CJK characters, one mark each
      {"a😀b", "a?b"},   // a four-byte sequence is one character
      {"\u0080", "?"},  // C1 control without a byte of its own
      {"\u2212", "?"},  // minus sign (not the hyphen)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Cp1252(c.utf8), c.cp1252);
  }
}

TEST(Cp1252Test, MalformedUtf8BecomesOneMarkPerBadByte) {
  struct Case {
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {"\xE9t\xE9", "?t?"},  // cp1252 text passed by mistake
      {"\x80\xBF", "??"},    // stray continuation bytes
      {"\xC3", "?"},         // truncated at the end
      {"\xE2\x82"
       "A",
       "??A"},                            // truncated in the middle
      {"\xC0\xAF", "??"},                 // overlong '/'
      {"\xE0\x80\xAF", "???"},            // overlong three-byte form
      {"\xED\xA0\x80", "???"},            // a surrogate half
      {"\xF4\x90\x80\x80", "????"},       // above U+10FFFF
      {"\xF8\x88\x80\x80\x80", "?????"},  // five-byte form
      {"\xFE\xFF", "??"},
      {"ok\xC3\xA9", "ok\xE9"},  // the good part is kept
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.input));
    EXPECT_EQ(Cp1252(c.input), c.expected);
  }
}

// The exact conversion gives what Cp1252 gives, or nothing at all when Cp1252
// would have written a '?' for something.
TEST(Cp1252Test, ExactConversionRefusesWhatHasNoCp1252Form) {
  struct Case {
    std::string utf8;
    std::optional<std::string> cp1252;
  };
  const Case cases[] = {
      {"", ""},
      {"MENU", "MENU"},
      {"Désirez vous quitter le logiciel ?", "D\xE9sirez vous quitter le logiciel ?"},
      {"Annuités dû", "Annuit\xE9s d\xFB"},
      {"€ œ Ÿ … ’", "\x80 \x9C \x9F \x85 \x92"},
      {"ÿ", "\xFF"},
      {"a\tb", "a\tb"},
      {"\u0081\u009D", "\x81\x9D"},        // the unassigned bytes' own code points
      {"\xE9t\xE9", std::nullopt},         // cp1252 bytes, not UTF-8
      {"caf\xC3", std::nullopt},           // cut in the middle of a character
      {"\xC0\xAF", std::nullopt},          // overlong slash
      {"\xE0\x80\xAF", std::nullopt},      // overlong, three bytes
      {"\xED\xA0\x80", std::nullopt},      // surrogate
      {"\xF4\x90\x80\x80", std::nullopt},  // past U+10FFFF
      {"\xFF", std::nullopt},              // never valid
      {"中文", std::nullopt},              // outside cp1252
      {"\u0080", std::nullopt},            // C1 control without a byte of its own
      {"\xE2\x82", std::nullopt},          // euro sign cut short
      {"\xC3\x28", std::nullopt},          // bad continuation byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.utf8));
    EXPECT_EQ(Cp1252Exactly(c.utf8), c.cp1252);
    if (c.cp1252) {
      EXPECT_EQ(Cp1252(c.utf8), *c.cp1252);
    }
  }
}

}  // namespace
}  // namespace vz::os
