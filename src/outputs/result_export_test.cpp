// The export of a result list: the CSV parsed back, the XLSX unzipped and its
// sheet read back, both compared with the list; LibreOffice's own reading of
// the XLSX where it is installed; failures reported in French.
#include "src/outputs/result_export.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>

#include "platform/os/cp1252.h"
#include "src/config/program_settings.h"
#include "tests/support/file_bytes.h"
#include "tests/support/spreadsheet_files.h"

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;
using testing::ParseCsv;
using testing::Unzipped;
using vz::testing::FileBytes;
using Rows = std::vector<std::vector<std::string>>;

constexpr char kQuery[] = "01000042";

// A list as LoadResultList gives it: cp1252 texts, stored amounts and dates.
ResultList SampleList() {
  ResultList list;
  list.columns = {{"CODCLI", "Code client", ValueKind::kText},
                  {"NOM", "Nom", ValueKind::kText},
                  {"PRENOM", os::Cp1252("Prénom"), ValueKind::kText},
                  {"CP", "Code postal", ValueKind::kText},
                  {"0000I", "Date de naissance", ValueKind::kDate},
                  {"40000", "Revenus; total", ValueKind::kAmount}};
  list.rows = {
      {"010000011", os::Cp1252("LEFÈVRE"), os::Cp1252("Hélène"), "01000", "19610325", "45000"},
      {"010000012", "O\"NEIL", "Marc;Jean", "75011", "", ""},
      {"010000021", "DUPONT", "Anne\nMarie", "69001", "19800101", "-1234.5"},
  };
  return list;
}

class ResultExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("vz_export_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    previous_ = config::DataDirectory();
    config::SetDataDirectory(folder_.string());
  }
  void TearDown() override {
    config::SetDataDirectory(previous_);
    fs::remove_all(folder_);
  }
  fs::path Export(std::string_view extension) const {
    return folder_ / "EXPORTS" / (std::string(kQuery) + std::string(extension));
  }

  fs::path folder_;
  std::string previous_;
};

TEST_F(ResultExportTest, TheCsvReadsBackAsTheListWithReadableTitles) {
  const ExportOutcome outcome = ExportResultList(SampleList(), kQuery);
  ASSERT_TRUE(outcome.ok) << outcome.message;
  EXPECT_EQ(os::Utf8(outcome.message),
            "Liste exportée (3 clients retenus) : " + Export(".csv").string() + " et " +
                Export(".xlsx").string() + ".");
  const std::string bytes = FileBytes(Export(".csv"));
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(bytes.find("\r\n010000012;\"O\"\"NEIL\";\"Marc;Jean\";75011;;\r\n"), std::string::npos);
  EXPECT_EQ(
      ParseCsv(bytes.substr(3)),
      (Rows{{"Code client", "Nom", "Prénom", "Code postal", "Date de naissance", "Revenus; total"},
            {"010000011", "LEFÈVRE", "Hélène", "01000", "25/03/1961", "45000"},
            {"010000012", "O\"NEIL", "Marc;Jean", "75011", "", ""},
            {"010000021", "DUPONT", "Anne\nMarie", "69001", "01/01/1980", "-1234,5"}}));
}

