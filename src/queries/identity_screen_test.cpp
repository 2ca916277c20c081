#include "src/queries/identity_screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/config/parameter_file.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"

namespace vz::queries {
namespace {

using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::Not;
using vz::testing::CloseWindowHook;
using vz::testing::OpenWindowHook;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

using Typed = std::map<std::string, std::string>;

class IdentityScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().Reset();
    config::SetListSeparator('\t');
  }
  void TearDown() override { config::SetListSeparator(','); }

  // The user ends each input with the next of `codes`, after typing `typed`
  // the first time.
  void PlayInputs(std::vector<std::string> codes, Typed typed = {}) {
    std::vector<RuntimeAnswer> answers;
    for (std::string& code : codes) answers.push_back(RuntimeAnswer{0, "", std::move(code)});
    RecordingRuntime::Get().AnswerInTurn("ECRAN,SAISIE", answers);
    RecordingRuntime::Get().SetCommandHook([typed, done = false](const std::string& c) mutable {
      if (c != "ECRAN,SAISIE" || done) return;
      for (const auto& [field, text] : typed) RecordingRuntime::Get().fields()[field] = text;
      done = true;
    });
  }
  // The list `list` shows row `row`, whose text is `text`, as selected.
  void ListOnRow(const std::string& list, int row, const std::string& text) {
    RecordingRuntime::Get().Answer("Liste,Select,?," + list, RuntimeAnswer{row, "", {}});
    RecordingRuntime::Get().fields()[list] = text;
  }
  static std::vector<std::string> Commands() { return RecordingRuntime::Get().Commands(); }
  static std::vector<QueryLine> Lines(const QueryWorkingSet& lines) {
    std::vector<QueryLine> result;
    for (int i = 1; i <= lines.LineCount(); ++i) result.push_back(lines.Line(i));
    return result;
  }
  static void ExpectLines(const QueryWorkingSet& lines, const std::vector<QueryLine>& expected) {
    std::vector<QueryLine> got = Lines(lines);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].key, expected[i].key) << "line " << i + 1;
      EXPECT_EQ(got[i].text, expected[i].text) << "line " << i + 1;
    }
  }
};

const std::string kMarried = os::Cp1252("Marié") + "\tM";

TEST_F(IdentityScreenTest, ShowsEveryStoredCriterionWithTheExactCommands) {
  QueryWorkingSet lines;
  lines.AppendLine("TITRE*******", "20260101\tTitre\t\t\t\t\t\t\t\t");
  lines.AppendLine("AGECLI******", "30\t\t");
  lines.AppendLine("FAMPRO******", "Cadres\t12\t");
  lines.AppendLine("NOMCLI******", "A\tB\t");
  lines.AppendLine("PROFES******", "Ingenieur\t120\t");
  lines.AppendLine("SITFAM******", kMarried + "\t");
  lines.AppendLine("VILLE*******", "PARIS\t");
  lines.AppendLine("", "removed\t");
  lines.AppendLine("ANNI********", "01/02\t__/__\t");
  lines.AppendLine("REGMAT******", "Communaute\tC01\t");
  RecordingRuntime& runtime = RecordingRuntime::Get();
  runtime.Answer("Liste,Cherche,SITFAM,", RuntimeAnswer{3, "", {}});
  runtime.Answer("Liste,Cherche,REGMAT,", RuntimeAnswer{12, "", {}});
  runtime.Answer("Liste,Cherche,FAMPRO1,", RuntimeAnswer{2, "", {}});
  runtime.Answer("Liste,Cherche,PROFES1,", RuntimeAnswer{7, "", {}});
  PlayInputs({"ESC"});

  RunIdentityCriteriaScreen(lines);

  EXPECT_THAT(Commands(), ElementsAreArray(std::vector<std::string>{
                              OpenWindowHook("SEL01A,10,10"),
                              "Ouvre,SEL01A,10,10",
                              "AFFICHE,AGE1DEB=30",
                              "AFFICHE,AGE1FIN=",
                              "Liste,Cherche,FAMPRO1,Cadres\t12",
                              "Liste,Select,+,FAMPRO1, 2",
                              "Execute,FAMPRO1.MODIFICATION",
                              "AFFICHE,NOM1DEB=A",
                              "AFFICHE,NOM1FIN=B",
                              "Ecran,Selection,+,LIBELLE11",
                              "Ecran,Selection,+,PROFES1",
                              "Liste,Cherche,PROFES1,Ingenieur\t120",
                              "Liste,Select,+,PROFES1, 7",
                              "Liste,Cherche,SITFAM," + kMarried,
                              "Liste,Select,+,SITFAM, 3",
                              "AFFICHE,VILLE1=PARIS",
                              "AFFICHE,ANNI1DEB=01/02",
                              "AFFICHE,ANNI1FIN=__/__",
                              "Liste,Cherche,REGMAT,Communaute\tC01",
                              "Liste,Select,+,REGMAT,12",
                              "ECRAN,SAISIE",
                              CloseWindowHook(),
                              "Ferme",
                          }));
}

