// The outputs session of outputs_scenarios_test played on the desktop front
// end (Qt, offscreen) by a robot that types and clicks, and once more by the
// scripted front end on an installation generated alike: both leave the same
// selection file, the same merge file and SELECTES records byte for byte, the
// same letter documents, and PDFs of as many pages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/support/output_files.h"
#include "tests/support/program_run.h"
#include "tests/support/test_installation.h"

namespace vz {
namespace {

namespace fs = std::filesystem;
using testing::FileNames;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ProgramRunResult;
using testing::ReadWholeFile;
using testing::TestInstallation;

constexpr char kSession[] =
    "input MENU press T01\n"
    "input LSTSEL\n"
    "  pick REQUETES CODE \"01000003\"\n"
    "  press LAN\n"
    "input LSTSEL press RES\n"
    "input RESULTAT\n"
    "  pick Nom_Lettre \"BILAN.HTM\"\n"
    "  press LET\n"
    "input RESULTAT\n"
    "  type MHAUTE \"10\"\n"
    "  type MGAUCHE \"0\"\n"
    "  type ESPV \"0\"\n"
    "  type ESPH \"0\"\n"
    "  type HAUTEUR \"36\"\n"
    "  type LARGEUR \"70\"\n"
    "  type NBETIH \"3\"\n"
    "  type NBETIV \"7\"\n"
    "  click ETIQUETTES\n"
    "  press ESC\n"
    "input LSTSEL press T02\n"
    "input MENU press ESC\n"
    "answer yes \"Désirez vous quitter le logiciel ?\"\n";

// What one session left on disk.
struct Outputs {
  std::string selection;
  std::string merge;
  std::vector<std::string> selected;
  std::map<std::string, std::string> letters;  // file name -> bytes (PDF: its page count)
  int label_pages = 0;
  std::string transcript;
};

Outputs Play(const std::string& name, const fs::path& program) {
  TestInstallation installation("e2e_desktop_" + name);
  testing::GenerateDemoInstallation(installation, 200, 19, fs::path(VZ_PROJECT_DIR) / "templates",
                                    VZ_PROJECT_DIR);
  testing::IgnoreFontCacheInLeakReports(installation);
  const ProgramRunResult run =
      testing::RunProgramWithScenario(installation, program, kSession, 300);
  EXPECT_FALSE(run.timed_out) << name;
  EXPECT_EQ(run.exit_code, 0) << name << "\n" << run.error_output << "\n" << run.transcript;
  const fs::path data = testing::DemoDataDirectory(installation);
  Outputs out;
  out.selection = ReadWholeFile(data / "01000003.EXT");
  out.merge = ReadWholeFile(data / "01000003.MEM");
  out.selected = testing::SelectedRecords(installation, "01000003");
  const fs::path letters = data / "LETTRES" / "01000003-BILAN";
  for (const std::string& file : FileNames(letters)) {
    const std::string bytes = ReadWholeFile(letters / file);
    out.letters[file] =
        file == "lettres.pdf" ? std::to_string(testing::PdfPageCount(bytes)) + " pages" : bytes;
  }
  out.label_pages = testing::PdfPageCount(ReadWholeFile(data / "ETIQUETTES" / "01000003.pdf"));
  out.transcript = run.transcript;
  return out;
}

TEST(OutputsDesktopTest, DesktopSessionLeavesWhatTheScriptedOneLeaves) {
  const Outputs scripted = Play("scripted", VZ_PROGRAM_PATH);
  const Outputs desktop = Play("desktop", VZ_DESKTOP_PROGRAM_PATH);

  ASSERT_FALSE(scripted.selection.empty());
  ASSERT_FALSE(scripted.selected.empty());
  const size_t n = scripted.selected.size();
  EXPECT_EQ(scripted.letters.size(), n + 1) << "one letter per client and the PDF";
  EXPECT_EQ(scripted.letters.at("lettres.pdf"), std::to_string(n) + " pages");
  EXPECT_EQ(scripted.label_pages, static_cast<int>((n + 20) / 21));

  // The desktop run went through its own front end: it typed and clicked.
  EXPECT_THAT(desktop.transcript, HasSubstr("wd . input RESULTAT ended with \"LET\""));
  EXPECT_THAT(desktop.transcript, Not(HasSubstr("scenario line")));
  EXPECT_THAT(desktop.transcript, HasSubstr("étiquettes sur"));

  EXPECT_EQ(desktop.selection, scripted.selection);
  EXPECT_EQ(desktop.merge, scripted.merge);
  EXPECT_EQ(desktop.selected, scripted.selected);
  EXPECT_EQ(desktop.letters, scripted.letters);
  EXPECT_EQ(desktop.label_pages, scripted.label_pages);
}

}  // namespace
}  // namespace vz
