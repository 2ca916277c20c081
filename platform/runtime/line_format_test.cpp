#include "platform/runtime/line_format.h"

#include <gtest/gtest.h>

namespace vz::runtime {
namespace {

std::vector<std::string> Texts(const TokenizedLine& line) {
  std::vector<std::string> texts;
  for (const auto& word : line.words) texts.push_back((word.quoted ? "Q:" : "") + word.Text());
  return texts;
}

TEST(TokenizeLine, SplitsWordsAttributesAndQuotedTexts) {
  struct Case {
    std::string line;
    std::vector<std::string> words;
  } cases[] = {
      {"", {}},
      {"   # only a comment", {}},
      {"window MENU", {"window", "MENU"}},
      {"  text MHAUTE x=20\ty=90", {"text", "MHAUTE", "x=20", "y=90"}},
      {"title=\"Menu principal\" w=1", {"Q:title=Menu principal", "w=1"}},
      {"entry \"C\xE9libataire\\t1\"", {"entry", "Q:C\xE9libataire\t1"}},
      {"type F \"a \\\"b\\\" \\\\ c\\n\"", {"type", "F", "Q:a \"b\" \\ c\n"}},
      {"press T04 # comment", {"press", "T04"}},
      {"type F a#b", {"type", "F", "a#b"}},
      {"type VALDEB,03 1500", {"type", "VALDEB,03", "1500"}},
      {"type F \"\"", {"type", "F", "Q:"}},
      {"X=1=2", {"X=1=2"}},  // not an attribute name: upper case
  };
  for (const auto& c : cases) {
    const TokenizedLine line = TokenizeLine(c.line);
    EXPECT_EQ(line.error, "") << c.line;
    EXPECT_EQ(Texts(line), c.words) << c.line;
  }
}

TEST(TokenizeLine, AttributeKeyIsSeparated) {
  const TokenizedLine line = TokenizeLine("label=\"Marge haute\" lw=300");
  ASSERT_EQ(line.words.size(), 2u);
  EXPECT_EQ(line.words[0].key, "label");
  EXPECT_EQ(line.words[0].value, "Marge haute");
  EXPECT_EQ(line.words[1].key, "lw");
  EXPECT_EQ(line.words[1].value, "300");
}

TEST(TokenizeLine, RejectsMalformedLines) {
  struct Case {
    std::string line;
    std::string error_part;
  } cases[] = {
      {"title=\"not closed", "not closed"},        {"\"x\\q\"", "unknown escape"},
      {"ab\"cd\"", "quote may only start a word"}, {"\"ab\"cd", "followed by a blank"},
      {"x=\"a\"b", "followed by a blank"},         {"\"ends with backslash\\", "not closed"},
  };
  for (const auto& c : cases) {
    const TokenizedLine line = TokenizeLine(c.line);
    EXPECT_NE(line.error.find(c.error_part), std::string::npos) << c.line << " -> " << line.error;
  }
}

TEST(SplitSourceLines, NumbersLinesAndConvertsToCp1252) {
  const SourceLines source = SplitSourceLines("a\r\nd\xC3\xA9j\xC3\xA0\n\nlast");
  ASSERT_EQ(source.error, "");
  ASSERT_EQ(source.lines.size(), 4u);
  EXPECT_EQ(source.lines[0].text, "a");
  EXPECT_EQ(source.lines[1].text, "d\xE9j\xE0");
  EXPECT_EQ(source.lines[2].text, "");
  EXPECT_EQ(source.lines[3].number, 4);
}

TEST(SplitSourceLines, NamesTheLineOfBadBytes) {
  struct Case {
    std::string content;
    int line;
  } cases[] = {
      {"ok\nok\nd\xE9j\xE0\n", 3},  // cp1252 file where UTF-8 is expected
      {"\xE4\xB8\xAD\n", 1},        // a character outside cp1252
      {"ok\nnul\0here\n", 2},
  };
  cases[2].content = std::string("ok\nnul\0here\n", 12);
  for (const auto& c : cases) {
    const SourceLines source = SplitSourceLines(c.content);
    EXPECT_FALSE(source.error.empty());
    EXPECT_EQ(source.error_line, c.line);
    EXPECT_TRUE(source.lines.empty());
  }
}

TEST(ParseWholeNumber, AcceptsOnlyPlainIntegers) {
  int value = 0;
  EXPECT_TRUE(ParseWholeNumber("42", value));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(ParseWholeNumber("-7", value));
  EXPECT_EQ(value, -7);
  for (const char* bad : {"", "+1", "1O", " 1", "1 ", "99999999999", "0x10", "-"}) {
    EXPECT_FALSE(ParseWholeNumber(bad, value)) << bad;
  }
}

TEST(WhereAndWhy, JoinsFileLineAndReason) {
  EXPECT_EQ(WhereAndWhy("ORVANE.wdl", 42, "bad"), "ORVANE.wdl:42: bad");
}

}  // namespace
}  // namespace vz::runtime
