// The gathered document of a pass: the head once, every letter's body, a
// page break between two letters (never before the first nor after the
// last), the tail once; the result stays a document of its format.
#include "src/outputs/gathered_document.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;

size_t Count(std::string_view text, std::string_view what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

bool IsXml(const std::string& xml) {
  xmlDoc* document = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "x.xml", nullptr,
                                   XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (document == nullptr) return false;
  xmlFreeDoc(document);
  return true;
}

// RTF braces balanced, the document group closing at the very end.
bool BalancedRtf(std::string_view rtf) {
  int depth = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
    } else if (rtf[i] == '{') {
      ++depth;
    } else if (rtf[i] == '}' && --depth == 0 && i + 1 < rtf.find_last_not_of("\r\n ") + 1) {
      return false;
    }
  }
  return depth == 0;
}

struct Letter {
  LetterFormat format;
  std::string head;
  std::string tail;
  std::string head_mark;  // found once in the gathered document
  std::string tail_mark;
};

std::string Gather(const Letter& letter, int count) {
  const fs::path path =
      fs::temp_directory_path() / ("vz_gathered_" + std::to_string(::getpid()) + ".out");
  GatheredDocument document(path.string(), letter.format);
  for (int i = 1; i <= count; ++i) {
    EXPECT_TRUE(document.Add(letter.head + "LETTRE" + std::to_string(i) + " \\{" + letter.tail));
  }
  EXPECT_TRUE(document.Finish());
  std::ifstream in(path, std::ios::binary);
  std::string gathered((std::istreambuf_iterator<char>(in)), {});
  fs::remove(path);
  return gathered;
}

TEST(GatheredDocument, EveryLetterOnceWithAPageBreakBetweenTwo) {
  const std::vector<Letter> letters = {
      {LetterFormat::kRtf,
       "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0"
       "\\blue0;}{\\*\\generator X;}\\paperw11906\\pard\\plain\\f0 ",
       "\\par}\r\n", "\\fonttbl", "\\par}"},
      {LetterFormat::kOdt,
       "<?xml version=\"1.0\"?><office:document-content "
       "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
       "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
       "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
       "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:automatic-styles>"
       "<style:style style:name=\"P1\" style:family=\"paragraph\"/></office:automatic-styles>"
       "<office:body><office:text><text:sequence-decls><text:sequence-decl "
       "text:name=\"Figure\"/></text:sequence-decls><text:p text:style-name=\"P1\">",
       "</text:p></office:text></office:body></office:document-content>", "<text:sequence-decls>",
       "</office:body>"},
      {LetterFormat::kFlatOdf,
       "<?xml version=\"1.0\"?><office:document "
       "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
       "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
       "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
       "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:automatic-styles/>"
       "<office:body><office:text><text:p>",
       "</text:p></office:text></office:body></office:document>", "<office:body>",
       "</office:document>"},
      {LetterFormat::kDocx,
       "<?xml version=\"1.0\"?><w:document "
       "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p>"
       "<w:pPr><w:sectPr><w:cols/></w:sectPr></w:pPr><w:r><w:t>",
       "</w:t></w:r></w:p><w:sectPr><w:pgSz w:w=\"11906\"/></w:sectPr></w:body></w:document>",
       "<w:body>", "<w:pgSz"},
  };
  for (const Letter& letter : letters) {
    const std::string gathered = Gather(letter, 3);
    const std::string_view page_break = PageBreak(letter.format);
    EXPECT_EQ(Count(gathered, page_break), 2u) << gathered;
    for (const std::string_view mark :
         {std::string_view(letter.head_mark), std::string_view(letter.tail_mark)}) {
      EXPECT_EQ(Count(gathered, mark), 1u) << mark << " in " << gathered;
    }
    const size_t first = gathered.find("LETTRE1");
    const size_t second = gathered.find("LETTRE2");
    const size_t third = gathered.find("LETTRE3");
    ASSERT_NE(third, std::string::npos) << gathered;
    EXPECT_LT(first, gathered.find(page_break));
    EXPECT_LT(gathered.find(page_break), second);
    EXPECT_LT(gathered.rfind(page_break), third);
    if (letter.format == LetterFormat::kRtf) {
      EXPECT_TRUE(BalancedRtf(gathered)) << gathered;
      EXPECT_EQ(Count(gathered, "{\\rtf1"), 1u);
    } else {
      EXPECT_TRUE(IsXml(gathered)) << gathered;
      if (letter.format != LetterFormat::kDocx) {
        EXPECT_EQ(Count(gathered, "style:name=\"LettresSautDePage\""), 1u) << gathered;
      }
    }
    // One letter: no break at all.
    EXPECT_EQ(Count(Gather(letter, 1), page_break), 0u);
  }
}

