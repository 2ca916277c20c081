// End-to-end: from the main menu a saved query is run, then its result
// window shows how many clients it selected and who they are, sorts them and
// exports them. The count equals the lines of the selection file; the CSV and
// the XLSX read back give the clients of the selection file with the values
// of the merge file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/util/thousands.h"
#include "tests/support/output_files.h"
#include "tests/support/program_run.h"
#include "tests/support/spreadsheet_files.h"
#include "tests/support/test_installation.h"

namespace vz {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ProgramRunResult;

constexpr char kQuery[] = "01000001";  // income criterion, rubric lines 0000A and 40000
constexpr int kClients = 300;

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

class ResultsScenarioTest : public testing::ProgramScenarioTest {
 protected:
  ResultsScenarioTest() : ProgramScenarioTest("e2e_results_", VZ_PROGRAM_PATH, VZ_PROJECT_DIR, 300) {}

  void SetUp() override {
    testing::GenerateDemoInstallation(installation_, kClients, 7,
                                      fs::path(VZ_PROJECT_DIR) / "templates", VZ_PROJECT_DIR);
  }

  fs::path Data() const { return testing::DemoDataDirectory(installation_); }
};

TEST_F(ResultsScenarioTest, RunSeeWhoWasSelectedSortAndExport) {
  const ProgramRunResult run = Run(
      "input MENU press T01\n"
      "input LSTSEL\n"
      "  pick REQUETES CODE \"01000001\"\n"
      "  press LAN\n"
      "input LSTSEL press T02\n"
      "input MENU press ESC\n"
      "answer yes\n");
  ASSERT_EQ(run.exit_code, 0) << Describe(run);
  const std::vector<std::string> selection = testing::FileLines(Data() / "01000001.EXT");
  const std::vector<std::string> merge = testing::FileLines(Data() / "01000001.MEM");
  ASSERT_GT(selection.size(), 1u);
  ASSERT_EQ(merge.size(), selection.size() + 1);
  const size_t n = selection.size();
  const std::string count = util::ThousandsText(static_cast<int64_t>(n)) + " clients retenus";
  // The merge file's columns: the name, then the income total.
  auto value = [&merge](size_t client, int column) {
    std::string line = merge[client + 1];
    for (int c = 0; c < column; ++c) line = line.substr(line.find('\t') + 1);
    return Trimmed(line.substr(0, line.find('\t')));
  };
  const std::string csv = (Data() / "EXPORTS" / "01000001.csv").string();
  const std::string xlsx = (Data() / "EXPORTS" / "01000001.xlsx").string();

  const ProgramRunResult results = Run(
      "input MENU press T01\n"
      "input LSTSEL\n"
      "  pick REQUETES CODE \"01000001\"\n"
      "  press RES\n"
      "input RESULTAT\n"
      "  see NBRETENUS \"" + count + "\"\n"
      "  see CODCLI,01 \"" + selection.front() + "\"\n"
      "  see X0000A,01 \"" + os::Utf8(value(0, 0)) + "\"\n"
      "  see X40000,01 \"" + util::GroupThousands(value(0, 1)) + "\"\n"
      "  sort CLIENTS CODCLI down\n"
      "  see CODCLI,01 \"" + selection.back() + "\"\n"
      "  see CODCLI," + std::to_string(n) + " \"" + selection.front() + "\"\n"
      "  click EXPORTER\n"
      "  press ESC\n"
      "input LSTSEL press T02\n"
      "input MENU press ESC\n"
      "answer yes\n");
  ASSERT_EQ(results.exit_code, 0) << Describe(results);
  EXPECT_THAT(results.transcript, Not(HasSubstr("wd ! ")));
  EXPECT_THAT(results.transcript,
              HasSubstr("message info \"Liste exportée (" + count + ") : " +
                        fs::weakly_canonical(csv).string() + " et " +
                        fs::weakly_canonical(xlsx).string() + ".\""));

  // The CSV: a title row, then the selection file's clients in its order with
  // the merge file's values (the name as written, accents included).
  const std::string bytes = testing::ReadWholeFile(csv);
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  const auto rows = testing::ParseCsv(std::string_view(bytes).substr(3));
  ASSERT_EQ(rows.size(), n + 1);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Code client", "Nom", "Prénom", "Code postal",
                                               "Ville", "Nom", "Revenus"}));
  const auto cells = testing::ReadFirstSheet(xlsx);
  for (size_t i = 0; i < n; ++i) {
    SCOPED_TRACE(selection[i]);
    ASSERT_EQ(rows[i + 1].size(), 7u);
    EXPECT_EQ(rows[i + 1][0], selection[i]);
    EXPECT_EQ(rows[i + 1][5], os::Utf8(value(i, 0)));
    EXPECT_EQ(rows[i + 1][6], value(i, 1));
    // The XLSX holds the same: texts as texts, the amount as a number.
    const std::string row = std::to_string(i + 2);
    ASSERT_EQ(cells.count("A" + row), 1u);
    EXPECT_EQ(cells.at("A" + row).value, selection[i]);
    EXPECT_EQ(cells.at("F" + row).value, os::Utf8(value(i, 0)));
    EXPECT_TRUE(cells.at("F" + row).text);
    if (!value(i, 1).empty()) {
      EXPECT_EQ(cells.at("G" + row).value, value(i, 1));
      EXPECT_FALSE(cells.at("G" + row).text);
    }
    for (size_t c = 0; c < 5; ++c) {
      const std::string ref = testing::ColumnLetters(c) + row;
      EXPECT_EQ(cells.count(ref) ? cells.at(ref).value : std::string(), rows[i + 1][c]) << ref;
    }
  }
}

}  // namespace
}  // namespace vz