TEST_F(IdentityScreenTest, ListValuesWithoutChoiceOrNotFound) {
  QueryWorkingSet lines;
  lines.AppendLine("FAMPRO******", " \t-1\t");
  lines.AppendLine("PROFES******", " \t-1\t");
  lines.AppendLine("SITFAM******", "Inconnu\tZ\t");  // not in the list: Cherche gives 0
  PlayInputs({"ESC"});
  RunIdentityCriteriaScreen(lines);
  EXPECT_THAT(Commands(), ElementsAreArray(std::vector<std::string>{
                              OpenWindowHook("SEL01A,10,10"),
                              "Ouvre,SEL01A,10,10",
                              "Ecran,Selection,+,LIBELLE11",
                              "Liste,Cherche,SITFAM,Inconnu\tZ",
                              "ECRAN,SAISIE",
                              CloseWindowHook(),
                              "Ferme",
                          }));
}

TEST_F(IdentityScreenTest, ValidationStoresTheTypedCriteriaInOrder) {
  QueryWorkingSet lines;
  lines.AppendLine("TITRE*******", "t\t");
  PlayInputs({"TF0"}, {{"NOM1DEB", "DUPONT"},
                       {"DOS1DEB", "000100"},
                       {"DOS1FIN", "000200"},
                       {"CP1FIN", "75999"},
                       {"VILLE1", "LYON"},
                       {"AGE1DEB", "60"},
                       {"AGE1FIN", "40"},  // reversed: stored as typed
                       {"ANNI1DEB", "__/__"},
                       {"ANNI1FIN", "31/12"}});
  ListOnRow("SITFAM", 3, kMarried);
  ListOnRow("REGMAT", 1, "Aucun\t-1");  // first row: no choice
  ListOnRow("FAMPRO1", 2, "Cadres\t12");
  ListOnRow("PROFES1", 5, "Ingenieur\t120");

  RunIdentityCriteriaScreen(lines);

  ExpectLines(lines, {{"TITRE*******", "t\t"},
                      {"NOMCLI******", "DUPONT\t\t"},
                      {"NUMDOS******", "000100\t000200\t"},
                      {"CODPOST*****", "\t75999\t"},
                      {"VILLE*******", "LYON\t"},
                      {"AGECLI******", "60\t40\t"},
                      {"ANNI********", "__/__\t31/12\t"},
                      {"SITFAM******", kMarried + "\t"},
                      {"FAMPRO******", "Cadres\t12\t"},
                      {"PROFES******", "Ingenieur\t120\t"}});
  const std::vector<std::string> commands = Commands();
  EXPECT_EQ(commands.back(), "Ferme");
  for (const char* list : {"SITFAM", "REGMAT", "FAMPRO1", "PROFES1"}) {
    EXPECT_THAT(commands, Contains(std::string("Liste,Select,?,") + list));
  }
}

TEST_F(IdentityScreenTest, ClearedCriteriaAreRemovedAndEmptyOnesNotAdded) {
  QueryWorkingSet lines;
  lines.AppendLine("NOMCLI******", "A\tB\t");
  lines.AppendLine("SITFAM******", kMarried + "\t");
  lines.AppendLine("VILLE*******", "PARIS\t");
  // The user clears the name bounds and the city, and puts SITFAM on row 1.
  PlayInputs({"TF0"}, {{"NOM1DEB", ""}, {"NOM1FIN", ""}, {"VILLE1", ""}});
  ListOnRow("SITFAM", 1, " \t-1");
  RunIdentityCriteriaScreen(lines);
  ExpectLines(lines, {{"", "A\tB\t"}, {"", kMarried + "\t"}, {"", "PARIS\t"}});
}

TEST_F(IdentityScreenTest, EscapeKeepsTheWorkingSetAndOtherCodesShowAgain) {
  QueryWorkingSet lines;
  lines.AppendLine("VILLE*******", "PARIS\t");
  PlayInputs({"01B", "XYZ", "ESC"}, {{"VILLE1", "LYON"}, {"NOM1DEB", "X"}});
  RunIdentityCriteriaScreen(lines);
  ExpectLines(lines, {{"VILLE*******", "PARIS\t"}});
  const std::vector<std::string> commands = Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "AFFICHE,VILLE1=PARIS"), 3);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "ECRAN,SAISIE"), 3);
  EXPECT_THAT(commands, Not(Contains("ECRAN,RECUPERE,VILLE1")));
}