TEST(GatheredDocument, ALetterWithoutBodyStopsTheDocumentNotTheCaller) {
  const fs::path path =
      fs::temp_directory_path() / ("vz_gathered_cut_" + std::to_string(::getpid()));
  GatheredDocument document(path.string(), LetterFormat::kDocx);
  EXPECT_FALSE(document.Add("<w:document/>"));
  EXPECT_TRUE(document.cut_failed());
  EXPECT_FALSE(document.write_failed());
  EXPECT_TRUE(document.Finish());
  fs::remove(path);
  GatheredDocument unwritable("/nonexistent-folder/lettres.rtf", LetterFormat::kRtf);
  EXPECT_FALSE(unwritable.Add("{\\rtf1 texte}"));
  EXPECT_TRUE(unwritable.write_failed());
  EXPECT_FALSE(HasGatheredDocument(LetterFormat::kHtml));
  EXPECT_FALSE(FindBody("no rtf here", LetterFormat::kRtf));
}

// The values of the attribute `id` of every wp:docPr element, in document order.
void CollectDrawingIds(xmlNode* node, std::vector<std::string>* ids) {
  for (; node != nullptr; node = node->next) {
    if (node->type == XML_ELEMENT_NODE && node->ns != nullptr &&
        xmlStrcmp(node->name, BAD_CAST "docPr") == 0 &&
        xmlStrcmp(node->ns->prefix, BAD_CAST "wp") == 0) {
      xmlChar* id = xmlGetProp(node, BAD_CAST "id");
      ids->push_back(id == nullptr ? std::string() : reinterpret_cast<const char*>(id));
      xmlFree(id);
    }
    CollectDrawingIds(node->children, ids);
  }
}

// Word refuses a document whose drawings share an id: read back, the
// gathered document has each letter's pictures under ids of their own, the
// first letter's as they were.
TEST(GatheredDocument, EveryDrawingOfAWordDocumentKeepsAnIdOfItsOwn) {
  const std::string head =
      "<?xml version=\"1.0\"?><w:document "
      "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
      "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\">"
      "<w:body>";
  const std::string body =
      "<w:p><w:r><w:drawing><wp:inline><wp:docPr id=\"1\" name=\"Logo\"/></wp:inline>"
      "</w:drawing></w:r></w:p><w:p><w:r><w:drawing><wp:anchor><wp:docPr name=\"Signature\" "
      "descr='voir id=\"3\"' id=\"7\"><wp:docPrX id=\"1\"/></wp:docPr></wp:anchor></w:drawing>"
      "<w:t>LETTRE</w:t></w:r></w:p>";
  const std::string tail = "<w:sectPr/></w:body></w:document>";
  const fs::path path =
      fs::temp_directory_path() / ("vz_gathered_drawings_" + std::to_string(::getpid()));
  GatheredDocument document(path.string(), LetterFormat::kDocx);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(document.Add(head + body + tail));
  ASSERT_TRUE(document.Finish());
  std::ifstream in(path, std::ios::binary);
  const std::string gathered((std::istreambuf_iterator<char>(in)), {});
  fs::remove(path);
  xmlDoc* xml = xmlReadMemory(gathered.data(), static_cast<int>(gathered.size()), "d.xml", nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  ASSERT_NE(xml, nullptr) << gathered;
  std::vector<std::string> ids;
  CollectDrawingIds(xmlDocGetRootElement(xml), &ids);
  xmlFreeDoc(xml);
  EXPECT_EQ(ids, (std::vector<std::string>{"1", "7", "8", "9", "10", "11"}));
  EXPECT_EQ(Count(gathered, "<wp:docPrX id=\"1\"/>"), 3u) << "another element keeps its id";
  EXPECT_EQ(Count(gathered, "descr='voir id=\"3\"'"), 3u) << "an attribute's text is kept";
}

}  // namespace
}  // namespace vz::outputs
