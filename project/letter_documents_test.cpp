// The merged documents opened again as a reader would: the RTF read back to
// its text, the flat ODF parsed as XML, the HTML laid out by a text engine,
// and the PDF of the letters counted page by page. Every cp1252 character of
// the values must come back as written.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QString>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/os/ascii_case.h"
#include "platform/os/cp1252.h"
#include "platform/runtime/runtime_test_files.h"
#include "project/gui_application.h"
#include "project/letter_merge.h"
#include "project/letter_pdf.h"
#include "src/outputs/letter_template.h"
#include "tests/support/file_bytes.h"

// The system's font configuration library keeps a cache for the whole
// process, which the leak checker would otherwise report.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using os::Cp1252;
using vz::testing::FileBytes;

std::string SampleTemplate(std::string_view name) {
  return FileBytes(fs::path(VZ_PROJECT_DIR) / "templates" / std::string(name));
}

// A client whose values hold everything a format must escape.
LetterValues AwkwardClient() {
  return {
      {"0000M", "Madame"},
      {"0000B", Cp1252("Hélène")},
      {"0000A", Cp1252("L'ŒUVRE & {FILS} <SA> \\ \"A\"")},
      {"0000C1", Cp1252("12 rue de l'Été")},
      {"0000C2", ""},
      {"0000D", "91000"},
      {"0000E", Cp1252("ÉVRY")},
      {"0000J", Cp1252("Mariée")},
      {"0000L1", Cp1252("Ingénieur")},
      {"4000011", "   45210"},
      {"0500011", "    1200"},
      {"0400011", "        "},
      {"5400011", "  150000"},
      {"SC00A11", "  850000"},
  };
}

// The text of an RTF document, in cp1252: destinations that are not text
// (font table, information, "\*" groups) are skipped.
std::string RtfText(std::string_view rtf) {
  std::string text;
  int depth = 0;
  int skip_below = -1;  // depth at which a skipped group started
  for (size_t i = 0; i < rtf.size();) {
    const char c = rtf[i];
    if (c == '{') {
      ++depth;
      ++i;
      if (skip_below < 0 && (rtf.compare(i, 8, "\\fonttbl") == 0 ||
                             rtf.compare(i, 5, "\\info") == 0 || rtf.compare(i, 2, "\\*") == 0))
        skip_below = depth;
      continue;
    }
    if (c == '}') {
      if (depth == skip_below) skip_below = -1;
      --depth;
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    const bool keep = skip_below < 0;
    if (c != '\\') {
      if (keep) text.push_back(c);
      ++i;
      continue;
    }
    const char next = i + 1 < rtf.size() ? rtf[i + 1] : '\0';
    if (next == '\\' || next == '{' || next == '}') {
      if (keep) text.push_back(next);
      i += 2;
    } else if (next == '\'') {
      if (keep)
        text.push_back(
            static_cast<char>(std::stoi(std::string(rtf.substr(i + 2, 2)), nullptr, 16)));
      i += 4;
    } else if (os::IsAsciiLetter(next)) {
      size_t end = i + 1;
      while (end < rtf.size() && os::IsAsciiLetter(rtf[end])) ++end;
      const std::string word(rtf.substr(i + 1, end - i - 1));
      if (end < rtf.size() && rtf[end] == '-') ++end;
      while (end < rtf.size() && os::IsAsciiDigit(rtf[end])) ++end;
      if (end < rtf.size() && rtf[end] == ' ') ++end;
      if (keep && (word == "par" || word == "line")) text.push_back('\n');
      if (keep && word == "tab") text.push_back('\t');
      i = end;
    } else {
      i += 2;
    }
  }
  EXPECT_EQ(depth, 0) << "unbalanced braces";
  return text;
}

TEST(LetterDocumentsTest, RtfReadsBackToTheValues) {
  const std::string merged =
      MergeLetter(SampleTemplate("INVITATION.RTF"), LetterFormat::kRtf, AwkwardClient());
  const std::string text = RtfText(merged);
  EXPECT_NE(text.find(Cp1252("Madame Hélène L'ŒUVRE & {FILS} <SA> \\ \"A\"\n12 rue de l'Été\n\n"
                             "91000 ÉVRY")),
            std::string::npos)
      << os::Utf8(text);
  EXPECT_NE(text.find(Cp1252("estimé à   850000 €")), std::string::npos) << os::Utf8(text);
  EXPECT_NE(text.find(Cp1252("d'agréer, Madame, l'expression")), std::string::npos);
  EXPECT_EQ(text.find('#'), std::string::npos) << "a field was left in the letter";
  // Nothing but ASCII in the file: every other character is escaped.
  for (char c : merged) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

TEST(LetterDocumentsTest, FlatOdfIsWellFormedAndHoldsTheValues) {
  const std::string document =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
      "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
      "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.3\" "
      "office:mimetype=\"application/vnd.oasis.opendocument.text\">"
      "<office:styles><style:style style:name=\"P1\" style:family=\"paragraph\">"
      "<style:text-properties fo:color=\"#400011\"/></style:style></office:styles>"
      "<office:body><office:text>"
      "<text:p>#0000M #0000B #0000A</text:p><text:p>#0000C1</text:p>"
      "<text:p>#0000D #0000E — revenus : #4000011 €</text:p>"
      "</office:text></office:body></office:document>\n";
  const std::string merged = MergeLetter(document, LetterFormat::kFlatOdf, AwkwardClient());
  QXmlStreamReader reader(QByteArray::fromStdString(merged));
  QStringList paragraphs;
  QString colour;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement() && reader.name() == QStringLiteral("p"))
      paragraphs << reader.readElementText(QXmlStreamReader::IncludeChildElements);
    if (reader.isStartElement() && reader.name() == QStringLiteral("text-properties"))
      colour = reader.attributes().value(QStringLiteral("fo:color")).toString();
  }
  ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  EXPECT_EQ(paragraphs,
            QStringList({QString::fromUtf8("Madame Hélène L'ŒUVRE & {FILS} <SA> \\ \"A\""),
                         QString::fromUtf8("12 rue de l'Été"),
                         QString::fromUtf8("91000 ÉVRY — revenus :    45210 €")}));
  EXPECT_EQ(colour, QStringLiteral("#400011"));
}

