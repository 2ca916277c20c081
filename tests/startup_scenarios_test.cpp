// End-to-end sessions of the program: start-up, the main menu, the tools menu
// and the label parameters, played by the scripted front end in a minimal
// installation, the program's screen commands and engine calls read back from
// the transcript.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/processes.h"
#include "tests/support/program_run.h"
#include "tests/support/test_installation.h"

namespace vz {
namespace {

namespace fs = std::filesystem;
using testing::CommandsAndEngineCalls;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ProgramRunResult;

const char kQuitYes[] =
    "input MENU press ESC\n"
    "answer yes \"Désirez vous quitter le logiciel ?\"\n";

class StartupScenarioTest : public testing::ProgramScenarioTest {
 protected:
  StartupScenarioTest() : ProgramScenarioTest("e2e_", VZ_PROGRAM_PATH, VZ_PROJECT_DIR) {}

  // The parameter file with the data directory, "DPIOK" and `more` lines.
  void WriteParameters(const std::string& more) { installation_.WriteScenarioParameterFile(more); }

  // The lines from `first` on, up to and including `last`.
  static std::vector<std::string> Between(const std::vector<std::string>& lines,
                                          const std::string& first, const std::string& last) {
    auto begin = std::find(lines.begin(), lines.end(), first);
    auto end = std::find(begin, lines.end(), last);
    if (end != lines.end()) ++end;
    return std::vector<std::string>(begin, end);
  }
};

TEST_F(StartupScenarioTest, StartsToTheMenuAndQuitsWithYes) {
  ProgramRunResult result = Run(kQuitYes);
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  std::vector<std::string> lines = CommandsAndEngineCalls(result.transcript);
  const std::string data = installation_.data_directory().string();
  // Start-up: library, project, context, analysis, data directory, settings.
  EXPECT_THAT(
      Between(lines, "wd BIBLI,disque,ORVANE.wdl", "LE_Hsetnbessaismessage 11"),
      ElementsAre("wd BIBLI,disque,ORVANE.wdl", "wd PROJET,ORVANE.WDP", "LE_CreateContexteHF 103",
                  "LE_CreateContexteHF 103", "wd HFCTX", ::testing::StartsWith("LE_Hinitpartage "),
                  "LE_Houvreanalyse \"..\\HSF\\vestra.wdd\" \"\" \"\" \"\" \"\"",
                  "LE_Hsubstrep \"D:\\VESTRA\" \"?\"", "LE_Hferme \"\"",
                  "LE_Hsubstrep \"D:\\VESTRA\" \"" + data + "\"", "LE_Hmodeperso 1",
                  "LE_Hsecurite 2", "LE_Hgeredoublonnon", "LE_Hgeretrsnon", "LE_Hgerejnlnon",
                  "LE_Hgererepnon", "LE_Hseterrignore 1", "LE_Hsetnbessais 10", "LE_Hnbessais",
                  "LE_Hsetnbessaismessage 11"))
      << Describe(result);
  // The menu, the quit question, shutdown.
  EXPECT_THAT(Between(lines, "wd EXéCUTE(\"OUVREFEN\",\"MENU\")", "LE_Hferme \"\""),
              ElementsAre("wd EXéCUTE(\"OUVREFEN\",\"MENU\")", "wd Ouvre,MENU.WDW",
                          "wd ECRAN,SAISIE", "wd OUINON,Désirez vous quitter le logiciel ?",
                          "wd EXéCUTE(\"FermeFen\")", "wd Ferme", "wd Projet,", "LE_Hferme \"\""))
      << Describe(result);
  EXPECT_EQ(lines.back(), "LE_Hferme \"\"");
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd Erreur,")));
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd info,")));
  EXPECT_EQ(result.shell_log, "");  // "DPIOK" is "1"
}

TEST_F(StartupScenarioTest, NoToTheQuitQuestionTakesInputAgain) {
  ProgramRunResult result =
      Run("input MENU press ESC\n"
          "answer no \"Désirez vous quitter le logiciel ?\"\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  std::vector<std::string> lines = CommandsAndEngineCalls(result.transcript);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "wd ECRAN,SAISIE"), 2) << Describe(result);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "wd Ouvre,MENU.WDW"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "wd Ferme"), 1);
}

// The installation's lock file, which a first run of the program makes.
fs::path InstanceLockFile(const fs::path& program_directory) {
  for (const fs::directory_entry& entry : fs::directory_iterator(program_directory)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(".vuzuviza-", 0) == 0 && name.ends_with(".verrou")) return entry.path();
  }
  return {};
}

TEST_F(StartupScenarioTest, SecondCopyIsRefused) {
  installation_.ForbidBesideOtherCopies();
  ASSERT_EQ(Run(kQuitYes).exit_code, 0);
  const fs::path lock = InstanceLockFile(installation_.program_directory());
  ASSERT_FALSE(lock.empty());
  // Another copy of the program runs from this installation: it holds the
  // installation's lock (a stand-in holds it the same way, with flock(1)).
  std::optional<os::ChildProcess> running =
      os::StartProcess("flock -x \"" + lock.string() + "\" sleep 60");
  ASSERT_TRUE(running.has_value());
  for (int turn = 0; turn < 500; ++turn) {
    if (std::system(("flock -n \"" + lock.string() + "\" true").c_str()) != 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  ProgramRunResult result = Run("expect error \"Le logiciel est déjà actif !\"\n");
  os::EndProcess(running->pid());
  running->Wait(5000);

  EXPECT_EQ(result.exit_code, 2) << Describe(result);
  EXPECT_THAT(CommandsAndEngineCalls(result.transcript),
              ElementsAre("wd Erreur,Le logiciel est déjà actif !"))
      << Describe(result);
}

// A copy of the program running from another installation (here a stand-in
// under the program's name) does not block this one: only copies of the same
// installation, user and workstation count.
TEST_F(StartupScenarioTest, ACopyOfAnotherInstallationDoesNotBlock) {
  installation_.ForbidBesideOtherCopies();
  fs::create_directories(installation_.root() / "AUTRE");
  const fs::path other = installation_.root() / "AUTRE" / "vuzuviza";
  fs::copy_file("/bin/sleep", other);
  std::optional<os::ChildProcess> running = os::StartProcess(other.string() + " 60");
  ASSERT_TRUE(running.has_value());

  ProgramRunResult result = Run(kQuitYes);
  os::EndProcess(running->pid());
  running->Wait(5000);
  EXPECT_EQ(result.exit_code, 0) << Describe(result);
}

TEST_F(StartupScenarioTest, MissingWindowLibraryStopsTheProgram) {
  fs::remove(installation_.root() / "ORVANE.wdl");
  ProgramRunResult result = Run(
      "expect error \"La bibliothèque ORVANE.WDL doit être présente dans le répertoire père.\"\n");
  EXPECT_EQ(result.exit_code, 1) << Describe(result);
  std::vector<std::string> lines = CommandsAndEngineCalls(result.transcript);
  EXPECT_THAT(lines, ElementsAre("wd BIBLI,disque,ORVANE.wdl",
                                 "wd Erreur,La bibliothèque ORVANE.WDL doit être présente dans "
                                 "le répertoire père.",
                                 "LE_HftermineCTX"))
      << Describe(result);
}

TEST_F(StartupScenarioTest, MissingParameterFileInformsAndTheMenuStillOpens) {
  installation_.RemoveParameterFile();
  ProgramRunResult result = Run(
      "expect info \"Erreur d'ouverture sur le chemin de la base de données. Veuillez contacter "
      "le service technique.\"\n" +
      std::string(kQuitYes));
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  std::vector<std::string> lines = CommandsAndEngineCalls(result.transcript);
  EXPECT_THAT(Between(lines, "LE_Hsubstrep \"D:\\VESTRA\" \"?\"", "LE_Hmodeperso 1"),
              ElementsAre("LE_Hsubstrep \"D:\\VESTRA\" \"?\"",
                          "wd info, Erreur d'ouverture sur le chemin de la base de données. "
                          "Veuillez contacter le service technique.",
                          "LE_Hferme \"\"", "LE_Hsubstrep \"D:\\VESTRA\" \"\"", "LE_Hmodeperso 1"))
      << Describe(result);
  EXPECT_THAT(lines, ::testing::Contains("wd Ouvre,MENU.WDW"));
  // Without "DPIOK" the display-scaling registration runs at load.
  EXPECT_THAT(result.shell_log, HasSubstr("reg add"));
  EXPECT_THAT(result.shell_log, HasSubstr("~ HIGHDPIAWARE"));
}

// A tools program that leaves a trace, works a while and changes its own
// directory.
void WriteToolsProgram(const fs::path& directory, const fs::path& trace) {
  const fs::path program = directory / "veriroru";
  std::ofstream(program) << "#!/bin/sh\ncd /\necho \"ran in $(pwd)\" >> '" << trace.string()
                         << "'\nsleep 0.4\n";
  fs::permissions(program, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(StartupScenarioTest, ToolsProgramRunsAndTheMenuComesBackInTheSameDirectory) {
  const fs::path trace = installation_.root() / "tools.trace";
  WriteToolsProgram(installation_.program_directory(), trace);
  WriteParameters("EX_ETIQUETTE=7\t\r\n");
  ProgramRunResult result =
      Run("input MENU press T04\n"
          "input EX_MNUOUT press SVE\n"
          "input EX_MNUOUT press ETI\n"  // reads the parameter file from the same directory
          "input PARETI press ESC\n"
          "input EX_MNUOUT press ESC\n" +
          std::string("answer yes\n"));
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  EXPECT_EQ(testing::ReadWholeFile(trace), "ran in /\n");
  std::vector<std::string> lines = CommandsAndEngineCalls(result.transcript);
  // Every file is closed before the run; the windows stay alive during it.
  auto second_input = std::find(lines.begin(), lines.end(), "wd ECRAN,SAISIE");
  ASSERT_NE(second_input, lines.end());
  second_input = std::find(second_input + 1, lines.end(), "wd ECRAN,SAISIE");
  ASSERT_NE(second_input, lines.end());
  EXPECT_EQ(*(second_input + 1), "LE_Hferme \"\"") << Describe(result);
  EXPECT_EQ(*(second_input + 2), "wd MULTITACHE,-2") << Describe(result);
  EXPECT_THAT(lines, ::testing::Contains("wd AFFICHE,MHAUTE=7"));
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd Erreur,")));
}

TEST_F(StartupScenarioTest, MissingToolsProgramIsSilent) {
  ProgramRunResult result =
      Run("input MENU press T04\n"
          "input EX_MNUOUT press RIX\n"
          "input EX_MNUOUT press T02\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd Erreur,")));
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd info,")));
}

TEST_F(StartupScenarioTest, LabelParametersSavedShownAgainAndLeftByEscape) {
  WriteParameters("EX_ETIQUETTE=5\t5\t2\t2\t33\t60\t3\t8\r\n");  // as typed by hand
  // A width that runs off the page is refused when confirmed, with the
  // reason, and the window waits again with what was typed.
  ProgramRunResult result =
      Run("input MENU press T04\n"
          "input EX_MNUOUT press ETI\n"
          "input PARETI\n"
          "  type MHAUTE \"12\"\n"
          "  type MGAUCHE \"8,5\"\n"
          "  type LARGEUR \"75\"\n"
          "  press TF0\n"
          "expect error \"Les \u00e9tiquettes d\u00e9passent la largeur de la page : 237,5 mm pour "
          "210 mm. R\u00e9duisez \u00ab Marge gauche \u00bb, \u00ab Espacement horizontal \u00bb, "
          "\u00ab Largeur d'une \u00e9tiquette \u00bb ou \u00ab Nombre d'\u00e9tiquettes en "
          "largeur \u00bb.\"\n"
          "input PARETI\n"
          "  see MGAUCHE \"8,5\"\n"
          "  type LARGEUR \"60\"\n"
          "  press TF0\n"
          "input EX_MNUOUT press ETI\n"
          "input PARETI\n"
          "  type MHAUTE \"99\"\n"
          "  press ESC\n"
          "input EX_MNUOUT press ESC\n"
          "answer yes\n");
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  std::vector<std::string> lines = CommandsAndEngineCalls(result.transcript);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "wd AFFICHE,MHAUTE=5"), 1) << Describe(result);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "wd AFFICHE,MHAUTE=12"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "wd AFFICHE,MGAUCHE=8,5"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "wd AFFICHE,NBETIV=8"), 2);
  std::string tabs(24, '\t');
  EXPECT_THAT(installation_.ReadParameterFile(),
              HasSubstr("EX_ETIQUETTE=12\t8,5\t2\t2\t33\t60\t3\t8\t" + tabs + "\r\n"));
  EXPECT_THAT(installation_.ReadParameterFile(), HasSubstr("REPERTOIREF="));
}

}  // namespace
}  // namespace vz
