// The tools program's command line, parsed and run as the executable: exit
// codes and messages of the headless commands, the window played by a
// scenario, and no wait for ever without a display.
#include "tools/veriroru/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "tools/veriroru/backup.h"
#include "tools/veriroru/backup_check.h"
#include "tools/veriroru/restore.h"
#include "tools/veriroru/tool_actions.h"
#include "tools/veriroru/veriroru_test_support.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using ::testing::HasSubstr;

struct ParseCase {
  std::vector<std::string> arguments;
  Command::Kind kind;
  const char* data_directory;
  const char* backup;
  const char* error;  // part of the usage error, "" for none
};

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, ReadsTheLine) {
  const ParseCase& c = GetParam();
  Command command = ParseCommandLine(c.arguments);
  EXPECT_EQ(command.kind, c.kind);
  EXPECT_EQ(command.data_directory, c.data_directory);
  EXPECT_EQ(command.backup, c.backup);
  EXPECT_THAT(command.error, HasSubstr(c.error));
  if (c.error[0] == '\0') {
    EXPECT_EQ(command.error, "");
  }
}

using K = Command::Kind;
INSTANTIATE_TEST_SUITE_P(
    Lines, ParseTest,
    ::testing::Values(
        ParseCase{{}, K::kWindow, "", "", ""},
        ParseCase{{""}, K::kWindow, "", "", ""},  // as the tools menu starts it
        ParseCase{{"sauvegarder"}, K::kBackup, "", "", ""},
        ParseCase{{"sauvegarder", "--donnees", "/d"}, K::kBackup, "/d", "", ""},
        ParseCase{{"--donnees=/d", "verifier"}, K::kCheck, "/d", "", ""},
        ParseCase{{"vérifier"}, K::kCheck, "", "", ""},
        ParseCase{{"restaurer", "20261208-102030"}, K::kRestore, "", "20261208-102030", ""},
        ParseCase{{"sauvegardes"}, K::kList, "", "", ""},
        ParseCase{{"restaurer"}, K::kUsage, "", "", "demande le dossier"},
        ParseCase{{"sauvegarder", "--donnees"}, K::kUsage, "", "", "demande un répertoire"},
        ParseCase{{"--donnees="}, K::kUsage, "", "", "demande un répertoire"},
        ParseCase{{"effacer"}, K::kUsage, "", "", "commande inconnue"},
        ParseCase{{"verifier", "en-trop"}, K::kUsage, "", "", "argument en trop"},
        ParseCase{{"--vite"}, K::kUsage, "", "", "option inconnue"},
        ParseCase{{"--aide"}, K::kUsage, "", "", ""}));

struct ToolRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

class ExecutableTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(installation_.ok()) << installation_.error(); }

  // Runs the executable in `directory` with no display, plus `environment`.
  ToolRun Run(const std::string& directory, const std::string& arguments,
              const std::string& environment = "") {
    const std::string out = installation_.root() + "/out.txt";
    const std::string err = installation_.root() + "/err.txt";
    const std::string command = "cd '" + directory +
                                "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                                "-u VZ_SCENARIO " +
                                environment + " timeout 60 '" + VERIRORU_PATH + "' " + arguments +
                                " >'" + out + "' 2>'" + err + "'";
    int status = std::system(command.c_str());
    ToolRun run;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = FileBytes(out);
    run.err = FileBytes(err);
    return run;
  }
  std::string Data() const { return installation_.paths().data_directory; }

  // The tools window played by `scenario` (written as `name`.scn) from
  // `directory`; `log` is the transcript it leaves.
  struct WindowRun {
    ToolRun run;
    std::string log;
  };
  WindowRun PlayWindow(const std::string& directory, const std::string& name,
                       const std::string& scenario) {
    const std::string file = installation_.root() + "/" + name + ".scn";
    const std::string transcript = installation_.root() + "/" + name + ".transcript";
    testing::WriteBytes(file, scenario);
    WindowRun played;
    played.run =
        Run(directory, "", "VZ_SCENARIO='" + file + "' VZ_TRANSCRIPT='" + transcript + "'");
    played.log = FileBytes(transcript);
    return played;
  }

  testing::DemoInstallation installation_;
};

TEST_F(ExecutableTest, IsBuiltBesideTheProgram) {
  const std::string program = VUZUVIZA_PATH;
  if (program.empty()) GTEST_SKIP() << "the program is not built in this tree";
  EXPECT_EQ(fs::path(VERIRORU_PATH).parent_path(), fs::path(program).parent_path());
  EXPECT_TRUE(fs::exists(fs::path(VERIRORU_PATH).parent_path() / "VERIRORU.wdl"));
}

