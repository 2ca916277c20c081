// The merge of one letter, format by format: which "#" are fields, and how
// each value is escaped so that the document stays valid and every cp1252
// character comes out right.
#include "project/letter_merge.h"

#include <gtest/gtest.h>

#include "platform/os/cp1252.h"

namespace vz::project {
namespace {

using os::Cp1252;

const LetterValues& Values() {
  static const LetterValues values = {
      {"0000A", "DUPONT"},
      {"0000B", Cp1252("Hélène & Marc <SA> {n°1} \"x\" 'y' \\z")},
      {"0000E", Cp1252("Évry")},
      {"0000C1", Cp1252("12 rue de l'Œuvre")},
      {"40001", "    1235"},
      {"0000J", Cp1252("Pacsée     ")},
      {"SC00A", Cp1252("5 000 €")},
      {"0000L1", "ligne 1\r\nligne 2\nligne 3"},
      {"0000H1",
       "a\tb\x01"
       "c"},
      {"FF0000", "rouge"},
      {"233", "X"},
      {"0000", ""},
  };
  return values;
}

struct Case {
  const char* name;
  std::string template_text;
  std::string merged;
};

void Check(LetterFormat format, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(MergeLetter(c.template_text, format, Values()), c.merged) << c.name;
  }
}

TEST(LetterMergeTest, FieldsAreFoundByTheKeywordRule) {
  Check(
      LetterFormat::kText,
      {
          {"alone", "#0000A", "DUPONT"},
          {"at the start and end", "#0000A est #0000A", "DUPONT est DUPONT"},
          {"ended by a comma", "Cher #0000A,", "Cher DUPONT,"},
          {"adjacent", "#0000A#0000E", "DUPONT" + Cp1252("Évry")},
          {"six characters", "#0000C1.", Cp1252("12 rue de l'Œuvre.")},
          {"eight characters left alone", "#0000AB12 reste", "#0000AB12 reste"},
          {"no record left as written", "#ZZZZZ et #0000Z", "#ZZZZZ et #0000Z"},
          {"a longer keyword is not cut", "#0000A_", "#0000A_"},
          {"doubled hash", "##0000A", "#DUPONT"},
          {"hash and blank", "# 0000A #", "# 0000A #"},
          {"empty value", "[#0000]", "[]"},
          {"blanks of the value kept", "[#40001][#0000J]", "[    1235][" + Cp1252("Pacsée     ]")},
          {"no field", "Madame, Monsieur", "Madame, Monsieur"},
          {"empty template", "", ""},
      });
}

TEST(LetterMergeTest, TextKeepsTheTemplatesEncoding) {
  Check(LetterFormat::kText,
        {
            {"ascii template gets cp1252", "#0000E #SC00A", Cp1252("Évry 5 000 €")},
            {"cp1252 template", Cp1252("Évry : #0000C1"), Cp1252("Évry : 12 rue de l'Œuvre")},
            {"utf-8 template gets utf-8", "Évry : #0000C1 #SC00A",
             "Évry : 12 rue de l'Œuvre 5 000 €"},
            {"markup is plain text here", "<b>#0000A</b> &#233;", "<b>DUPONT</b> &X;"},
        });
}

TEST(LetterMergeTest, RtfEscapesItsSpecialCharactersAndCp1252) {
  Check(LetterFormat::kRtf,
        {
            {"braces, backslash and accents", "{\\rtf1 #0000B}",
             "{\\rtf1 H\\'e9l\\'e8ne & Marc <SA> \\{n\\'b01\\} \"x\" 'y' \\\\z}"},
            {"euro and oe", "#SC00A #0000C1", "5 000 \\'80 12 rue de l'\\'8cuvre"},
            {"line breaks and tab", "#0000L1|#0000H1",
             "ligne 1\\line ligne 2\\line ligne 3|a\\tab bc"},
            {"after a control word", "\\par#0000A", "\\par DUPONT"},
            {"after a control word with a number", "\\fs24#40001", "\\fs24     1235"},
            {"after a negative number", "\\li-360#0000A", "\\li-360 DUPONT"},
            {"after an escaped backslash", "\\\\#0000A", "\\\\DUPONT"},
            {"after a control symbol", "\\~#0000A", "\\~DUPONT"},
            {"empty value adds nothing", "\\par#0000", "\\par"},
        });
}

TEST(LetterMergeTest, HtmlMergesOnlyTextAndEscapesValues) {
  Check(LetterFormat::kHtml,
        {
            {"special characters", "<p>#0000B</p>",
             "<p>H&#233;l&#232;ne &amp; Marc &lt;SA&gt; {n&#176;1} &quot;x&quot; &#39;y&#39; "
             "\\z</p>"},
            {"colour in a tag", "<p style=\"color:#FF0000\">#FF0000</p>",
             "<p style=\"color:#FF0000\">rouge</p>"},
            {"quoted > in a tag", "<a title='a>b #0000A'>#0000A</a>",
             "<a title='a>b #0000A'>DUPONT</a>"},
            {"character reference", "&#233; #233", "&#233; X"},
            {"style block", "<STYLE>p { color: #FF0000 }</style>#FF0000",
             "<STYLE>p { color: #FF0000 }</style>rouge"},
            {"script block", "<script>x='#0000A'</script>", "<script>x='#0000A'</script>"},
            {"comment", "<!-- #0000A --> #0000A", "<!-- #0000A --> DUPONT"},
            {"loose less-than", "a < b #0000A", "a < b DUPONT"},
            {"unclosed tag", "<p class=#0000A", "<p class=#0000A"},
            {"line breaks", "#0000L1", "ligne 1<br>ligne 2<br>ligne 3"},
            {"utf-8 template", "<p>Évry #0000E #SC00A #0000C1</p>",
             "<p>Évry Évry 5 000 € 12 rue de l&#39;Œuvre</p>"},
            {"ascii template", "#SC00A #0000C1", "5 000 &#8364; 12 rue de l&#39;&#338;uvre"},
        });
}

TEST(LetterMergeTest, FlatOdfStaysWellFormed) {
  Check(LetterFormat::kFlatOdf,
        {
            {"escaped text", "<text:p>#0000B</text:p>",
             "<text:p>H&#233;l&#232;ne &amp; Marc &lt;SA&gt; {n&#176;1} &quot;x&quot; "
             "&#39;y&#39; \\z</text:p>"},
            {"attributes untouched", "<style:text-properties fo:color=\"#FF0000\"/>#FF0000",
             "<style:text-properties fo:color=\"#FF0000\"/>rouge"},
            {"line breaks, tab, control character", "#0000L1|#0000H1",
             "ligne 1<text:line-break/>ligne 2<text:line-break/>ligne 3|a<text:tab/>bc"},
            {"cdata", "<![CDATA[#0000A]]>#0000A", "<![CDATA[#0000A]]>DUPONT"},
            {"utf-8 document", "<text:p>é #0000E</text:p>", "<text:p>é Évry</text:p>"},
        });
}

TEST(LetterMergeTest, HtmlAndTextLettersAreAlsoGatheredInAPdf) {
  EXPECT_TRUE(HasPdfCopy(LetterFormat::kHtml));
  EXPECT_TRUE(HasPdfCopy(LetterFormat::kText));
  EXPECT_FALSE(HasPdfCopy(LetterFormat::kRtf));
  EXPECT_FALSE(HasPdfCopy(LetterFormat::kFlatOdf));
}

// One template read once, merged for client after client.
TEST(LetterMergeTest, OneParsedTemplateMergesEveryClient) {
  const LetterMerge merge(
      LetterTemplate("<p style=\"color:#FF0000\">#0000A #0000B</p>", LetterFormat::kHtml));
  EXPECT_EQ(merge.Merge(Values()), "<p style=\"color:#FF0000\">DUPONT " +
                                       MergeLetter("#0000B", LetterFormat::kHtml, Values()) +
                                       "</p>");
  const LetterValues other = {{"0000A", "MARTIN"}};
  EXPECT_EQ(merge.Merge(other), "<p style=\"color:#FF0000\">MARTIN #0000B</p>");
}

TEST(LetterMergeTest, Utf8IsRecognisedOnlyWhenValidAndNotAscii) {
  const std::pair<std::string, bool> cases[] = {
      {"", false},
      {"Madame", false},
      {"Évry", true},
      {"5 €", true},
      {"\xE9vry", false},           // cp1252
      {"\xC3", false},              // cut short
      {"\xC0\xAF", false},          // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
      {"a\x80", false},             // stray continuation
      {"\xF0\x9F\x98\x80", true},
  };
  for (const auto& [bytes, utf8] : cases) EXPECT_EQ(IsUtf8WithNonAscii(bytes), utf8) << bytes;
}

}  // namespace
}  // namespace vz::project

