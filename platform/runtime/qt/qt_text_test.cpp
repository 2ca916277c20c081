#include "platform/runtime/qt/qt_text.h"

#include <gtest/gtest.h>

namespace vz::runtime {
namespace {

TEST(QtTextTest, EveryByteSurvivesTheRoundTrip) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(FromQString(ToQString(one)), one) << "byte " << byte;
  }
}

struct Crossing {
  const char* what;
  std::string cp1252;
  char32_t code_point;
};

TEST(QtTextTest, BytesBecomeTheirCharacters) {
  const Crossing cases[] = {
      {"plain letter", "A", U'A'},
      {"e acute", "\xE9", U'\u00E9'},
      {"euro sign", "\x80", U'\u20AC'},
      {"oe ligature", "\x9C", U'\u0153'},
      {"right quote", "\x92", U'\u2019'},
      {"unassigned byte", "\x81", U'\u0081'},
      {"NUL kept", std::string(1, '\0'), U'\0'},
  };
  for (const auto& c : cases) {
    const QString text = ToQString(c.cp1252);
    ASSERT_EQ(text.toStdU32String().size(), 1u) << c.what;
    EXPECT_EQ(text.toStdU32String()[0], c.code_point) << c.what;
  }
}

TEST(QtTextTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  const struct {
    const char* what;
    QString typed;
    std::string expected;
  } cases[] = {
      {"emoji", QString::fromUtf8("Dupont \xF0\x9F\x98\x80"), "Dupont ?"},
      {"chinese", QString::fromUtf8("\xE4\xB8\xAD"), "?"},
      {"lone surrogate", QString(QChar(0xD800)), "?"},
      {"replacement char", QString(QChar(0xFFFD)), "?"},
      {"accents kept", QString::fromUtf8("Lefèvre Œuvre €"),
       "Lef\xE8vre \x8C"
       "uvre \x80"},
      {"empty", QString(), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FromQString(c.typed), c.expected) << c.what;
}

}  // namespace
}  // namespace vz::runtime
