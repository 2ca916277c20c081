#include "src/startup/program_flow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
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
#include "src/screen/bridge_for_tests.h"
#include "src/screen/navigation.h"
#include "src/startup/startup_test_fixture.h"
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

// A copy of a small program under a name of its own, started twice.
class TwoRunningCopies {
 public:
  explicit TwoRunningCopies(const fs::path& directory) : program_(directory / "vzcopy") {
    fs::copy_file("/bin/sleep", program_, fs::copy_options::overwrite_existing);
    for (int i = 0; i < 2; ++i) {
      std::optional<os::ChildProcess> child = os::StartProcess(program_.string() + " 30");
      EXPECT_TRUE(child.has_value());
      if (child) children_.push_back(std::move(*child));
    }
    // Both must be running under the copy's name before the test counts them.
    for (int turn = 0; turn < 200 && util::CountProcesses(name()) < 2; ++turn) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~TwoRunningCopies() {
    for (os::ChildProcess& child : children_) {
      os::EndProcess(child.pid());
      child.Wait(5000);
    }
  }
  std::string name() const { return "VZCOPY.EXE"; }

 private:
  fs::path program_;
  std::vector<os::ChildProcess> children_;
};

TEST_F(ProgramFlowTest, SecondCopyIsRefusedWithoutTouchingAnything) {
  TwoRunningCopies copies(installation_.root());
  ASSERT_EQ(util::CountProcesses(copies.name()), 2);
  options_.instance_name = copies.name();
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

TEST_F(ProgramFlowTest, SecondCopyBesideItsProjectSourceIsAllowed) {
  TwoRunningCopies copies(installation_.root());
  options_.instance_name = copies.name();
  std::ofstream(installation_.program_directory() / "VZCOPY.DPR") << "program source\n";
  EXPECT_EQ(RunProgram(options_), 0);
  EXPECT_THAT(RecordingRuntime::Get().Commands(), Contains("Ouvre,MENU.WDW"));
}

}  // namespace
}  // namespace vz::startup
