// The letter template parser: which "#" make keywords in each format, the
// pieces giving back the template, the keywords listed for the INTERFA
// records (64 at most, wherever a keyword stands in the file), template
// names refused and formats by extension.
#include "src/outputs/letter_template.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "src/outputs/letter_fields.h"

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;
using Found = std::vector<std::string>;

constexpr LetterFormat kRtf = LetterFormat::kRtf;
constexpr LetterFormat kHtml = LetterFormat::kHtml;
constexpr LetterFormat kText = LetterFormat::kText;
constexpr LetterFormat kOdf = LetterFormat::kFlatOdf;

Found Keywords(const LetterFieldList& fields) {
  Found all;
  for (int i = 0; i < fields.count(); ++i) all.emplace_back(fields.At(i));
  return all;
}

// The keywords of the template's pieces, after checking that the pieces
// give back every byte of the template, in order.
Found ParsedKeywords(std::string_view text, LetterFormat format) {
  const LetterTemplate parsed{std::string(text), format};
  std::string joined;
  Found keywords;
  for (const TemplatePiece& piece : parsed.pieces()) {
    EXPECT_EQ(piece.offset, joined.size());
    EXPECT_GT(piece.length, 0u);
    joined.append(parsed.Text(piece));
    if (piece.keyword) keywords.emplace_back(parsed.Keyword(piece));
  }
  EXPECT_EQ(joined, text);
  return keywords;
}

