// The letters as the adviser follows them: the progress window above the
// result window, a stop between two letters, the end sent to the result
// window, and the refusal of a query whose extraction holds nobody.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/outputs/letters.h"
#include "src/outputs/letters_test_fixture.h"
#include "tests/support/recording_runtime.h"

namespace vz::outputs {
namespace {

using testing::RecordingRuntime;
using testing::RuntimeAnswer;

// The commands sent, without the field reads and the switch tests.
std::vector<std::string> Sent(std::string_view prefix) {
  std::vector<std::string> found;
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    if (command.rfind(prefix, 0) == 0) found.push_back(command);
  }
  return found;
}

size_t Position(const std::string& command) {
  const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
  return static_cast<size_t>(std::find(commands.begin(), commands.end(), command) -
                             commands.begin());
}

TEST_F(LettersTest, AQueryWithNobodyExtractedIsRefusedAsTheLabelsAre) {
  WriteTemplate("#0000A");
  ProduceLetters();
  EXPECT_EQ(ClickCount(), 0);
  EXPECT_EQ(Sent("Erreur,"), std::vector<std::string>{os::Cp1252(
                                 "Erreur,Aucune personne extraite pour cette requête. Lancez "
                                 "d'abord la requête.")});
  EXPECT_TRUE(Sent("Ouvre,").empty()) << "no progress window";
  EXPECT_TRUE(Sent("Execute,BOUTON1.FIN").empty());
}

TEST_F(LettersTest, TheProgressWindowCountsTheLettersAndTheEndGoesToTheResultWindow) {
  WriteTemplate("#0000A");
  AddClient("010000011", "DUPONT");
  AddClient("010000021", "MARTIN");
  Select("010000011", "75001");
  Select("010000021", "13001");
  RecordingRuntime::Get().fields()["REQUETE"] = "01000042";
  ProduceLetters();
  EXPECT_EQ(ClickCount(), 2);
  EXPECT_EQ(Sent("Ouvre,"), std::vector<std::string>{"Ouvre,EX_LETTRES"});
  EXPECT_EQ(Sent("AFFICHE,INTITULE="),
            (std::vector<std::string>{"AFFICHE,INTITULE=Lettre 1 sur 2",
                                      "AFFICHE,INTITULE=Lettre 2 sur 2"}));
  EXPECT_EQ(Sent("AFFICHE,NBTOTAL="), std::vector<std::string>{"AFFICHE,NBTOTAL=2"});
  // The progress window names what its merge button writes.
  EXPECT_EQ(RecordingRuntime::Get().fields()["Nom_Lettre"], "LETTRE.RTF");
  EXPECT_EQ(RecordingRuntime::Get().fields()["REQUETE"], "01000042");
  EXPECT_EQ(Sent("Ecran,Arret").size(), 2u) << "asked after each letter";
  // The progress window goes before the result window ends the letters.
  EXPECT_LT(Position("Ferme"), Position("Execute,BOUTON1.FIN"));
  EXPECT_EQ(Sent("Execute,BOUTON1.FIN").size(), 1u);
}

TEST_F(LettersTest, AStopEndsTheLettersAfterTheCurrentOne) {
  WriteTemplate("#0000A");
  for (const char* code : {"010000011", "010000021", "010000031", "010000041"}) {
    AddClient(code, "CLIENT");
    Select(code, "75001");
  }
  RecordingRuntime::Get().AnswerInTurn("Ecran,Arret",
                                       {RuntimeAnswer{0, "", {}}, RuntimeAnswer{1, "", {}}});
  ProduceLetters();
  EXPECT_EQ(ClickCount(), 2);
  EXPECT_EQ(Sent("AFFICHE,INTITULE=").back(), "AFFICHE,INTITULE=Lettre 2 sur 4");
  EXPECT_EQ(Sent("Execute,BOUTON1.FIN").size(), 1u) << "the letters written are put in place";
}

}  // namespace
}  // namespace vz::outputs
