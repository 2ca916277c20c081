// The result screen's command sequences with the recording runtime: the
// window shown, each return code's action, the letters working on the chosen
// query's extraction and "RUB" extracting again with the new rubric lines.
#include "src/outputs/result_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/config/program_settings.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/outputs/extraction_test_support.h"
#include "tests/support/recording_runtime.h"

namespace vz::outputs {
namespace {

using testing::RecordingRuntime;
using testing::RuntimeAnswer;
using Lines = std::vector<std::string>;

constexpr std::string_view kQuery = "01000007";
constexpr std::string_view kOtherQuery = "01000008";

class ResultScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parameters_ = data_.database().data_directory() / "PARAM.DTA";
    std::ofstream(parameters_, std::ios::binary)
        << "[COMPOSANTS]\r\nEX_ETIQUETTE=10\t5\t2\t3\t36\t70\t3\t8\t\r\n";
    config::SetParameterFilePath(parameters_.string());
    data_.database().AddElementaryQuery(kQuery);
    data_.AddClient("010000011", "DURAND");
    data_.AddClient("010000021", "MARTIN");
  }
  void TearDown() override { config::SetParameterFilePath(config::kParameterFilePath); }

  // The adviser ends each input of a window with the next code.
  void PlayInputs(const std::vector<std::string>& codes) {
    std::vector<RuntimeAnswer> answers;
    for (const std::string& code : codes) answers.push_back(RuntimeAnswer{0, "", code});
    RecordingRuntime::Get().AnswerInTurn("ECRAN,SAISIE", answers);
  }
  // The program's own commands, without the window hooks the bridge adds.
  static Lines Commands() {
    Lines commands = RecordingRuntime::Get().Commands();
    std::erase_if(commands, [](const std::string& c) {
      return c.starts_with(
          "EX\xE9"
          "CUTE(");
    });
    return commands;
  }
  static long Count(const Lines& commands, std::string_view prefix) {
    return std::count_if(commands.begin(), commands.end(),
                         [&](const std::string& c) { return c.starts_with(prefix); });
  }

  ExtractionTestData data_;
  std::filesystem::path parameters_;
};

TEST_F(ResultScreenTest, TheWindowShowsTheLabelLayoutAndTheQuery) {
  PlayInputs({"ESC"});
  RunResultScreen(kQuery);
  EXPECT_EQ(Commands(),
            (Lines{"Ouvre,RESULTAT", "AFFICHE,MHAUTE=10", "AFFICHE,MGAUCHE=5", "AFFICHE,ESPV=2",
                   "AFFICHE,ESPH=3", "AFFICHE,HAUTEUR=36", "AFFICHE,LARGEUR=70", "AFFICHE,NBETIH=3",
                   "AFFICHE,NBETIV=8", "AFFICHE,REQUETE=01000007",
                   // The client list is filled once the window knows its query.
                   "Execute,CLIENTS.REMPLIR", "ECRAN,SAISIE", "Ferme"}));
}

TEST_F(ResultScreenTest, EachReturnCodeAndWhatFollowsIt) {
  struct Case {
    std::vector<std::string> inputs;
    long openings;
    long rubric_windows;
    long extractions;
  };
  const std::vector<Case> cases = {
      {{"ESC"}, 1, 0, 0},
      {{"XYZ", "", "ESC"}, 3, 0, 0},
      {{"RUB", "OK", "ESC"}, 2, 1, 1},
      {{"RUB", "ESC", "RUB", "OK", "ESC"}, 3, 2, 2},
  };
  for (const Case& c : cases) {
    RecordingRuntime::Get().Reset();
    PlayInputs(c.inputs);
    RunResultScreen(kQuery);
    const Lines commands = Commands();
    EXPECT_EQ(Count(commands, "Ouvre,RESULTAT"), c.openings) << c.inputs.front();
    EXPECT_EQ(Count(commands, "Ouvre,Rubrique"), c.rubric_windows) << c.inputs.front();
    EXPECT_EQ(Count(commands, "AFFICHE,LECODREQ=01000007"), c.rubric_windows);
    EXPECT_EQ(Count(commands, "Ouvre,EX_attente"), c.extractions) << c.inputs.front();
    EXPECT_EQ(commands.back(), "Ferme");
  }
}

TEST_F(ResultScreenTest, RubExtractsWithTheLinesJustChosen) {
  data_.WriteSelection(kQuery, {"010000011", "010000021"});
  RunExtractionDispatch(kQuery);
  EXPECT_EQ(data_.MergeFile(kQuery), "0002\r\n\r\n\r\n");
  RecordingRuntime::Get().Reset();
  // The adviser picks the name column in the rubric choice window.
  RecordingRuntime::Get().SetCommandHook([this](const std::string& command) {
    if (command == "Ouvre,Rubrique") data_.AddRubricLine(kQuery, "0000A", '*');
  });
  PlayInputs({"RUB", "OK", "ESC"});
  RunResultScreen(kQuery);
  EXPECT_EQ(data_.MergeLines(kQuery), (Lines{"0009"
                                             "0000A06\t",
                                             "DURAND\t", "MARTIN\t"}));
}

TEST_F(ResultScreenTest, LettersWorkOnTheChosenQueryNotTheLastExtracted) {
  data_.database().AddElementaryQuery(kOtherQuery);
  data_.WriteSelection(kQuery, {"010000011", "010000021"});
  data_.WriteSelection(kOtherQuery, {"010000021"});
  RunExtractionDispatch(kQuery);
  RunExtractionDispatch(kOtherQuery);  // SELECTES now names the other query
  RecordingRuntime::Get().Reset();
  PlayInputs({"LET", "ESC"});
  RunResultScreen(kQuery);
  const Lines commands = Commands();
  const auto first_close = std::find(commands.begin(), commands.end(), "Ferme");
  const auto clicks = std::count_if(commands.begin(), first_close, [](const std::string& c) {
    return c.find("BOUTON1") != std::string::npos;
  });
  EXPECT_EQ(clicks, 2) << "one letter per client of the chosen query, window still open";
  EXPECT_EQ(Count(commands, "Ouvre,RESULTAT"), 2);
}

// A code that cannot name SELECTES alone ("0100:001" the engine refuses,
// "0100a001" it folds onto 0100A001) opens nothing: the window would show the
// extraction SELECTES last named, and print that query's letters and labels.
TEST_F(ResultScreenTest, ACodeThatCannotNameSelectesOpensNothing) {
  data_.database().AddElementaryQuery(kOtherQuery);
  data_.WriteSelection(kOtherQuery, {"010000011", "010000021"});
  RunExtractionDispatch(kOtherQuery);  // SELECTES now names the other query
  for (const std::string code : {"0100:001", "0100a001"}) {
    SCOPED_TRACE(code);
    RecordingRuntime::Get().Reset();
    PlayInputs({"LET", "ESC"});
    RunResultScreen(code);
    const Lines commands = Commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_TRUE(commands[0].starts_with("Erreur,")) << commands[0];
    EXPECT_NE(commands[0].find(os::Cp1252("« ") + code + os::Cp1252(" »")), std::string::npos);
  }
  EXPECT_EQ(data_.Selected(kOtherQuery).size(), 2u);
}

}  // namespace
}  // namespace vz::outputs
