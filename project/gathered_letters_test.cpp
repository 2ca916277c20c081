// A pass of RTF, OpenDocument and Word letters read back as a reader would:
// each letter, and the one document that gathers them, page breaks between
// two letters, every printable cp1252 character intact, the end message
// naming the document; LibreOffice, where found on the PATH, makes its PDF.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QString>
#include <QXmlStreamReader>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "platform/runtime/runtime_test_files.h"
#include "project/letter_merge.h"
#include "project/letter_pass.h"
#include "src/outputs/letter_package.h"
#include "src/outputs/split_keywords.h"
#include "tests/support/file_bytes.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using os::Cp1252;
using vz::testing::FileBytes;

std::string Sample(std::string_view name) {
  return FileBytes(fs::path(VZ_PROJECT_DIR) / "templates" / std::string(name));
}

size_t Count(std::string_view text, std::string_view what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

// Every printable cp1252 character (no-break space and soft hyphen included).
std::string AllPrintable() {
  std::string all;
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    if (byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
        byte == 0x9D) {
      continue;
    }
    all.push_back(static_cast<char>(byte));
  }
  return all;
}

// The text of an XML document (UTF-8) as a reader gets it: the text of its
// elements in order; "(error)" when it does not parse.
std::string XmlText(const std::string& xml) {
  QXmlStreamReader reader(QByteArray::fromStdString(xml));
  QString text;
  while (!reader.atEnd()) {
    if (reader.readNext() == QXmlStreamReader::Characters) text += reader.text();
  }
  return reader.hasError() ? "(error: " + reader.errorString().toStdString() + ")"
                           : text.toStdString();
}

// A flat ODF letter template: the sample .odt's content as one file.
std::string FlatOdfTemplate() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document "
         "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
         "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
         "office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body>"
         "<office:text><text:p>#0000M #0000A</text:p><text:p>#0000D</text:p></office:text>"
         "</office:body></office:document>";
}

struct FormatCase {
  LetterFormat format;
  std::string template_name;  // the file the pass is named after
  std::string template_bytes;
  std::string page_break;  // as found in the gathered main part
};

std::vector<FormatCase> Formats() {
  return {
      {LetterFormat::kRtf, "INVITATION.RTF", Sample("INVITATION.RTF"), "\\page"},
      {LetterFormat::kFlatOdf, "NOTE.fodt", FlatOdfTemplate(), "LettresSautDePage\"/>"},
      {LetterFormat::kOdt, "PATRIMOINE.ODT", Sample("PATRIMOINE.ODT"), "LettresSautDePage\"/>"},
      {LetterFormat::kDocx, "ENTRETIEN.DOCX", Sample("ENTRETIEN.DOCX"), "w:type=\"page\""},
  };
}

// The main part of a letter or gathered document of the format.
std::string MainPart(const std::string& file, LetterFormat format) {
  if (!outputs::IsPackageFormat(format)) return file;
  return outputs::ReadPackagePart(file, outputs::MainPartName(format)).value_or("(no part)");
}

// The RTF's text, cp1252: "\'xx" decoded, control words dropped.
std::string RtfText(std::string_view rtf) {
  std::string text;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] != '\\') {
      if (rtf[i] != '{' && rtf[i] != '}' && rtf[i] != '\r' && rtf[i] != '\n') text += rtf[i];
      continue;
    }
    const char next = i + 1 < rtf.size() ? rtf[i + 1] : '\0';
    if (next == '\'') {
      text += static_cast<char>(std::stoi(std::string(rtf.substr(i + 2, 2)), nullptr, 16));
      i += 3;
    } else if (next == '\\' || next == '{' || next == '}') {
      text += next;
      ++i;
    } else {
      size_t end = i + 1;
      while (end < rtf.size() &&
             (isalnum(static_cast<unsigned char>(rtf[end])) != 0 || rtf[end] == '-')) {
        ++end;
      }
      if (end < rtf.size() && rtf[end] == ' ') ++end;
      i = end - 1;
    }
  }
  return text;
}

// The document's text as the adviser reads it, UTF-8.
std::string ReadableText(const std::string& main_part, LetterFormat format) {
  return format == LetterFormat::kRtf ? os::Utf8(RtfText(main_part)) : XmlText(main_part);
}

class GatheredLettersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // No LibreOffice unless a test puts one on the PATH.
    const char* path = getenv("PATH");
    saved_path_ = path == nullptr ? "" : path;
    setenv("PATH", (dir_.path() / "bin").c_str(), 1);
    fs::create_directories(dir_.path() / "bin");
  }
  void TearDown() override { setenv("PATH", saved_path_.c_str(), 1); }

  // A pass of three letters of the format; the names carry every character.
  LetterPassOutcome Pass(const FormatCase& c, const fs::path& folder) {
    std::optional<std::string> text = outputs::TemplateText(c.template_bytes, c.format);
    EXPECT_TRUE(text) << c.template_name;
    const LetterMerge merge(LetterTemplate(text.value_or(""), c.format));
    LetterPass pass(folder, c.format, c.template_name.substr(c.template_name.rfind('.') + 1), 3,
                    outputs::IsPackageFormat(c.format) ? c.template_bytes : std::string());
    for (int i = 1; i <= 3; ++i) {
      pass.Add(i, "CLI" + std::to_string(i),
               merge.Merge({{"0000M", "Madame"},
                            {"0000A", "NOM" + std::to_string(i) + " " + AllPrintable()},
                            {"0000D", "9100" + std::to_string(i)}}),
               folder.string());
    }
    return pass.Finish();
  }

  runtime::TempDir dir_;
  std::string saved_path_;
};

TEST_F(GatheredLettersTest, EveryFormatGathersItsLettersWithPageBreaksAndEveryCharacter) {
  const std::string all = os::Utf8(AllPrintable());
  for (const FormatCase& c : Formats()) {
    SCOPED_TRACE(c.template_name);
    const fs::path folder = dir_.path() / "LETTRES" / c.template_name;
    const LetterPassOutcome outcome = Pass(c, folder);
    const std::string document = GatheredName(c.format);
    EXPECT_EQ(outcome.kind, runtime::MessageKind::kInfo);
    EXPECT_EQ(os::Utf8(outcome.text), "3 lettres écrites. Le document à imprimer : " +
                                          (fs::absolute(folder) / document).string() +
                                          ". LibreOffice n'est pas installé : le PDF du "
                                          "document n'a pas été fait.");
    const std::string extension = c.template_name.substr(c.template_name.rfind('.') + 1);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"0001-CLI1." + extension, "0002-CLI2." + extension,
                                               "0003-CLI3." + extension, document}));
    // Each letter: its own client, every character.
    for (int i = 1; i <= 3; ++i) {
      const std::string letter = FileBytes(folder / names[static_cast<size_t>(i - 1)]);
      const std::string text = ReadableText(MainPart(letter, c.format), c.format);
      EXPECT_NE(text.find("NOM" + std::to_string(i) + " " + all), std::string::npos) << text;
    }
    // The gathered document: the three letters in order, a break between two.
    const std::string gathered = FileBytes(folder / document);
    const std::string main = MainPart(gathered, c.format);
    EXPECT_EQ(Count(main, c.page_break), 2u) << main;
    const std::string text = ReadableText(main, c.format);
    const size_t first = text.find("NOM1 " + all);
    const size_t second = text.find("NOM2 " + all);
    const size_t third = text.find("NOM3 " + all);
    ASSERT_NE(third, std::string::npos) << text;
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    const size_t break1 = main.find(c.page_break);
    const size_t break2 = main.rfind(c.page_break);
    EXPECT_LT(main.find("NOM1"), break1);
    EXPECT_LT(break1, main.find("NOM2"));
    EXPECT_LT(main.find("NOM2"), break2);
    EXPECT_LT(break2, main.find("NOM3"));
    if (c.format == LetterFormat::kOdt) {
      // An OpenDocument package: "mimetype" first, stored, then the rest.
      EXPECT_EQ(gathered.substr(30, 8), "mimetype");
      EXPECT_EQ(gathered.substr(38, 39), "application/vnd.oasis.opendocument.text");
      EXPECT_TRUE(outputs::ReadPackagePart(gathered, "META-INF/manifest.xml"));
      EXPECT_TRUE(outputs::ReadPackagePart(gathered, "styles.xml"));
    }
    if (c.format == LetterFormat::kDocx) {
      EXPECT_TRUE(outputs::ReadPackagePart(gathered, "[Content_Types].xml"));
      EXPECT_TRUE(outputs::ReadPackagePart(gathered, "word/styles.xml"));
      EXPECT_EQ(Count(main, "<w:sectPr"), 1u) << "one section, at the end";
    }
  }
}