TEST(LetterTemplateTest, KeywordsOfPlainTemplates) {
  struct Case {
    std::string_view text;
    Found keywords;
  };
  const Case cases[] = {
      {"Cher #0000A, vous", {"0000A"}},
      {"#0000AB12 is too long", {}},
      {"#4000112 seven characters", {"4000112"}},
      {"#0000ABCDEFGHIJKLMN then #0000E", {"0000E"}},
      {"##0000A", {"0000A"}},
      {"no keyword at all", {}},
      {"ends with #", {}},
      {"ends with #SC00A1", {"SC00A1"}},
      {"#0000C1#0000C2", {"0000C1", "0000C2"}},
      {"#0000A #0000A", {"0000A", "0000A"}},
      {"#_a9Z-", {"_a9Z"}},
      // The character right after "#" is taken whatever it is.
      {"# 4000", {" 4000"}},
      {"#\xE9t\xE9", {"\xE9t"}},
      {std::string_view("#00\0 #40", 8), {"00", "40"}},
      {"{\\rtf1 #0000D\\par #0000E}", {"0000D", "0000E"}},
      // Markup means nothing here: a colour in a plain template is a keyword.
      {"<p style=\"color:#FF0000\">#0000A</p>", {"FF0000", "0000A"}},
      {"&#35;0000A &#233;", {"35", "233"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(ParsedKeywords(c.text, kText), c.keywords);
    EXPECT_EQ(ParsedKeywords(c.text, kRtf), c.keywords);
  }
}

TEST(LetterTemplateTest, KeywordsOfHtmlAndFlatOdfStandOnlyInTheText) {
  struct Case {
    LetterFormat format;
    std::string_view text;
    Found keywords;
  };
  const Case cases[] = {
      {kHtml, "<p>Cher #0000A,</p>", {"0000A"}},
      // A colour in a style attribute, in a bare attribute, in a style block.
      {kHtml, "<p style=\"color:#FF0000\">#0000A</p>", {"0000A"}},
      {kHtml, "<font color=#FF0000>#0000A</font>", {"0000A"}},
      {kHtml, "<a title='a>b #0000A'>#0000B</a>", {"0000B"}},
      {kHtml, "<STYLE>p { color: #FF0000 }</style>#0000A", {"0000A"}},
      {kHtml, "<style type=\"text/css\">\n#id { }\n</STYLE >#0000A", {"0000A"}},
      {kHtml, "<script>x='#0000A'</script>#0000B", {"0000B"}},
      {kHtml, "<styles>#0000A</styles>", {"0000A"}},  // not a style block
      {kHtml, "<!-- #0000A --> #0000B", {"0000B"}},
      {kHtml, "<p class=#0000A", {}},  // a tag left open runs to the end
      // Character references, and a "#" that would run into one.
      {kHtml, "&#35;0000A &#233; #233", {"233"}},
      {kHtml, "&&#35;&##0000A", {"0000A"}},
      {kHtml, "#&amp; #&#35;", {}},
      // A "#" right before markup starts nothing; a loose "<" is text.
      {kHtml, "#<b>#0000A</b>", {"0000A"}},
      {kHtml, "a #< b", {"<"}},
      {kHtml, "Couleur #FF0000 dans le texte", {"FF0000"}},
      {kOdf, "<style:text-properties fo:color=\"#FF0000\"/>#0000A", {"0000A"}},
      {kOdf, "<text:p text:style-name=\"P1\">#0000A &#35;x</text:p>", {"0000A"}},
      {kOdf, "<![CDATA[#0000A]]>#0000B", {"0000B"}},
      {kOdf, "<?xml version=\"1.0\"?><!-- #FF0000 -->#SC00A", {"SC00A"}},
      // In flat ODF a style element is markup like any other: its text counts.
      {kOdf, "<style>#0000A</style>", {"0000A"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(ParsedKeywords(c.text, c.format), c.keywords);
  }
}

TEST(LetterTemplateTest, OnlyKeywordsStartingWithAKeywordCharacterNameAValue) {
  const std::pair<std::string_view, bool> cases[] = {
      {"#0000A", true},  {"#_x", true},     {"#9", true},
      {"# 4000", false}, {"#\xE9t", false}, {"#-1", false},
  };
  for (const auto& [text, names_value] : cases) {
    const LetterTemplate parsed{std::string(text), kText};
    ASSERT_EQ(parsed.pieces().size(), 1u) << text;
    ASSERT_TRUE(parsed.pieces()[0].keyword) << text;
    EXPECT_EQ(parsed.NamesValue(parsed.pieces()[0]), names_value) << text;
  }
}

TEST(LetterTemplateTest, SixtyFourKeywordsAreListedAndTheRestDropped) {
  std::string text = "<p style=\"color:#FF0000\">";  // takes no slot
  for (int i = 0; i < kMaxLetterFields + 6; ++i) text += "#40001" + std::to_string(i % 10) + " ";
  text += "#SC00A</p>";
  auto fields = std::make_unique<LetterFieldList>();
  ListLetterFields(LetterTemplate(text, kHtml), *fields);
  EXPECT_EQ(fields->count(), kMaxLetterFields);
  EXPECT_EQ(fields->dropped_count(), 7);
  EXPECT_EQ(fields->At(0), "400010");
  EXPECT_EQ(fields->At(kMaxLetterFields - 1), "400013");
  EXPECT_FALSE(fields->HasFamily(FamilyRank("SC")));
}

std::string Nested(const std::string& open, const std::string& close, int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += open;
  text += "#0000A";
  for (int i = 0; i < depth; ++i) text += close;
  return text;
}

TEST(LayoutCostTest, TableNestingIsCountedOnMarkupOnly) {
  struct Case {
    const char* label;
    std::string text;
    LetterFormat format;
    size_t deepest;
  };
  const Case cases[] = {
      {"Nested", Nested("<table><tr><td>", "</td></tr></table>", 20), kHtml, 20},
      {"UpperCaseAndAttributes", Nested("<TABLE border=\"1\"><TR><TD>", "</TD></TR></TABLE>", 5),
       kHtml, 5},
      {"SideBySide", "<table></table><table><tr><td><table></table></td></tr></table>", kHtml, 2},
      {"Unclosed", "<table><table><table>", kHtml, 3},
      {"StrayClosings", "</table></table><table>", kHtml, 1},
      {"OtherTagsOfThatStart", "<tablex><table-of><tbody><thead>", kHtml, 0},
      {"InCommentsAndScripts",
       "<!-- <table><table> --><script>'<table>'</script><style>x{}</style>", kHtml, 0},
      {"TextNotMarkup", "a < table; <table>", kHtml, 1},
      {"PlainText", Nested("<table>", "</table>", 30), kText, 0},
      {"Rtf", Nested("<table>", "</table>", 30), kRtf, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LetterTemplate(c.text, c.format).deepest_tables(), c.deepest) << c.label;
  }
}

TEST(LayoutCostTest, TemplatesBeyondTheLimitsAreRefusedWithAMessage) {
  const std::string within = Nested("<table><tr><td>", "</td></tr></table>", kMaxTableNesting);
  const std::string deep = Nested("<table><tr><td>", "</td></tr></table>", 20);
  const std::string big(kMaxLaidOutBytes + 1, 'x');
  EXPECT_EQ(LayoutCostRefusal(LetterTemplate(within, kHtml)), "");
  EXPECT_EQ(LayoutCostRefusal(LetterTemplate(deep, kHtml)),
            "Le modèle de lettre imbrique 20 tableaux les uns dans les autres (au plus 8) : sa "
            "mise en page serait trop longue. Aucune lettre n'est produite.");
  EXPECT_NE(LayoutCostRefusal(LetterTemplate(big, kText)).find("trop volumineux"),
            std::string::npos);
  EXPECT_NE(LayoutCostRefusal(LetterTemplate(big, kHtml)), "");
  // RTF and flat ODF letters are merged, never laid out by the program.
  EXPECT_EQ(LayoutCostRefusal(LetterTemplate(big, kRtf)), "");
  EXPECT_EQ(LayoutCostRefusal(LetterTemplate(deep, kOdf)), "");
}

TEST(TemplateNameTest, NamesReachingOutsideTheDataDirectoryAreRefused) {
  const std::pair<std::string_view, bool> cases[] = {
      {"LETTRE1.RTF", false},
      {"", false},
      {"Lettre 2.html", false},
      {"BILAN:2024.HTM", false},  // a colon further on names no drive
      {"lettre..rtf", true},
      {"../LETTRE1.RTF", true},
      {"..", true},
      {"/etc/passwd", true},
      {"\\LETTRE1.RTF", true},
      {"MODELES/L.RTF", true},
      {"MODELES\\L.RTF", true},
      {"C:L.RTF", true},
      {"c:\\L.RTF", true},
      {"1:L.RTF", true},
      {"\xE9:L.RTF", true},
  };
  for (const auto& [name, refused] : cases) {
    EXPECT_EQ(IsRefusedTemplateName(name), refused) << name;
  }
}

TEST(TemplateNameTest, FormatsByExtension) {
  const std::pair<const char*, std::optional<LetterFormat>> cases[] = {
      {"LETTRE1.RTF", kRtf},     {"bilan.htm", kHtml},
      {"Bilan.Html", kHtml},     {"note.TXT", kText},
      {"invitation.fodt", kOdf}, {"lettre.doc", std::nullopt},
      {"lettre", std::nullopt},  {"lettre.", std::nullopt},
      {"rtf", std::nullopt},     {"archive.rtf.bak", std::nullopt},
  };
  for (const auto& [name, format] : cases) EXPECT_EQ(LetterFormatOf(name), format) << name;
}

class TemplateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vz_letter_template_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  std::string Write(const std::string& bytes, const std::string& name = "LETTRE.RTF") {
    const fs::path path = root_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  fs::path root_;
  std::unique_ptr<LetterFieldList> fields_ = std::make_unique<LetterFieldList>();
};

// Templates are copied and read by blocks of 2048 bytes in places; a keyword
// on either side of such a boundary is found whole.
TEST_F(TemplateFileTest, KeywordsAcrossTheBlockBoundary) {
  constexpr size_t kBlock = 2048;
  for (size_t start = kBlock - 7; start <= kBlock; ++start) {
    std::string text(start, 'x');
    text += "#0000A1 and #40001";
    text += std::string(kBlock, ' ');
    text += "#SC00A";  // the last bytes of a file of three blocks
    ASSERT_TRUE(ReadLetterFields(Write(text), *fields_));
    EXPECT_EQ(Keywords(*fields_), (Found{"0000A1", "40001", "SC00A"})) << start;
  }
  // A candidate across the boundary is still one candidate: too long.
  std::string text(kBlock - 4, 'x');
  text += "#0000AB12";
  ASSERT_TRUE(ReadLetterFields(Write(text), *fields_));
  EXPECT_EQ(Keywords(*fields_), Found{});
}

TEST_F(TemplateFileTest, TheFormatComesFromTheFileName) {
  const std::string text = "<p style=\"color:#FF0000\">#0000A</p>";
  ASSERT_TRUE(ReadLetterFields(Write(text, "BILAN.HTM"), *fields_));
  EXPECT_EQ(Keywords(*fields_), Found{"0000A"});
  ASSERT_TRUE(ReadLetterFields(Write(text, "NOTE.TXT"), *fields_));
  EXPECT_EQ(Keywords(*fields_), (Found{"FF0000", "0000A"}));
  ASSERT_TRUE(ReadLetterFields(Write(text, "LETTRE.DOC"), *fields_));  // read as plain text
  EXPECT_EQ(Keywords(*fields_), (Found{"FF0000", "0000A"}));
}

TEST_F(TemplateFileTest, MissingOrUnreadableTemplatesGiveAnEmptyList) {
  fields_->Append("0000A");
  EXPECT_FALSE(ReadLetterFields((root_ / "ABSENT.RTF").string(), *fields_));
  EXPECT_EQ(fields_->count(), 0);
  fields_->Append("0000A");
  EXPECT_FALSE(ReadLetterFields("", *fields_));
  EXPECT_EQ(fields_->count(), 0);
  fields_->Append("0000A");
  EXPECT_FALSE(ReadLetterFields(root_.string(), *fields_));  // a folder
  EXPECT_EQ(fields_->count(), 0);
  // A binary file: whatever it holds, the list stays within its room.
  std::string binary;
  for (int i = 0; i < 20000; ++i) binary += static_cast<char>((i * 7919) % 256);
  EXPECT_TRUE(ReadLetterFields(Write(binary), *fields_));
  EXPECT_LE(fields_->count(), kMaxLetterFields);
}

}  // namespace
}  // namespace vz::outputs