TEST_F(ExecutableTest, HeadlessCommandsFromTheProgramDirectory) {
  const std::string dir = installation_.program_directory();
  ToolRun backup = Run(dir, "sauvegarder");
  EXPECT_EQ(backup.exit_code, 0) << backup.err;
  EXPECT_THAT(backup.out, HasSubstr("Sauvegarde terminée"));
  std::vector<BackupEntry> backups = ListBackups(Data());
  ASSERT_EQ(backups.size(), 1u);

  ToolRun list = Run(dir, "sauvegardes");
  EXPECT_EQ(list.exit_code, 0);
  EXPECT_THAT(list.out, HasSubstr(backups[0].name));

  ToolRun check = Run(dir, "verifier");
  EXPECT_EQ(check.exit_code, 0) << check.err;
  EXPECT_THAT(check.out, HasSubstr("Résultat : "));
  EXPECT_THAT(check.out, HasSubstr("aucun problème"));
  EXPECT_THAT(check.out, HasSubstr(Data() + "/RAPPORTS/verification-"));

  ToolRun restore = Run(dir, "restaurer " + backups[0].name);
  EXPECT_EQ(restore.exit_code, 0) << restore.err;
  EXPECT_THAT(restore.out, HasSubstr("Restauration terminée"));

  // Unattended runs log what these print: no progress lines, one result.
  for (const ToolRun* run : {&backup, &check, &restore}) EXPECT_EQ(run->err, "");
  EXPECT_EQ(std::count(backup.out.begin(), backup.out.end(), '\n'), 1);
  EXPECT_EQ(std::count(restore.out.begin(), restore.out.end(), '\n'), 1);
}

TEST_F(ExecutableTest, FailuresGiveANonZeroCodeAndAMessage) {
  ToolRun nowhere = Run("/", "sauvegarder");
  EXPECT_EQ(nowhere.exit_code, 1);
  EXPECT_THAT(nowhere.err, HasSubstr("PARAM.DTA introuvable"));

  ToolRun missing = Run("/", "restaurer 19990101-000000 --donnees '" + Data() + "'");
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_THAT(missing.err, HasSubstr("Restauration refusée"));

  ToolRun unknown = Run("/", "effacer");
  EXPECT_EQ(unknown.exit_code, 2);
  EXPECT_THAT(unknown.err, HasSubstr("commande inconnue : effacer"));
  EXPECT_THAT(unknown.err, HasSubstr("Usage : veriroru"));

  testing::WriteBytes(Data() + "/CLIENT.vzdb", std::string(9000, 'q'));
  ToolRun damaged = Run("/", "verifier --donnees '" + Data() + "'");
  EXPECT_EQ(damaged.exit_code, 1);
  EXPECT_THAT(damaged.out, HasSubstr("CLIENT.vzdb"));
  EXPECT_THAT(damaged.err, HasSubstr("des problèmes restent"));
}

TEST_F(ExecutableTest, AnUnfinishedRestoreFailsTheCheck) {
  const std::string kept = Data() + "/SAUVEGARDES/avant-restauration-20261208-102040";
  fs::create_directories(kept);
  testing::WriteBytes(kept + "/" + kUnfinishedRestoreMarker, "Restauration commencée\n");
  ToolRun check = Run("/", "verifier --donnees '" + Data() + "'");
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_THAT(check.out, HasSubstr("une restauration a été interrompue"));
  EXPECT_THAT(check.err, HasSubstr("une restauration interrompue reste à finir ou à défaire"));
}

TEST_F(ExecutableTest, WithoutDisplayOrScenarioItTellsHowToUseItAndEnds) {
  ToolRun run = Run(installation_.program_directory(), "''");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_THAT(run.err, HasSubstr("pas d'affichage ni de scénario"));
  EXPECT_THAT(run.err, HasSubstr("Usage : veriroru"));
  EXPECT_FALSE(fs::exists(Data() + "/SAUVEGARDES"));
}