TEST_F(GatheredLettersTest, LibreOfficeOnThePathMakesThePdfOfTheDocument) {
  // A stand-in for LibreOffice that writes the PDF where it is asked to and
  // records its arguments.
  const fs::path program = dir_.path() / "bin" / "soffice";
  runtime::WriteFile(program,
                     "#!/bin/sh\n"
                     "echo \"$@\" > \"" +
                         (dir_.path() / "arguments").string() +
                         "\"\n"
                         "while [ \"$1\" != --outdir ]; do shift; done\n"
                         "printf '%%PDF-1.4 stand-in' > \"$2/lettres.pdf\"\n");
  fs::permissions(program, fs::perms::owner_all);
  const FormatCase c = Formats()[3];
  const fs::path folder = dir_.path() / "LETTRES" / "WORD";
  const LetterPassOutcome outcome = Pass(c, folder);
  EXPECT_EQ(os::Utf8(outcome.text),
            "3 lettres écrites. Le document à imprimer : " +
                (fs::absolute(folder) / "lettres.docx").string() +
                ", et son PDF : " + (fs::absolute(folder) / "lettres.pdf").string() + ".");
  EXPECT_EQ(FileBytes(folder / "lettres.pdf"), "%PDF-1.4 stand-in");
  const std::string arguments = FileBytes(dir_.path() / "arguments");
  EXPECT_EQ(arguments.find("--headless --convert-to pdf --outdir "), 0u) << arguments;
  EXPECT_NE(arguments.find("lettres.docx"), std::string::npos) << arguments;

  // A LibreOffice that fails: the letters and their document stay, the
  // message says the PDF was not made; no PDF of an earlier pass is left.
  runtime::WriteFile(program, "#!/bin/sh\nexit 1\n");
  fs::permissions(program, fs::perms::owner_all);
  const LetterPassOutcome failed = Pass(c, folder);
  EXPECT_EQ(failed.kind, runtime::MessageKind::kInfo);
  EXPECT_NE(os::Utf8(failed.text).find("LibreOffice n'a pas pu faire le PDF du document."),
            std::string::npos)
      << failed.text;
  EXPECT_FALSE(fs::exists(folder / "lettres.pdf"));
  EXPECT_TRUE(fs::exists(folder / "lettres.docx"));
}

TEST_F(GatheredLettersTest, KeywordsSplitByTheWordProcessorAreMerged) {
  // "#0000A" in three runs of a .docx, "#4000011" across spans of an .odt.
  const std::string docx = *outputs::PackageWithPart(
      Sample("ENTRETIEN.DOCX"), "word/document.xml",
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document "
      "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p>"
      "<w:r><w:t>Nom : #00</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>00</w:t></w:r>"
      "<w:r><w:rPr><w:i/></w:rPr><w:t>A.</w:t></w:r></w:p></w:body></w:document>");
  const std::string odt = *outputs::PackageWithPart(
      Sample("PATRIMOINE.ODT"), "content.xml",
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
      "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>"
      "<text:p>Revenus : <text:span>#40</text:span><text:span>000</text:span>11 euros</text:p>"
      "</office:text></office:body></office:document-content>");
  const LetterValues values = {{"0000A", Cp1252("LŒUVRE & <FILS>")}, {"4000011", "154 872"}};
  for (const auto& [format, package, expected] :
       {std::tuple{LetterFormat::kDocx, docx, std::string("Nom : LŒUVRE & <FILS>.")},
        std::tuple{LetterFormat::kOdt, odt, std::string("Revenus : 154 872 euros")}}) {
    const LetterMerge merge(LetterTemplate(*outputs::TemplateText(package, format), format));
    const std::string merged = merge.Merge(values);
    const std::optional<std::string> letter =
        outputs::PackageWithPart(package, outputs::MainPartName(format), merged);
    ASSERT_TRUE(letter);
    EXPECT_EQ(XmlText(MainPart(*letter, format)), expected);
  }
}

TEST_F(GatheredLettersTest, ABrokenPackageIsNoTemplate) {
  EXPECT_FALSE(outputs::TemplateText("PK\x03\x04 broken", LetterFormat::kDocx));
  const std::string not_xml =
      *outputs::PackageWithPart(Sample("ENTRETIEN.DOCX"), "word/document.xml", "<w:document>");
  EXPECT_FALSE(outputs::TemplateText(not_xml, LetterFormat::kDocx));
  EXPECT_FALSE(outputs::TemplateText(Sample("PATRIMOINE.ODT"), LetterFormat::kDocx))
      << "an .odt renamed .docx has no word/document.xml";
}

}  // namespace
}  // namespace vz::project