namespace vz::project {
namespace {

// An empty address line alone on its line leaves the line out, in each format
// that has line breaks; a line that holds anything else stays.
TEST(LetterMergeTest, AnEmptyAddressLineLeavesItsLineOut) {
  const LetterValues values = {{"0000A", "DUPONT"},
                               {"0000C1", "12 rue Haute"},
                               {"0000C2", ""},
                               {"0000D", "75011"},
                               {"0000E", "PARIS"}};
  const struct {
    const char* name;
    LetterFormat format;
    std::string template_text;
    std::string merged;
  } cases[] = {
      {"text", LetterFormat::kText, "#0000A\n#0000C1\n#0000C2\n#0000D #0000E\n",
       "DUPONT\n12 rue Haute\n75011 PARIS\n"},
      {"text, CR LF and blanks", LetterFormat::kText, "#0000A\r\n  #0000C2  \r\n#0000D",
       "DUPONT\r\n75011"},
      {"text, not alone", LetterFormat::kText, "#0000A\nBP #0000C2\n#0000D", "DUPONT\nBP \n75011"},
      {"text, first line of the document", LetterFormat::kText, "#0000C2\n#0000D", "\n75011"},
      {"html", LetterFormat::kHtml, "<p>#0000A<br>#0000C1<br>\n#0000C2<BR/>#0000D #0000E</p>",
       "<p>DUPONT<br>12 rue Haute<br>75011 PARIS</p>"},
      {"html, a paragraph of its own stays", LetterFormat::kHtml, "<p>#0000C2</p><p>#0000D</p>",
       "<p></p><p>75011</p>"},
      {"rtf", LetterFormat::kRtf, "{\\rtf1 #0000A\\par #0000C2\\par 75 #0000D}",
       "{\\rtf1 DUPONT\\par 75 75011}"},
      {"rtf, \\pard is no break", LetterFormat::kRtf, "{\\rtf1 #0000A\\par #0000C2\\pard x}",
       "{\\rtf1 DUPONT\\par \\pard x}"},
      {"flat ODF keeps its paragraph", LetterFormat::kFlatOdf,
       "<text:p>#0000C2</text:p><text:p>#0000D</text:p>",
       "<text:p></text:p><text:p>75011</text:p>"},
      {"a filled line stays", LetterFormat::kText, "#0000C1\n#0000D", "12 rue Haute\n75011"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MergeLetter(c.template_text, c.format, values), c.merged) << c.name;
  }
}

}  // namespace
}  // namespace vz::project