TEST(LetterDocumentsTest, HtmlShowsTheValuesAndKeepsItsStyles) {
  ASSERT_TRUE(EnsureGuiApplication());
  const std::string merged =
      MergeLetter(SampleTemplate("BILAN.HTM"), LetterFormat::kHtml, AwkwardClient());
  EXPECT_NE(merged.find("L&#39;ŒUVRE &amp; {FILS} &lt;SA&gt; \\ &quot;A&quot;"), std::string::npos);
  QTextDocument document;
  document.setHtml(QString::fromStdString(merged));
  const QString text = document.toPlainText();
  for (const char* expected :
       {"Madame Hélène L'ŒUVRE & {FILS} <SA> \\ \"A\"", "91000 ÉVRY", "(Mariée)", "(Ingénieur)",
        "45210 €", "150000 €", "Comme chaque année"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
  }
  EXPECT_FALSE(text.contains('#'));
}

TEST(LetterDocumentsTest, TextInUtf8StaysUtf8) {
  const std::string merged =
      MergeLetter(SampleTemplate("RELANCE.TXT"), LetterFormat::kText, AwkwardClient());
  EXPECT_TRUE(IsUtf8WithNonAscii(merged));
  // The empty second address line is left out of the address block.
  EXPECT_NE(
      merged.find("Madame Hélène L'ŒUVRE & {FILS} <SA> \\ \"A\"\n12 rue de l'Été\n91000 ÉVRY"),
      std::string::npos);
  EXPECT_NE(merged.find("s'élevant à    45210 €"), std::string::npos);
}

// Every printable cp1252 character, read back from each format.
TEST(LetterDocumentsTest, EveryCp1252CharacterComesBackInEveryFormat) {
  ASSERT_TRUE(EnsureGuiApplication());
  std::string all;
  for (int byte = 0x21; byte <= 0xFF; ++byte) {
    // Not characters (unassigned in the code page), or shown as something
    // else by a text layout (no-break space, soft hyphen).
    if (byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
        byte == 0x9D || byte == 0xA0 || byte == 0xAD)
      continue;
    all.push_back(static_cast<char>(byte));
  }
  const LetterValues values = {{"TOUT", all}};
  const QString expected = QString::fromStdString(os::Utf8(all));

  EXPECT_EQ(RtfText(MergeLetter("{\\rtf1\\ansi #TOUT}", LetterFormat::kRtf, values)), all);

  for (const char* page : {"<p>#TOUT</p>", "<p>é #TOUT</p>"}) {
    QTextDocument document;
    document.setHtml(QString::fromStdString(MergeLetter(page, LetterFormat::kHtml, values)));
    EXPECT_TRUE(document.toPlainText().endsWith(expected)) << page;
  }

  for (const char* body : {"<t>#TOUT</t>", "<t>é#TOUT</t>"}) {
    const std::string xml = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>") +
                            MergeLetter(body, LetterFormat::kFlatOdf, values);
    QXmlStreamReader reader(QByteArray::fromStdString(xml));
    reader.readNextStartElement();
    const QString text = reader.readElementText();
    ASSERT_FALSE(reader.hasError()) << body << ": " << reader.errorString().toStdString();
    EXPECT_TRUE(text.endsWith(expected)) << body;
  }

  EXPECT_EQ(MergeLetter("#TOUT", LetterFormat::kText, values), all);
  EXPECT_EQ(MergeLetter("é#TOUT", LetterFormat::kText, values), "é" + os::Utf8(all));
}

// Page objects of a PDF, the page tree's own "/Type /Pages" not counted.
int PdfPageCount(const std::string& pdf) {
  int pages = 0;
  for (size_t at = pdf.find("/Type /Page"); at != std::string::npos;
       at = pdf.find("/Type /Page", at + 1)) {
    if (at + 11 >= pdf.size() || pdf[at + 11] != 's') ++pages;
  }
  return pages;
}

TEST(LetterDocumentsTest, PdfGivesEachLetterItsOwnPages) {
  runtime::TempDir dir;
  const fs::path path = dir.path() / "lettres.pdf";
  QString long_letter;
  for (int i = 0; i < 150; ++i)
    long_letter +=
        QString::fromUtf8("<p>Paragraphe %1 : épargne, placements et prévoyance.</p>").arg(i);
  LetterPdf pdf;
  ASSERT_TRUE(pdf.Open(path, QStringLiteral("Lettres")));
  ASSERT_TRUE(pdf.AddLetter(QString::fromUtf8("<p>Madame Hélène, 5 000 €</p>"), true, dir.path()));
  ASSERT_TRUE(
      pdf.AddLetter(QString::fromUtf8("Lettre en texte\nsur deux lignes"), false, dir.path()));
  EXPECT_EQ(pdf.page_count(), 2);
  ASSERT_TRUE(pdf.AddLetter(long_letter, true, dir.path()));
  const int after_long = pdf.page_count();
  EXPECT_GT(after_long, 3) << "a long letter takes several pages";
  ASSERT_TRUE(pdf.AddLetter(QStringLiteral("<p>Fin</p>"), true, dir.path()));
  pdf.Finish();
  EXPECT_FALSE(pdf.AddLetter(QStringLiteral("<p>trop tard</p>"), true, dir.path()));
  const std::string bytes = FileBytes(path);
  ASSERT_EQ(bytes.rfind("%PDF-", 0), 0u);
  EXPECT_NE(bytes.find("%%EOF"), std::string::npos);
  EXPECT_EQ(PdfPageCount(bytes), after_long + 1);
}

// Tables nested in each other cost a layout time that doubles with each
// level: past the limit a letter is refused at once, never laid out; at the
// limit it is laid out quickly.
QString NestedTables(size_t depth) {
  QString html;
  for (size_t i = 0; i < depth; ++i) html += QStringLiteral("<table><tr><td>");
  html += QStringLiteral("Madame");
  for (size_t i = 0; i < depth; ++i) html += QStringLiteral("</td></tr></table>");
  return html;
}

TEST(LetterDocumentsTest, NestedTablesBeyondTheLimitAreRefusedAtOnce) {
  runtime::TempDir dir;
  LetterPdf pdf;
  ASSERT_TRUE(pdf.Open(dir.path() / "lettres.pdf", QStringLiteral("Lettres")));
  struct Case {
    size_t depth;
    bool laid_out;
  };
  for (const Case& c : {Case{20, false}, Case{40, false}, Case{outputs::kMaxTableNesting, true},
                        Case{outputs::kMaxTableNesting + 1, false}}) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(pdf.AddLetter(NestedTables(c.depth), true, dir.path()), c.laid_out) << c.depth;
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(seconds.count(), c.laid_out ? 5.0 : 0.5) << c.depth << " levels";
  }
  EXPECT_EQ(pdf.page_count(), 1);
  EXPECT_TRUE(pdf.Finish());
}

