#include "src/startup/program_flow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/engine/le_api.h"
#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "platform/os/processes.h"
#include "src/config/parameter_file.h"
#include "src/db/data_directory_use.h"
#include "src/screen/bridge_for_tests.h"
#include "src/screen/navigation.h"
#include "src/startup/data_directory_hold.h"
#include "src/startup/instance_guard.h"
#include "src/startup/startup_test_fixture.h"
#include "src/startup/tools_menu.h"
#include "src/util/process_services.h"
#include "tests/support/call_order_log.h"
#include "tests/support/recording_runtime.h"
#include "tests/support/test_installation.h"

namespace vz::startup {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using vz::testing::CallOrderLog;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;
using vz::testing::RuntimeCall;

class ProgramFlowTest : public StartupTest {
 protected:
  ProgramFlowTest() : StartupTest("startup_flow") {}

  void SetUp() override {
    StartupTest::SetUp();
    if (HasFatalFailure()) return;
    RecordingRuntime& runtime = RecordingRuntime::Get();
    runtime.Answer("ECRAN,SAISIE", RuntimeAnswer{0, "", "ESC"});
    runtime.Answer("OUINON,", RuntimeAnswer{1, "", std::nullopt});

    // Screens that only note that they ran.
    options_.instance_name = "VZ NO SUCH PROGRAM.EXE";
    options_.screens.query_list = [this] { Ran("T01"); };
    options_.screens.agenda = [this] { Ran("T03"); };
    options_.screens.tools_menu = [this] { Ran("T04"); };
  }
  void TearDown() override {
    util::SetScreenCommandSender(nullptr);
    StartupTest::TearDown();
  }
  void Ran(const std::string& screen) {
    screens_run_.push_back(screen);
    screen::SetNavigationCode("ESC");
  }

  ProgramOptions options_;
  std::vector<std::string> screens_run_;
};

TEST_F(ProgramFlowTest, StartsRunsTheMenuAndShutsDown) {
  RecordingRuntime::Get().AnswerInTurn("ECRAN,SAISIE",
                                       {RuntimeAnswer{0, "", "T03"}, RuntimeAnswer{0, "", "ESC"}});
  EXPECT_EQ(RunProgram(options_), 0);
  EXPECT_THAT(screens_run_, ElementsAre("T03"));
  std::vector<std::string> verbs = CallOrderLog::Verbs();
  ASSERT_GE(verbs.size(), 6u);
  EXPECT_EQ(verbs.front(), "wd BIBLI,disque,ORVANE.wdl");
  // The menu opens after the last engine setting and the check of the
  // client and query files, and shutdown follows it.
  auto menu = std::find(verbs.begin(), verbs.end(), "wd Ouvre,MENU.WDW");
  ASSERT_NE(menu, verbs.end());
  EXPECT_EQ(*(menu - 6), "LE_Hsetnbessaismessage");
  EXPECT_EQ(*(menu - 2), "LE_Hnbenr");
  EXPECT_THAT(std::vector<std::string>(verbs.end() - 4, verbs.end()),
              ElementsAre("wd Ferme", "wd Projet,", "LE_Hferme", "(descriptions: 103)"));
  const auto& calls = RecordingRuntime::Get().calls();
  EXPECT_EQ(calls.front().kind, RuntimeCall::Kind::kInit);
  EXPECT_EQ(calls.back().kind, RuntimeCall::Kind::kTerm);
  EXPECT_EQ(config::ListSeparator(), '\t');
}

TEST_F(ProgramFlowTest, ToolsProgramWaitKeepsTheWindowsAlive) {
  ASSERT_EQ(RunProgram(options_), 0);
  RecordingRuntime::Get().Reset();
  // The wait for a child program sends its event command through the bridge.
  ASSERT_TRUE(util::RunAndWait("sleep", "0.5"));
  EXPECT_THAT(RecordingRuntime::Get().Commands(), Contains("MULTITACHE,-2"));
}

TEST_F(ProgramFlowTest, MissingWindowLibraryEndsWithoutMenu) {
  RecordingRuntime::Get().Answer("BIBLI,", RuntimeAnswer{2, "", std::nullopt});
  EXPECT_EQ(RunProgram(options_), kExitStopped);
  EXPECT_TRUE(screens_run_.empty());
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    EXPECT_NE(command, "Ouvre,MENU.WDW");
    EXPECT_NE(command, "PROJET,ORVANE.WDP");
  }
  EXPECT_EQ(RecordingRuntime::Get().term_count(), 1);
}

// Another copy of the program, started by this user from `installation`: a
// child process that holds the single-instance guard until it is killed.
class RunningCopy {
 public:
  RunningCopy(const std::string& program, const fs::path& installation) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      InstanceGuard guard = TakeInstanceGuard(program, installation.string());
      const char held = guard.lock.held() ? 'y' : 'n';
      if (::write(ready[1], &held, 1) != 1) ::_exit(1);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    char held = 'n';
    EXPECT_TRUE(::read(ready[0], &held, 1) == 1 && held == 'y');
    ::close(ready[0]);
  }
  ~RunningCopy() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = 0;
};

