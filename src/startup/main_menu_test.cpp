#include "src/startup/main_menu.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/screen/bridge_for_tests.h"
#include "src/screen/navigation.h"
#include "tests/support/recording_runtime.h"

namespace vz::startup {
namespace {

using ::testing::ElementsAreArray;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

const std::string kQuestion = os::Cp1252("OUINON,Désirez vous quitter le logiciel ?");

// One main menu session: the codes the user ends each menu input with, the
// answers to the quit question, the codes each sub-screen leaves behind in
// turn, and the screens that must run, in order.
struct MenuCase {
  const char* label;
  std::vector<std::string> menu_inputs;
  std::vector<int> quit_answers;
  std::vector<std::string> screen_exits;  // taken in turn by every sub-screen
  std::vector<std::string> screens_run;
  int questions_asked;
};

class MenuFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().Reset();
  }
};

class MainMenuTest : public MenuFixture, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MainMenuTest, DispatchesTheNavigationCode) {
  const MenuCase& c = GetParam();
  RecordingRuntime& runtime = RecordingRuntime::Get();
  std::vector<RuntimeAnswer> inputs;
  for (const std::string& code : c.menu_inputs) inputs.push_back({0, "", code});
  runtime.AnswerInTurn("ECRAN,SAISIE", inputs);
  std::vector<RuntimeAnswer> answers;
  for (int answer : c.quit_answers) answers.push_back({answer, "", std::nullopt});
  runtime.AnswerInTurn("OUINON,", answers);

  std::deque<std::string> exits(c.screen_exits.begin(), c.screen_exits.end());
  std::vector<std::string> run;
  auto screen = [&](const char* name) {
    return [&run, &exits, name] {
      run.push_back(name);
      ASSERT_FALSE(exits.empty()) << "screen " << name << " ran once too often";
      screen::SetNavigationCode(exits.front());
      exits.pop_front();
    };
  };
  MenuScreens screens;
  screens.query_list = screen("T01");
  screens.agenda = screen("T03");
  screens.tools_menu = screen("T04");

  RunMainMenu(screens);

  EXPECT_THAT(run, ElementsAreArray(c.screens_run));
  std::vector<std::string> commands = runtime.Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "ECRAN,SAISIE"),
            static_cast<long>(c.menu_inputs.size()));
  EXPECT_EQ(std::count(commands.begin(), commands.end(), kQuestion), c.questions_asked);
  ASSERT_GE(commands.size(), 4u);
  EXPECT_EQ(commands[1], "Ouvre,MENU.WDW");
  EXPECT_EQ(commands.back(), "Ferme");
  EXPECT_EQ(screen::NavigationCode(), "ESC");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, MainMenuTest,
    ::testing::Values(
        MenuCase{"QuitYes", {"ESC"}, {1}, {}, {}, 1},
        MenuCase{"QuitNoThenYes", {"ESC", "ESC"}, {0, 1}, {}, {}, 2},
        MenuCase{"NonZeroIsYes", {"ESC"}, {-7}, {}, {}, 1},
        MenuCase{"QueryListThenQuit", {"T01", "ESC"}, {1}, {"MNU"}, {"T01"}, 1},
        MenuCase{"AgendaThenQuit", {"T03", "ESC"}, {1}, {"MNU"}, {"T03"}, 1},
        MenuCase{"ToolsThenQuit", {"T04", "ESC"}, {1}, {"T02"}, {"T04"}, 1},
        // A screen's code leads straight to the next screen.
        MenuCase{"ChainOfScreens",
                 {"T01"},
                 {1},
                 {"T03", "T04", "T01", "ESC"},
                 {"T01", "T03", "T04", "T01"},
                 1},
        MenuCase{"AgendaToTools", {"T03"}, {1}, {"T04", "ESC"}, {"T03", "T04"}, 1},
        MenuCase{"EscapeFromQueryList", {"T01"}, {1}, {"ESC"}, {"T01"}, 1},
        MenuCase{"EscapeFromAgendaDeclined", {"T03", "ESC"}, {0, 1}, {"ESC"}, {"T03"}, 2},
        // Codes no screen handles go back to the menu's input.
        MenuCase{"QueryListLeavesT02", {"T01", "ESC"}, {1}, {"T02"}, {"T01"}, 1},
        MenuCase{"UnknownCodes", {"T02", "", "XYZ", "MNU", "esc", "ESC"}, {1}, {}, {}, 1},
        MenuCase{"LongCodeCut", {"ESCAPE"}, {1}, {}, {}, 1},
        MenuCase{"ScreenLeavesEmpty", {"T04", "ESC"}, {1}, {""}, {"T04"}, 1}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return info.param.label; });

TEST_F(MenuFixture, ClearsAnOldNavigationCodeBeforeTheFirstInput) {
  screen::SetNavigationCode("T01");
  RecordingRuntime::Get().Answer("ECRAN,SAISIE", RuntimeAnswer{0, "", "ESC"});
  RecordingRuntime::Get().Answer("OUINON,", RuntimeAnswer{1, "", std::nullopt});
  MenuScreens screens;
  int runs = 0;
  screens.query_list = screens.agenda = screens.tools_menu = [&runs] { ++runs; };
  RunMainMenu(screens);
  EXPECT_EQ(runs, 0);
}

TEST_F(MenuFixture, ProgramScreensAreAllWiredAndPlaceholdersComeBackToTheMenu) {
  MenuScreens screens = DefaultMenuScreens();
  EXPECT_TRUE(screens.query_list && screens.agenda && screens.tools_menu &&
              screens.label_parameters && screens.run_tools_program);
  for (const auto& placeholder : {std::function<void()>(RunQueryListPlaceholder),
                                  std::function<void()>(RunAgendaPlaceholder)}) {
    screen::SetNavigationCode("T01");
    placeholder();
    EXPECT_EQ(screen::NavigationCode(), "MNU");
  }
  EXPECT_TRUE(RecordingRuntime::Get().Commands().empty());
  // A tools program that cannot be found is a failed start, not a crash.
  EXPECT_FALSE(screens.run_tools_program("VZ NO SUCH TOOL.EXE"));
}

}  // namespace
}  // namespace vz::startup
