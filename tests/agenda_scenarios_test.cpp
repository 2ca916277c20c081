// End-to-end sessions of the agenda: opened from the main menu, an
// appointment added through the window, a wrong date refused, and the way out
// with "T04" opening the tools menu; a second session finds the appointment in
// the list read from RDV.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/test_installation.h"

namespace vz {
namespace {

using testing::CommandsAndEngineCalls;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ProgramRunResult;

class AgendaScenarioTest : public testing::ProgramScenarioTest {
 protected:
  AgendaScenarioTest() : ProgramScenarioTest("e2e_agenda_", VZ_PROGRAM_PATH, VZ_PROJECT_DIR) {}

  static long IndexOf(const std::vector<std::string>& lines, const std::string& line,
                      long from = 0) {
    auto it = std::find(lines.begin() + from, lines.end(), line);
    return it == lines.end() ? -1 : static_cast<long>(it - lines.begin());
  }
};

TEST_F(AgendaScenarioTest, AddFromTheMainMenuThenLeaveForTheToolsMenu) {
  ProgramRunResult result =
      Run("input MENU press T03\n"
          "input AGENDA\n"
          "  type DATE_RDV \"15/01/2027\"\n"
          "  type HEURE_RDV \"9h30\"\n"
          "  type OBJET_RDV \"Bilan patrimonial\"\n"
          "  type NOTES_RDV \"Avis d'imposition à apporter\"\n"
          "  click BT_AJOUTER\n"
          "  pick TABLE_RDV OBJET \"Bilan patrimonial\"\n"
          "  press ACT\n"
          "input AGENDA\n"
          "  type DATE_RDV \"30/02/2027\"\n"
          "  type HEURE_RDV \"10:00\"\n"
          "  type OBJET_RDV \"Date impossible\"\n"
          "  click BT_AJOUTER\n"
          "  press T04\n"
          "input EX_MNUOUT press ESC\n"
          "answer yes \"Désirez vous quitter le logiciel ?\"\n");
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  // The wrong date was refused with its message, and only the first written.
  EXPECT_THAT(result.transcript, HasSubstr("La date du rendez-vous doit être une date valide"));
  // The list is filled again after "ACT", by the window's own code.
  EXPECT_THAT(result.transcript, HasSubstr("wd Execute,TABLE_RDV.REMPLIR -> int=0"));
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd ! "))) << Describe(result);
  const std::vector<std::string> lines = CommandsAndEngineCalls(result.transcript);
  const long agenda = IndexOf(lines, "wd Ouvre,AGENDA");
  ASSERT_GE(agenda, 0) << Describe(result);
  const long refresh = IndexOf(lines, "wd Execute,TABLE_RDV.REMPLIR", agenda);
  const long tools = IndexOf(lines, "wd Ouvre,EX_MNUOUT", agenda);
  EXPECT_GT(refresh, agenda) << Describe(result);
  EXPECT_GT(tools, refresh) << Describe(result);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "LE_Hajoute RDV"), 1) << Describe(result);

  // A new session shows the appointment, read from RDV, with its time.
  ProgramRunResult again =
      Run("input MENU press T03\n"
          "input AGENDA\n"
          "  pick TABLE_RDV HEURE \"09:30\"\n"
          "  click BT_REPRENDRE\n"
          "  press T02\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(again.exit_code, 0) << Describe(again);
  EXPECT_THAT(again.transcript, Not(HasSubstr("wd ! ")));
}

TEST_F(AgendaScenarioTest, EscapeAsksTheQuitQuestionAndT01OpensTheQueryList) {
  ProgramRunResult result =
      Run("input MENU press T03\n"
          "input AGENDA press ESC\n"
          "answer no \"Désirez vous quitter le logiciel ?\"\n"
          "input MENU press T03\n"
          "input AGENDA press T01\n"
          "input LSTSEL press T02\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  const std::vector<std::string> lines = CommandsAndEngineCalls(result.transcript);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "wd Ouvre,AGENDA"), 2) << Describe(result);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "wd Ferme"), 4) << Describe(result);
}

}  // namespace
}  // namespace vz