TEST_F(ProgramFlowTest, SecondCopyIsRefusedWithoutTouchingAnything) {
  RunningCopy copy(options_.instance_name, installation_.program_directory());
  const std::string parameters_before = installation_.ReadParameterFile();

  EXPECT_EQ(RunProgram(options_), kExitAlreadyRunning);

  EXPECT_THAT(RecordingRuntime::Get().Commands(),
              ElementsAre(os::Cp1252("Erreur,Le logiciel est déjà actif !")));
  EXPECT_THAT(CallOrderLog::Verbs(),
              ElementsAre("wd " + os::Cp1252("Erreur,Le logiciel est déjà actif !")));
  EXPECT_EQ(RecordingRuntime::Get().term_count(), 0);
  EXPECT_TRUE(screens_run_.empty());
  EXPECT_EQ(installation_.ReadParameterFile(), parameters_before);
  EXPECT_EQ(config::ListSeparator(), ',');
}

// Only copies of this installation count: a copy of the program running
// from another installation (or any other program) does not block this one.
TEST_F(ProgramFlowTest, CopiesOfOtherInstallationsDoNotBlock) {
  const fs::path elsewhere = installation_.root() / "AUTRE" / "PROG";
  fs::create_directories(elsewhere);
  RunningCopy other_installation(options_.instance_name, elsewhere);
  RunningCopy other_program("VERIRORU.EXE", installation_.program_directory());
  EXPECT_EQ(RunProgram(options_), 0);
  EXPECT_THAT(RecordingRuntime::Get().Commands(), Contains("Ouvre,MENU.WDW"));
}

TEST_F(ProgramFlowTest, SecondCopyBesideItsProjectSourceIsAllowed) {
  options_.instance_name = "VZCOPY.EXE";
  RunningCopy copy(options_.instance_name, installation_.program_directory());
  std::ofstream(installation_.program_directory() / "VZCOPY.DPR") << "program source\n";
  EXPECT_EQ(RunProgram(options_), 0);
  EXPECT_THAT(RecordingRuntime::Get().Commands(), Contains("Ouvre,MENU.WDW"));
}

// A restore stopped half-way leaves the data files a mix of two states: the
// program says so at start-up and runs no selection until it is finished.
TEST_F(ProgramFlowTest, UnfinishedRestoreIsToldAndSelectionsAreRefused) {
  const fs::path kept =
      installation_.data_directory() / "SAUVEGARDES" / "avant-restauration-20261208-102040";
  fs::create_directories(kept);
  std::ofstream(kept / "RESTAURATION-INACHEVEE.TXT") << "Restauration commencée\n";
  bool selection_ran = false;
  options_.screens.query_list = [this, &selection_ran] {
    Ran("T01");
    selection_ran = !RefusedForRestore("la sélection n'est pas lancée");
  };
  RecordingRuntime::Get().AnswerInTurn("ECRAN,SAISIE",
                                       {RuntimeAnswer{0, "", "T01"}, RuntimeAnswer{0, "", "ESC"}});
  EXPECT_EQ(RunProgram(options_), 0);
  EXPECT_FALSE(selection_ran);
  std::vector<std::string> boxes;
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    if (command.rfind("Erreur,", 0) == 0) boxes.push_back(os::Utf8(command));
  }
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_THAT(boxes[0], ::testing::HasSubstr("a été interrompue"));
  EXPECT_THAT(boxes[0], ::testing::HasSubstr("les sélections sont refusées"));
  EXPECT_THAT(boxes[1], ::testing::HasSubstr(kept.string()));
  EXPECT_THAT(boxes[1], ::testing::HasSubstr("la sélection n'est pas lancée"));

  // Once the restore is finished, selections run again.
  fs::remove(kept / "RESTAURATION-INACHEVEE.TXT");
  EXPECT_EQ(RestoreRefusal("la sélection n'est pas lancée"), "");
}

// The program holds its data directory: a restore cannot take it, except
// while the tools menu runs the tools program.
TEST_F(ProgramFlowTest, TheDataDirectoryIsHeldWhileTheProgramRuns) {
  const std::string data = installation_.data_directory().string();
  bool free_for_tools = false;
  bool free_in_menu = true;
  options_.screens.tools_menu = [&] {
    free_in_menu = db::LockDataDirectory(data, os::FileLock::Mode::kExclusive).held();
    MenuScreens tools = options_.screens;
    tools.run_tools_program = [&](std::string_view) {
      free_for_tools = db::LockDataDirectory(data, os::FileLock::Mode::kExclusive).held();
      return true;
    };
    RecordingRuntime::Get().AnswerInTurn(
        "ECRAN,SAISIE", {RuntimeAnswer{0, "", "RST"}, RuntimeAnswer{0, "", "ESC"}});
    RunToolsMenu(tools);
    screen::SetNavigationCode("ESC");
  };
  RecordingRuntime::Get().AnswerInTurn("ECRAN,SAISIE", {RuntimeAnswer{0, "", "T04"}});
  EXPECT_EQ(RunProgram(options_), 0);
  EXPECT_FALSE(free_in_menu);
  EXPECT_TRUE(free_for_tools);
  // Ended: free again.
  EXPECT_TRUE(db::LockDataDirectory(data, os::FileLock::Mode::kExclusive).held());
}

}  // namespace
}  // namespace vz::startup