TEST_F(ResultExportTest, TheXlsxHoldsNumbersDatesAndTextsUnderAFrozenTitleRow) {
  ASSERT_TRUE(ExportResultList(SampleList(), kQuery).ok);
  const auto cells = testing::ReadFirstSheet(Export(".xlsx"));
  ASSERT_FALSE(cells.empty()) << "unzip could not read " << Export(".xlsx");
  const std::string sheet = Unzipped(Export(".xlsx"), "xl/worksheets/sheet1.xml");
  EXPECT_NE(sheet.find("<pane ySplit=\"1\""), std::string::npos);
  EXPECT_NE(sheet.find("state=\"frozen\""), std::string::npos);
  const struct {
    const char* ref;
    const char* value;
    bool text;
  } expected[] = {
      {"A1", "Code client", true}, {"C1", "Prénom", true},  {"F1", "Revenus; total", true},
      {"A2", "010000011", true},   {"B2", "LEFÈVRE", true}, {"C2", "Hélène", true},
      {"D2", "01000", true},       {"F2", "45000", false},  {"B3", "O\"NEIL", true},
      {"F4", "-1234.5", false},    {"E2", "22365", false},  {"C4", "Anne\nMarie", true},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.ref);
    ASSERT_EQ(cells.count(e.ref), 1u);
    EXPECT_EQ(cells.at(e.ref).value, e.value);
    EXPECT_EQ(cells.at(e.ref).text, e.text);
  }
  // No value, no cell: an empty amount stays empty, not 0.
  EXPECT_EQ(cells.count("F3"), 0u);
  EXPECT_EQ(cells.count("E3"), 0u);
  // The date and the amount carry their number formats.
  const std::string styles = Unzipped(Export(".xlsx"), "xl/styles.xml");
  EXPECT_NE(styles.find("formatCode=\"dd/mm/yyyy\""), std::string::npos);
  EXPECT_NE(styles.find("formatCode=\"#,##0\""), std::string::npos);
  EXPECT_NE(cells.at("E2").style, cells.at("F2").style);
  EXPECT_NE(cells.at("A1").style, "");
}

TEST_F(ResultExportTest, LibreOfficeReadsTheXlsxBackAsTheCsv) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "LibreOffice (soffice) is not installed: the XLSX is only read back by unzip";
  }
  ASSERT_TRUE(ExportResultList(SampleList(), kQuery).ok);
  const fs::path out = folder_ / "converted";
  const std::string command =
      "soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1' --outdir '" +
      out.string() + "' '" + Export(".xlsx").string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const Rows rows = ParseCsv(FileBytes(out / (std::string(kQuery) + ".csv")));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1][1], "LEFÈVRE");
  EXPECT_EQ(rows[1][4], "25/03/1961");
  EXPECT_EQ(rows[2][1], "O\"NEIL");
}

TEST_F(ResultExportTest, FilesThatCannotBeWrittenAreNamedAndTheOldOnesKept) {
  // EXPORTS is a plain file: nothing can be written under it.
  std::ofstream(folder_ / "EXPORTS") << "x";
  ExportOutcome outcome = ExportResultList(SampleList(), kQuery);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(os::Utf8(outcome.message)
                .rfind("Le fichier " + Export(".csv").string() + " n'a pas pu être écrit.", 0),
            0u)
      << os::Utf8(outcome.message);
  fs::remove(folder_ / "EXPORTS");
  // The XLSX name is taken by a folder: the CSV is written, the XLSX refused.
  fs::create_directories(Export(".xlsx"));
  outcome = ExportResultList(SampleList(), kQuery);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(os::Utf8(outcome.message).find(Export(".xlsx").string() + " n'a pas pu être écrit"),
            std::string::npos);
  EXPECT_NE(os::Utf8(outcome.message).find("a bien été écrit"), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(Export(".csv")));
  // No temporary file is left behind.
  for (const auto& entry : fs::directory_iterator(folder_ / "EXPORTS")) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }
}

TEST_F(ResultExportTest, NothingToExportIsSaidAndNothingWritten) {
  ResultList empty;
  empty.columns = SampleList().columns;
  ExportOutcome outcome = ExportResultList(empty, kQuery);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(os::Utf8(outcome.message),
            "La dernière sélection de cette requête ne retient aucun client : rien n'est "
            "exporté.");
  empty.problem = "pas lancée";
  EXPECT_EQ(ExportResultList(empty, kQuery).message, "pas lancée");
  EXPECT_FALSE(ExportResultList(SampleList(), "0100:001").ok);
  EXPECT_FALSE(fs::exists(folder_ / "EXPORTS"));
}

}  // namespace
}  // namespace vz::outputs