TEST_F(IdentityScreenTest, ReopeningShowsWhatWasValidated) {
  QueryWorkingSet lines;
  PlayInputs({"TF0"}, {{"CP1DEB", "69000"}, {"CP1FIN", "69999"}, {"VILLE1", "LYON"}});
  RunIdentityCriteriaScreen(lines);
  RecordingRuntime::Get().Reset();
  PlayInputs({"ESC"});
  RunIdentityCriteriaScreen(lines);
  const std::vector<std::string> commands = Commands();
  ASSERT_EQ(commands.size(), 8u);
  EXPECT_EQ(commands[2], "AFFICHE,CP1DEB=69000");
  EXPECT_EQ(commands[3], "AFFICHE,CP1FIN=69999");
  EXPECT_EQ(commands[4], "AFFICHE,VILLE1=LYON");
}

// The birthday fields start as "__/__": a range open at both ends is no
// criterion, one open end is kept as typed.
TEST_F(IdentityScreenTest, BirthdayRangeOpenAtBothEndsTakesNoLine) {
  struct Case {
    const char* from;
    const char* to;
    std::vector<QueryLine> after;
  };
  const Case cases[] = {
      {"__/__", "__/__", {{"", "01/01\t31/01\t"}}},
      {"", "__/__", {{"", "01/01\t31/01\t"}}},
      {"__/__", "", {{"", "01/01\t31/01\t"}}},
      {"__/__", "15/06", {{"ANNI********", "__/__\t15/06\t"}}},
      {"15/06", "__/__", {{"ANNI********", "15/06\t__/__\t"}}},
      {"__/_", "__/__", {{"ANNI********", "__/_\t__/__\t"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " - " + c.to);
    RecordingRuntime::Get().Reset();
    QueryWorkingSet lines;
    lines.AppendLine("ANNI********", "01/01\t31/01\t");
    PlayInputs({"TF0"}, {{"ANNI1DEB", c.from}, {"ANNI1FIN", c.to}});
    RunIdentityCriteriaScreen(lines);
    ExpectLines(lines, c.after);
  }
  // "__/__" is no open bound for the other ranges.
  RecordingRuntime::Get().Reset();
  QueryWorkingSet lines;
  PlayInputs({"TF0"}, {{"NOM1DEB", "__/__"}, {"NOM1FIN", "__/__"}});
  RunIdentityCriteriaScreen(lines);
  ExpectLines(lines, {{"NOMCLI******", "__/__\t__/__\t"}});
}

// Typed values that would break the stored texts apart.
TEST_F(IdentityScreenTest, HostileTypedValuesStayOneElementEach) {
  QueryWorkingSet lines;
  PlayInputs({"TF0"}, {{"NOM1DEB", "A\tB"}, {"NOM1FIN", "C\nD"}, {"VILLE1", "\t\t"}});
  RunIdentityCriteriaScreen(lines);
  ExpectLines(lines, {{"NOMCLI******", "A B\tC D\t"}, {"VILLE*******", "  \t"}});
}

TEST_F(IdentityScreenTest, AFullQueryRefusesNewCriteriaWithAMessageAndKeepsTheRest) {
  QueryWorkingSet lines;
  lines.AppendLine("VILLE*******", "PARIS\t");
  lines.AppendLine("NOMCLI******", "A\tB\t");
  while (lines.AppendLine("40001******1", "0\t5\t")) {
  }
  PlayInputs({"TF0"}, {{"VILLE1", "LYON"}, {"NOM1DEB", ""}, {"NOM1FIN", ""}, {"AGE1DEB", "18"}});
  RunIdentityCriteriaScreen(lines);
  EXPECT_EQ(lines.LineCount(), kMaxQueryLines);
  EXPECT_EQ(lines.Line(1).text, "LYON\t");  // replaced
  EXPECT_EQ(lines.Line(2).key, "");         // removed
  for (int i = 3; i <= kMaxQueryLines; ++i) EXPECT_EQ(lines.Line(i).key, "40001******1");
  const std::vector<std::string> commands = Commands();
  ASSERT_GE(commands.size(), 3u);
  EXPECT_EQ(commands[commands.size() - 3].rfind("Erreur,", 0), 0u);
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                          [](const std::string& c) { return c.rfind("Erreur,", 0) == 0; }),
            1);
}

}  // namespace
}  // namespace vz::queries