TEST_F(ExecutableTest, WindowPlayedByAScenario) {
  const auto [run, log] = PlayWindow(installation_.program_directory(), "outils",
                                     "input VERIRORU press RST\n"  // nothing to restore yet
                                     "input VERIRORU press SVE\n"
                                     "input VERIRORU press RIX\n"
                                     "input VERIRORU\n"
                                     "  pick SAUVEGARDES 1\n"
                                     "  press RST\n"
                                     "answer no\n"
                                     "input VERIRORU\n"
                                     "  pick SAUVEGARDES 1\n"
                                     "  press RST\n"
                                     "answer yes\n"
                                     "input VERIRORU press ESC\n");
  ASSERT_EQ(run.exit_code, 0) << run.err << log;
  EXPECT_THAT(log, HasSubstr("wd Erreur,Choisissez d'abord une sauvegarde dans la liste."));
  EXPECT_THAT(log, HasSubstr("wd info,Sauvegarde terminée"));
  EXPECT_THAT(log, HasSubstr("wd info,Vérification terminée : aucun problème."));
  EXPECT_THAT(log, HasSubstr("wd OUINON,Remplacer les fichiers de données par la sauvegarde du"));
  EXPECT_THAT(log, HasSubstr("wd info,Restauration terminée"));
  std::vector<BackupEntry> backups = ListBackups(Data());
  ASSERT_EQ(backups.size(), 2u);  // the backup and what the restore replaced
  EXPECT_EQ(backups[0].name.rfind("avant-restauration-", 0), 0u);
  EXPECT_TRUE(fs::is_directory(Data() + "/RAPPORTS"));
}

// What a transcript tells of the progress window and the outcomes, in
// order: the window opened, the file and count of each update, every window
// closed, and each message up to its first " : ".
std::vector<std::string> ProgressCommands(const std::string& transcript) {
  std::vector<std::string> kept;
  std::istringstream lines(transcript);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t arrow = line.rfind(" -> int=");
    if (line.rfind("wd ", 0) != 0 || arrow == std::string::npos) continue;
    const std::string command = line.substr(3, arrow - 3);
    for (const char* shown : {"Ouvre,PROGRESSION", "AFFICHE,FICHIER=", "AFFICHE,COMPTE=", "Ferme",
                              "info,", "Erreur,"}) {
      if (command.rfind(shown, 0) == 0) kept.push_back(command.substr(0, command.find(" : ")));
    }
  }
  return kept;
}

