#include "src/startup/tools_menu.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/os/paths.h"
#include "src/screen/bridge_for_tests.h"
#include "src/screen/navigation.h"
#include "tests/support/recording_runtime.h"

namespace vz::startup {
namespace {

using ::testing::ElementsAreArray;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

class ToolsMenuFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().Reset();
    start_directory_ = os::CurrentDirectory();
  }
  void TearDown() override { os::ChangeDirectory(start_directory_); }

  static void AnswerInputs(const std::vector<std::string>& codes) {
    std::vector<RuntimeAnswer> inputs;
    for (const std::string& code : codes) inputs.push_back({0, "", code});
    RecordingRuntime::Get().AnswerInTurn("ECRAN,SAISIE", inputs);
  }

  std::string start_directory_;
};

// One tools menu session: the codes the user ends each input with, what must
// have run, and the code left for the main menu.
struct ToolsCase {
  const char* label;
  std::vector<std::string> inputs;
  std::vector<std::string> actions;
  std::string code_left;
};

class ToolsMenuTest : public ToolsMenuFixture, public ::testing::WithParamInterface<ToolsCase> {};

TEST_P(ToolsMenuTest, RunsTheToolsUntilACodeForTheMainMenu) {
  const ToolsCase& c = GetParam();
  AnswerInputs(c.inputs);
  std::vector<std::string> actions;
  MenuScreens screens;
  screens.label_parameters = [&actions] { actions.push_back("labels"); };
  screens.run_tools_program = [&actions](std::string_view program) {
    actions.push_back(std::string(program));
    return true;
  };

  RunToolsMenu(screens);

  EXPECT_THAT(actions, ElementsAreArray(c.actions));
  EXPECT_EQ(screen::NavigationCode(), c.code_left);
  std::vector<std::string> commands = RecordingRuntime::Get().Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "ECRAN,SAISIE"),
            static_cast<long>(c.inputs.size()));
  ASSERT_GE(commands.size(), 4u);
  EXPECT_EQ(commands[1], "Ouvre,EX_MNUOUT");
  EXPECT_EQ(commands.back(), "Ferme");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ToolsMenuTest,
    ::testing::Values(ToolsCase{"Escape", {"ESC"}, {}, "ESC"},
                      ToolsCase{"QueryList", {"T01"}, {}, "T01"},
                      ToolsCase{"Export", {"T02"}, {}, "T02"},
                      ToolsCase{"Agenda", {"T03"}, {}, "T03"},
                      ToolsCase{"Labels", {"ETI", "ESC"}, {"labels"}, "ESC"},
                      ToolsCase{"Backup", {"SVE", "T01"}, {"VERIRORU.EXE"}, "T01"},
                      ToolsCase{"Restore", {"RST", "ESC"}, {"VERIRORU.EXE"}, "ESC"},
                      ToolsCase{"Reindex", {"RIX", "T03"}, {"VERIRORU.EXE"}, "T03"},
                      ToolsCase{"Everything",
                                {"ETI", "SVE", "ETI", "RIX", "T02"},
                                {"labels", "VERIRORU.EXE", "labels", "VERIRORU.EXE"},
                                "T02"},
                      // Codes the tools menu does not know take input again.
                      ToolsCase{"MainMenuOwnCodes", {"T04", "MNU", "", "sve", "ESC"}, {}, "ESC"}),
    [](const ::testing::TestParamInfo<ToolsCase>& info) { return info.param.label; });

TEST_F(ToolsMenuFixture, FailedStartIsSilentAndTakesInputAgain) {
  AnswerInputs({"SVE", "ESC"});
  MenuScreens screens;
  int starts = 0;
  screens.run_tools_program = [&starts](std::string_view) {
    ++starts;
    EXPECT_EQ(screen::NavigationCode(), "SVE");
    return false;
  };
  RunToolsMenu(screens);
  EXPECT_EQ(starts, 1);
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    EXPECT_NE(command.rfind("Erreur,", 0), 0u) << command;
    EXPECT_NE(command.rfind("info,", 0), 0u) << command;
  }
}

TEST_F(ToolsMenuFixture, CurrentDirectoryComesBackAfterTheToolsProgram) {
  namespace fs = std::filesystem;
  fs::path elsewhere = fs::temp_directory_path() / ("vz_tools_" + std::to_string(getpid()));
  fs::create_directories(elsewhere);
  AnswerInputs({"RST", "ESC"});
  MenuScreens screens;
  std::string during;
  screens.run_tools_program = [&](std::string_view) {
    // A tools program run that leaves this process somewhere else.
    os::ChangeDirectory(elsewhere.string());
    during = os::CurrentDirectory();
    return true;
  };
  RunToolsMenu(screens);
  EXPECT_EQ(during, fs::canonical(elsewhere).string());
  EXPECT_EQ(os::CurrentDirectory(), start_directory_);
  fs::remove_all(elsewhere);
}

}  // namespace
}  // namespace vz::startup
