// The result window on the desktop front end (Qt, offscreen), played by the
// robot: after a run, the window shows the count and the clients of the
// selection file, a click on a column title sorts them, and the "Exporter"
// button writes the CSV and the XLSX of the selection.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/util/thousands.h"
#include "tests/support/output_files.h"
#include "tests/support/program_run.h"
#include "tests/support/spreadsheet_files.h"
#include "tests/support/test_installation.h"

namespace vz {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::ProgramRunResult;
using testing::TestInstallation;

TEST(ResultsDesktopTest, TheRobotSortsTheClientsAndExportsThem) {
  TestInstallation installation("e2e_results_desktop");
  testing::GenerateDemoInstallation(installation, 200, 19, fs::path(VZ_PROJECT_DIR) / "templates",
                                    VZ_PROJECT_DIR);
  testing::IgnoreFontCacheInLeakReports(installation);
  const ProgramRunResult run = testing::RunProgramWithScenario(installation, VZ_PROGRAM_PATH,
                                                               "input MENU press T01\n"
                                                               "input LSTSEL\n"
                                                               "  pick REQUETES CODE \"01000001\"\n"
                                                               "  press LAN\n"
                                                               "input LSTSEL press T02\n"
                                                               "input MENU press ESC\n"
                                                               "answer yes\n",
                                                               300);
  ASSERT_EQ(run.exit_code, 0) << testing::DescribeRun(run);
  const fs::path data = testing::DemoDataDirectory(installation);
  const std::vector<std::string> selection = testing::FileLines(data / "01000001.EXT");
  ASSERT_GT(selection.size(), 1u);
  const size_t n = selection.size();
  const std::string count = util::ThousandsText(static_cast<int64_t>(n)) + " clients retenus";

  const ProgramRunResult desktop = testing::RunProgramWithScenario(
      installation, VZ_DESKTOP_PROGRAM_PATH,
      "input MENU press T01\n"
      "input LSTSEL\n"
      "  pick REQUETES CODE \"01000001\"\n"
      "  press RES\n"
      "input RESULTAT\n"
      "  see NBRETENUS \"" + count + "\"\n"
      "  see CODCLI,01 \"" + selection.front() + "\"\n"
      "  sort CLIENTS CODCLI down\n"
      "  see CODCLI,01 \"" + selection.back() + "\"\n"
      "  sort CLIENTS CODCLI\n"
      "  see CODCLI,01 \"" + selection.front() + "\"\n"
      "  click EXPORTER\n"
      "  press ESC\n"
      "input LSTSEL press T02\n"
      "input MENU press ESC\n"
      "answer yes\n",
      300);
  EXPECT_FALSE(desktop.timed_out);
  ASSERT_EQ(desktop.exit_code, 0) << desktop.error_output << "\n" << desktop.transcript;
  EXPECT_THAT(desktop.transcript, HasSubstr("Liste exportée (" + count + ")"));

  const std::string csv = testing::ReadWholeFile(data / "EXPORTS" / "01000001.csv");
  ASSERT_GT(csv.size(), 3u);
  const auto rows = testing::ParseCsv(std::string_view(csv).substr(3));
  ASSERT_EQ(rows.size(), n + 1);
  const auto cells = testing::ReadFirstSheet(data / "EXPORTS" / "01000001.xlsx");
  for (size_t i = 0; i < n; ++i) {
    EXPECT_EQ(rows[i + 1][0], selection[i]);
    const std::string ref = "A" + std::to_string(i + 2);
    ASSERT_EQ(cells.count(ref), 1u) << ref;
    EXPECT_EQ(cells.at(ref).value, selection[i]);
  }
}

}  // namespace
}  // namespace vz