TEST(LetterDocumentsTest, PdfThatCannotBeWrittenIsRefused) {
  runtime::TempDir dir;
  LetterPdf pdf;
  EXPECT_FALSE(pdf.Open(dir.path() / "absent" / "lettres.pdf", QStringLiteral("x")));
  EXPECT_FALSE(pdf.is_open());
  EXPECT_FALSE(pdf.AddLetter(QStringLiteral("<p>x</p>"), true, dir.path()));
}

// The letters folder lies under the data directory, whose name comes from the
// parameter file as cp1252 bytes: the PDF is written under those very bytes,
// whole, with no temporary file left beside it.
TEST(LetterDocumentsTest, PdfIsWrittenUnderTheFolderNameBytes) {
  struct Case {
    const char* what;
    std::string folder;
  };
  const Case cases[] = {
      {"plain", "LETTRES"},
      {"cp1252 accents, not UTF-8", Cp1252("Données clients é")},
      {"UTF-8 accents",
       "Donn\xC3\xA9"
       "es"},
  };
  for (const Case& c : cases) {
    runtime::TempDir dir;
    const fs::path folder = dir.path() / c.folder;
    ASSERT_TRUE(fs::create_directory(folder)) << c.what;
    const fs::path path = folder / "lettres.pdf";
    {
      std::ofstream previous(path, std::ios::binary);
      previous << "previous PDF";
    }
    LetterPdf pdf;
    ASSERT_TRUE(pdf.Open(path, QStringLiteral("Lettres"))) << c.what;
    ASSERT_TRUE(pdf.AddLetter(QStringLiteral("<p>Madame</p>"), true, dir.path())) << c.what;
    ASSERT_TRUE(pdf.AddLetter(QStringLiteral("Monsieur"), false, dir.path())) << c.what;
    EXPECT_TRUE(pdf.Finish()) << c.what;
    const std::string bytes = FileBytes(path);
    EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u) << c.what;
    EXPECT_EQ(PdfPageCount(bytes), 2) << c.what;
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"lettres.pdf"}) << c.what;
  }
}

