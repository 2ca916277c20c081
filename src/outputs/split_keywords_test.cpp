// Keywords that a word processor split across runs or spans are put back
// whole, the text of the paragraph reading the same; the template parser
// then finds them.
#include "src/outputs/split_keywords.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <vector>

namespace vz::outputs {
namespace {

constexpr char kWordHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document "
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
constexpr char kWordTail[] = "</w:body></w:document>";
constexpr char kOdfHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
    "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>";
constexpr char kOdfTail[] = "</office:text></office:body></office:document-content>";

std::vector<std::string> Keywords(const std::string& xml, LetterFormat format) {
  const LetterTemplate parsed(xml, format);
  std::vector<std::string> keywords;
  for (const TemplatePiece& piece : parsed.pieces()) {
    if (piece.keyword) keywords.emplace_back(parsed.Keyword(piece));
  }
  return keywords;
}

// The text content of the whole document, as a reader shows it.
std::string TextOf(const std::string& xml) {
  xmlDoc* document =
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "x.xml", nullptr, XML_PARSE_NONET);
  if (document == nullptr) return "(not XML)";
  xmlChar* text = xmlNodeGetContent(xmlDocGetRootElement(document));
  std::string result = reinterpret_cast<const char*>(text);
  xmlFree(text);
  xmlFreeDoc(document);
  return result;
}

struct SplitCase {
  const char* what;
  LetterFormat format;
  std::string body;
  std::vector<std::string> keywords;  // found after joining
};

TEST(SplitKeywords, JoinsKeywordsSplitAcrossRunsAndSpans) {
  const std::vector<SplitCase> cases = {
      {"docx, three runs",
       LetterFormat::kDocx,
       "<w:p><w:r><w:t>Cher #00</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>00</w:t></w:r>"
       "<w:r><w:t>A, bonjour</w:t></w:r></w:p>",
       {"0000A"}},
      {"docx, the # alone in its run",
       LetterFormat::kDocx,
       "<w:p><w:r><w:t>#</w:t></w:r><w:r><w:t>4000011</w:t></w:r><w:r><w:t> euros</w:t></w:r>"
       "</w:p>",
       {"4000011"}},
      {"docx, run properties and a proofing mark between",
       LetterFormat::kDocx,
       "<w:p><w:r><w:t>#SC0</w:t></w:r><w:proofErr w:type=\"spellStart\"/><w:r><w:rPr>"
       "<w:lang w:val=\"fr-FR\"/></w:rPr><w:t>0A</w:t></w:r><w:r><w:t>11</w:t></w:r></w:p>",
       {"SC00A11"}},
      {"docx, never across paragraphs",
       LetterFormat::kDocx,
       "<w:p><w:r><w:t>#00</w:t></w:r></w:p><w:p><w:r><w:t>00A</w:t></w:r></w:p>",
       {"00"}},
      {"docx, too long stays text",
       LetterFormat::kDocx,
       "<w:p><w:r><w:t>#0000</w:t></w:r><w:r><w:t>AB12</w:t></w:r></w:p>",
       {}},
      {"docx, two keywords in a row",
       LetterFormat::kDocx,
       "<w:p><w:r><w:t>#0000</w:t></w:r><w:r><w:t>M #00</w:t></w:r><w:r><w:t>00A</w:t></w:r>"
       "</w:p>",
       {"0000M", "0000A"}},
      {"odt, spans",
       LetterFormat::kOdt,
       "<text:p>Total : <text:span>#4000</text:span><text:span>01</text:span>2 euros</text:p>",
       {"4000012"}},
      {"odt, nested span and heading",
       LetterFormat::kOdt,
       "<text:h>#00<text:span><text:span>00</text:span></text:span>E</text:h>",
       {"0000E"}},
      {"flat odt, span then paragraph text",
       LetterFormat::kFlatOdf,
       "<text:p><text:span>#0000</text:span>I1.</text:p>",
       {"0000I1"}},
  };
  for (const SplitCase& c : cases) {
    const bool word = c.format == LetterFormat::kDocx;
    const std::string xml = (word ? kWordHead : kOdfHead) + c.body + (word ? kWordTail : kOdfTail);
    const std::optional<std::string> joined = JoinSplitKeywords(xml, c.format);
    ASSERT_TRUE(joined) << c.what;
    EXPECT_EQ(Keywords(*joined, c.format), c.keywords) << c.what;
    EXPECT_EQ(TextOf(*joined), TextOf(xml)) << c.what;
  }
}

TEST(SplitKeywords, WordTextWithAKeywordKeepsItsBlanks) {
  const std::string xml =
      std::string(kWordHead) +
      "<w:p><w:r><w:t>#0000M</w:t></w:r><w:r><w:t xml:space=\"preserve\"> Texte</w:t></w:r></w:p>" +
      kWordTail;
  const std::string joined = *JoinSplitKeywords(xml, LetterFormat::kDocx);
  EXPECT_NE(joined.find("<w:t xml:space=\"preserve\">#0000M</w:t>"), std::string::npos) << joined;
  EXPECT_NE(joined.find("> Texte</w:t>"), std::string::npos) << joined;
}

TEST(SplitKeywords, BadXmlAndEntitiesAreRefusedOrLeftAlone) {
  EXPECT_FALSE(JoinSplitKeywords("<w:document><w:p>", LetterFormat::kDocx));
  EXPECT_FALSE(JoinSplitKeywords("", LetterFormat::kOdt));
  // An external entity is never fetched nor expanded.
  const std::string xml =
      "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
      "<d>&x;</d>";
  const std::optional<std::string> joined = JoinSplitKeywords(xml, LetterFormat::kOdt);
  ASSERT_TRUE(joined);
  EXPECT_EQ(joined->find("root:"), std::string::npos);
}

TEST(SplitKeywords, TemplateTextOfOtherFormatsIsTheBytes) {
  EXPECT_EQ(TemplateText("{\\rtf1 #0000A}", LetterFormat::kRtf), "{\\rtf1 #0000A}");
  EXPECT_FALSE(TemplateText("not a zip", LetterFormat::kDocx));
}

}  // namespace
}  // namespace vz::outputs