// The commands of one progress window over `files`, of which the first
// `shown` are reached.
std::vector<std::string> ProgressOver(const std::vector<std::string>& files, std::size_t shown) {
  std::vector<std::string> commands{"Ouvre,PROGRESSION"};
  for (std::size_t i = 0; i < shown; ++i) {
    commands.push_back("AFFICHE,FICHIER=" + files[i]);
    commands.push_back("AFFICHE,COMPTE=" + std::to_string(i + 1) + " sur " +
                       std::to_string(files.size()));
  }
  commands.push_back("Ferme");
  return commands;
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

TEST_F(ExecutableTest, ProgressWindowFollowsABackupAndACheckFileByFile) {
  const std::vector<std::string> files = DataFileNames(Data());
  ASSERT_GT(files.size(), 5u);
  const auto [run, log] = PlayWindow(installation_.program_directory(), "progression",
                                     "input VERIRORU press SVE\n"
                                     "input VERIRORU press RIX\n"
                                     "input VERIRORU press ESC\n");
  ASSERT_EQ(run.exit_code, 0) << run.err << log;

  std::vector<std::string> expected = ProgressOver(files, files.size());
  expected.push_back("info,Sauvegarde terminée");
  Append(expected, ProgressOver(files, files.size()));
  expected.push_back("info,Vérification terminée");
  expected.push_back("Ferme");  // the tools window, when the adviser leaves
  EXPECT_EQ(ProgressCommands(log), expected) << log;

  EXPECT_THAT(log, HasSubstr("wd AFFICHE,INTITULE=Sauvegarde des fichiers de données -> int=0"));
  EXPECT_THAT(log, HasSubstr("wd AFFICHE,INTITULE=Vérification et réindexation -> int=0"));
  EXPECT_THAT(log, HasSubstr("wd AFFICHE,POURCENT=0 % -> int=0"));
  EXPECT_THAT(log, HasSubstr("wd MULTITACHE,-2 -> int=0"));
  EXPECT_THAT(log, ::testing::Not(HasSubstr("wd ! ")));  // every field written exists
  EXPECT_TRUE(run.out.empty()) << run.out;               // the window prints nothing
}

TEST_F(ExecutableTest, RefusedRestoreClosesTheProgressWindowBeforeSayingWhy) {
  ASSERT_TRUE(BackUp(installation_.paths()).ok);
  const std::vector<BackupEntry> backups = ListBackups(Data());
  ASSERT_EQ(backups.size(), 1u);
  const std::vector<std::string> files = DataFileNames(backups[0].folder);
  const std::size_t faulty = 2;
  const std::string spoilt = backups[0].folder + "/" + files[faulty];
  fs::resize_file(spoilt, fs::file_size(spoilt) / 2);
  const auto [run, log] = PlayWindow(installation_.program_directory(), "refus",
                                     "input VERIRORU\n"
                                     "  pick SAUVEGARDES 1\n"
                                     "  press RST\n"
                                     "answer yes\n"
                                     "input VERIRORU press ESC\n");
  ASSERT_EQ(run.exit_code, 0) << run.err << log;

  std::vector<std::string> expected = ProgressOver(files, faulty + 1);
  expected.push_back("Erreur,Restauration refusée");
  expected.push_back("Ferme");
  EXPECT_EQ(ProgressCommands(log), expected) << log;
  EXPECT_THAT(log, HasSubstr("wd AFFICHE,INTITULE=Restauration de la sauvegarde du " +
                             backups[0].readable + " -> int=0"));
  EXPECT_THAT(log, HasSubstr("Erreur,Restauration refusée : " + files[faulty]));
}

TEST_F(ExecutableTest, WindowWithoutAnInstallationSaysWhyAndOffersNothing) {
  const auto [run, log] =
      PlayWindow("/", "perdu",
                 "expect error \"Fichier de paramètres ..\\\\FIC01\\\\PARAM.DTA introuvable : "
                 "lancez l'outil depuis le répertoire du logiciel ou indiquez --donnees "
                 "<répertoire>.\"\n"
                 "input VERIRORU press ESC\n");
  EXPECT_EQ(run.exit_code, 0) << run.err << log;
  EXPECT_THAT(log,
              HasSubstr("wd Ecran,Selection,-,BT_SAUVEGARDER,BT_VERIFIER,BT_RESTAURER -> int=0"));
}

TEST_F(ExecutableTest, AScenarioOfTheProgramThatStartedItIsLeftAlone) {
  const std::string scenario = installation_.root() + "/programme.scn";
  testing::WriteBytes(scenario, "input MENU press T04\ninput EX_MNUOUT press SVE\n");
  ToolRun run = Run(installation_.program_directory(), "", "VZ_SCENARIO='" + scenario + "'");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_THAT(run.err, HasSubstr("celui d'un autre programme"));
  EXPECT_FALSE(fs::exists(Data() + "/SAUVEGARDES"));
}

// The program's tools menu finds the tools program in its own directory and
// comes back to its menu; the tools program leaves the program's scenario to
// it.
TEST_F(ExecutableTest, StartedFromTheToolsMenuOfTheProgram) {
  const std::string program = VUZUVIZA_PATH;
  if (program.empty() || !fs::exists(program)) GTEST_SKIP() << "the program is not built";
  const fs::path suite = fs::path(installation_.program_directory()).parent_path();
  const fs::path here = installation_.program_directory();
  for (const char* file : {"ORVANE.wdl", "ORVANE.WDP"}) {
    fs::copy_file(fs::path(VZ_PROJECT_DIR) / file, suite / file);
  }
  fs::copy_file(program, here / "vuzuviza");
  fs::copy_file(VERIRORU_PATH, here / "veriroru");
  fs::copy_file(fs::path(VERIRORU_PATH).parent_path() / "VERIRORU.wdl", here / "VERIRORU.wdl");
  testing::WriteBytes((here / "VUZUVIZA .DPR").string(), "program vuzuviza;\n");
  const std::string scenario = installation_.root() + "/menu.scn";
  testing::WriteBytes(scenario,
                      "input MENU press T04\n"
                      "input EX_MNUOUT press RIX\n"
                      "input EX_MNUOUT press ESC\n"
                      "answer yes\n");
  const std::string err = installation_.root() + "/program-err.txt";
  const std::string command = "cd '" + here.string() +
                              "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                              "VZ_SCENARIO='" +
                              scenario + "' timeout 120 ./vuzuviza 2>'" + err + "' >/dev/null";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << FileBytes(err);
  EXPECT_THAT(FileBytes(err), HasSubstr("veriroru : le scénario"));
  EXPECT_FALSE(fs::exists(Data() + "/RAPPORTS"));
}

}  // namespace
}  // namespace vz::veriroru