// A folder that disappears while the letters are merged: the PDF cannot be
// written, which Finish() says, and nothing is left half-written.
TEST(LetterDocumentsTest, PdfWhoseFolderWentAwayReportsTheFailure) {
  runtime::TempDir dir;
  const fs::path folder = dir.path() / "LETTRES";
  ASSERT_TRUE(fs::create_directory(folder));
  LetterPdf pdf;
  ASSERT_TRUE(pdf.Open(folder / "lettres.pdf", QStringLiteral("Lettres")));
  ASSERT_TRUE(pdf.AddLetter(QStringLiteral("<p>x</p>"), true, dir.path()));
  fs::remove_all(folder);
  EXPECT_FALSE(pdf.Finish());
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(pdf.Finish()) << "nothing left to write";
}

// A small PNG picture, as an adviser's logo would be.
std::string LogoPng() {
  EXPECT_TRUE(EnsureGuiApplication());
  QImage image(40, 20, QImage::Format_RGB32);
  image.fill(Qt::darkBlue);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

int PdfImageCount(const std::string& pdf) {
  int images = 0;
  for (size_t at = pdf.find("/Subtype /Image"); at != std::string::npos;
       at = pdf.find("/Subtype /Image", at + 1)) {
    ++images;
  }
  return images;
}

// Images named by an HTML letter are found in the data directory whatever
// the directory and the image are called: plain, with cp1252 accents (how
// the parameter file names them), with UTF-8 accents. A missing image leaves
// the letter without it, never without the letter.
TEST(LetterDocumentsTest, PdfShowsTheImagesOfTheDataDirectory) {
  const std::string logo = LogoPng();
  ASSERT_FALSE(logo.empty());
  struct Case {
    const char* what;
    std::string folder;      // the data directory's name on disk
    std::string image_file;  // the image's name on disk
    std::string src;         // how the letter names it (UTF-8 text)
    int images;
  };
  const Case cases[] = {
      {"plain", "DONNEES", "logo.png", "logo.png", 1},
      {"cp1252 directory", Cp1252("Données é"), "logo.png", "logo.png", 1},
      {"cp1252 image name", "DONNEES", Cp1252("logo été.png"), "logo été.png", 1},
      {"UTF-8 directory and name",
       "Donn\xC3\xA9"
       "es",
       "\xC3\xA9t\xC3\xA9.png", "été.png", 1},
      {"in a sub-folder", "DONNEES", "images/logo.png", "images/logo.png", 1},
      {"missing image", "DONNEES", "logo.png", "absent.png", 0},
      {"not a picture", "DONNEES", "logo.png", "lettre.txt", 0},
  };
  for (const Case& c : cases) {
    runtime::TempDir dir;
    const fs::path folder = dir.path() / c.folder;
    const fs::path image = folder / c.image_file;
    ASSERT_TRUE(fs::create_directories(image.parent_path())) << c.what;
    {
      std::ofstream out(image, std::ios::binary);
      out << logo;
      std::ofstream text(folder / "lettre.txt", std::ios::binary);
      text << "pas une image";
    }
    LetterPdf pdf;
    ASSERT_TRUE(pdf.Open(folder / "lettres.pdf", QStringLiteral("Lettres"))) << c.what;
    const QString html = QString::fromStdString("<p>Madame,</p><p><img src=\"" + c.src + "\"></p>");
    ASSERT_TRUE(pdf.AddLetter(html, true, folder.string())) << c.what;
    ASSERT_TRUE(pdf.Finish()) << c.what;
    const std::string bytes = FileBytes(folder / "lettres.pdf");
    EXPECT_EQ(PdfPageCount(bytes), 1) << c.what;
    EXPECT_EQ(PdfImageCount(bytes), c.images) << c.what;
  }
}

}  // namespace
}  // namespace vz::project
