#include "src/outputs/agenda_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/screen/bridge_for_tests.h"
#include "src/screen/navigation.h"
#include "tests/support/recording_runtime.h"

namespace vz::outputs {
namespace {

using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

class AgendaScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().Reset();
    screen::SetNavigationCode("T03");
  }

  // The user ends successive inputs with these codes.
  void PlayCodes(const std::vector<std::string>& codes) {
    std::vector<RuntimeAnswer> answers;
    for (const std::string& code : codes) answers.push_back(RuntimeAnswer{0, "", code});
    RecordingRuntime::Get().AnswerInTurn("ECRAN,SAISIE", answers);
  }

  int Count(std::string_view command) {
    int count = 0;
    for (const std::string& sent : RecordingRuntime::Get().Commands()) count += sent == command;
    return count;
  }
};

TEST_F(AgendaScreenTest, StaysOpenUntilALeavingCodeAndKeepsIt) {
  struct Case {
    std::vector<std::string> codes;
    int inputs;
    std::string navigation;
  };
  const Case cases[] = {
      {{"T01"}, 1, "T01"},
      {{"T02"}, 1, "T02"},
      {{"T04"}, 1, "T04"},
      {{"ESC"}, 1, "ESC"},
      {{"ACT", "T02"}, 2, "T02"},
      // Codes of other screens, unknown, empty, lower case or longer: the
      // agenda stays open.
      {{"T03", "", "t01", "TF0", "LAN", "T0", "ESC"}, 7, "ESC"},
  };
  for (const Case& c : cases) {
    SetUp();
    PlayCodes(c.codes);
    RunAgendaScreen();
    SCOPED_TRACE(c.navigation);
    EXPECT_EQ(Count("ECRAN,SAISIE"), c.inputs);
    EXPECT_EQ(screen::NavigationCode(), c.navigation);
    const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back(), "Ferme");
    EXPECT_EQ(Count("Ouvre,AGENDA"), 1);
    EXPECT_EQ(Count("Ferme"), 1);
    // Every input that keeps the agenda open refreshes its list.
    EXPECT_EQ(Count("Execute,TABLE_RDV.REMPLIR"), Count("ECRAN,SAISIE") - 1);
  }
}

TEST_F(AgendaScreenTest, CommandsInOrder) {
  PlayCodes({"ACT", "T04"});
  RunAgendaScreen();
  const std::vector<std::string> expected = {
      "EX\xE9"
      "CUTE(\"OUVREFEN\",\"AGENDA\")",
      "Ouvre,AGENDA",
      "ECRAN,SAISIE",
      "Execute,TABLE_RDV.REMPLIR",
      "ECRAN,SAISIE",
      "EX\xE9"
      "CUTE(\"FermeFen\")",
      "Ferme"};
  EXPECT_EQ(RecordingRuntime::Get().Commands(), expected);
}

TEST_F(AgendaScreenTest, AWindowThatDoesNotOpenIsReportedNeverWaitedOn) {
  RecordingRuntime::Get().Answer("Ouvre,AGENDA", RuntimeAnswer{-1, "", std::nullopt});
  PlayCodes({"T01"});
  RunAgendaScreen();
  EXPECT_EQ(Count("ECRAN,SAISIE"), 0);
  EXPECT_EQ(Count("Ferme"), 0);  // the window below stays open
  EXPECT_EQ(screen::NavigationCode(), "MNU");
  const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.back().rfind("Erreur,", 0), 0u);
}

TEST(LeavesAgendaTest, OnlyTheFourLeavingCodes) {
  for (std::string_view code : {"T01", "T02", "T04", "ESC"}) EXPECT_TRUE(LeavesAgenda(code));
  for (std::string_view code : {"T03", "", "esc", "T01 ", "ACT", "MNU", "TF0"}) {
    EXPECT_FALSE(LeavesAgenda(code)) << code;
  }
}

}  // namespace
}  // namespace vz::outputs
