// The query definition screen against the real record engine and the
// recording screen runtime: the criteria buttons, the title text, the save
// (new number, kept number, rubric lines kept, state back to " ", origin
// "E"), the rubric choice window, and codes that must never delete.
#include "src/queries/definition_screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/queries/query_list.h"
#include "src/queries/query_test_database.h"
#include "tests/support/recording_runtime.h"

namespace vz::queries {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using testing::ExpectedFixedBytes;
using ::testing::IsEmpty;
using testing::Keys;
using ::testing::Not;
using testing::QueryTestDatabase;
using ::testing::StartsWith;
using testing::StoredQueryLine;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

RecordingRuntime& Runtime() {
  return RecordingRuntime::Get();
}

void TypeTitle(const std::string& title, const std::string& e1, const std::string& e2,
               const std::string& e3) {
  Runtime().fields()["TITRE"] = title;
  Runtime().fields()["EXPLIC,1"] = e1;
  Runtime().fields()["EXPLIC,2"] = e2;
  Runtime().fields()["EXPLIC,3"] = e3;
}

class DefinitionScreenTest : public ::testing::Test {
 protected:
  QueryTestDatabase database_{"definition"};
};

struct ButtonCase {
  const char* code;
  bool opens;
  const char* prefix;
};

class CriteriaButtonTest : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(CriteriaButtonTest, EachButtonOpensItsScreen) {
  std::string prefix = "unchanged";
  EXPECT_EQ(CriteriaScreenFor(GetParam().code, prefix), GetParam().opens);
  EXPECT_EQ(prefix, GetParam().opens ? GetParam().prefix : "unchanged");
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, CriteriaButtonTest,
    ::testing::Values(
        ButtonCase{"01A", true, ""}, ButtonCase{"01B", true, "40"}, ButtonCase{"01C", true, "54"},
        ButtonCase{"01D", true, "51"}, ButtonCase{"01E", true, "01"}, ButtonCase{"01F", true, "02"},
        ButtonCase{"01G", true, "03"}, ButtonCase{"01H", true, "04"}, ButtonCase{"01I", true, "05"},
        ButtonCase{"01J", true, "06"}, ButtonCase{"01K", true, "07"}, ButtonCase{"01L", true, "20"},
        ButtonCase{"01M", true, "33"}, ButtonCase{"01N", true, "SC"}, ButtonCase{"01O", false, ""},
        ButtonCase{"01a", false, ""}, ButtonCase{"01B ", false, ""}, ButtonCase{"", false, ""},
        ButtonCase{"TF0", false, ""}, ButtonCase{"1B", false, ""}));

struct CodeCase {
  const char* code;
  bool whole;
};

class WholeCodeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(WholeCodeTest, OnlyEightCharactersWithoutBlanks) {
  EXPECT_EQ(IsWholeQueryCode(GetParam().code), GetParam().whole);
}

INSTANTIATE_TEST_SUITE_P(Codes, WholeCodeTest,
                         ::testing::Values(CodeCase{"01000011", true}, CodeCase{"", false},
                                           CodeCase{"01", false}, CodeCase{"0100001", false},
                                           CodeCase{"010000111", false},
                                           CodeCase{"01 00011", false}, CodeCase{"0100001 ", false},
                                           CodeCase{"        ", false}));

TEST_F(DefinitionScreenTest, TitleTextOfAnElementaryQuery) {
  TypeTitle("Hauts revenus", "ligne 1", "", "ligne 3");
  QueryWorkingSet lines;
  EXPECT_EQ(BuildTitleText(lines), "20260309\tHauts revenus\tligne 1\t\tligne 3\t\t\t\t\t");
}

TEST_F(DefinitionScreenTest, ATypedTabCannotShiftTheCombinationElements) {
  TypeTitle("A\tC\t01000099", "\t", "", "x\t");
  Runtime().Answer("Table,Select,?,TABLE1", {1, "", std::nullopt});
  Runtime().fields()["REQUETE1,001"] = "01000011";
  QueryWorkingSet lines;
  lines.set_type(kCombinedQueryType);
  EXPECT_EQ(BuildTitleText(lines), "20260309\tA C 01000099\t \t\tx \tC\t01000011\tET\t\t");
}

TEST_F(DefinitionScreenTest, TitleTextIsCutAt255Characters) {
  TypeTitle(std::string(100, 'T'), std::string(100, 'a'), std::string(100, 'b'), "c");
  QueryWorkingSet lines;
  const std::string text = BuildTitleText(lines);
  ASSERT_EQ(text.size(), 255u);
  EXPECT_EQ(text, ("20260309\t" + std::string(100, 'T') + "\t" + std::string(100, 'a') + "\t" +
                   std::string(100, 'b'))
                      .substr(0, 255));
}

TEST_F(DefinitionScreenTest, SavingANewQueryWritesItsTitleUnderANewNumber) {
  QueryWorkingSet lines;
  std::string code;
  ASSERT_TRUE(SaveQuery(lines, "20260309\tT\t\t\t\t\t\t\t\t", code));
  EXPECT_EQ(code, "01000011");
  const std::vector<StoredQueryLine> stored = QueryTestDatabase::QueryFile();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].codreq, "01000011TITRE*******");
  EXPECT_EQ(stored[0].codreq1, "01TITRE*******");
  EXPECT_EQ(stored[0].text, "20260309\tT\t\t\t\t\t\t\t\t");
  EXPECT_EQ(stored[0].pieces, stored[0].text);
  EXPECT_EQ(stored[0].fixed_bytes, ExpectedFixedBytes("01", "000011", "TITRE*******", " "));
}

TEST_F(DefinitionScreenTest, SavingAModifiedQueryKeepsNumberAndRubricLines) {
  QueryTestDatabase::AddLine("01000005", "TITRE*******", "20250101\tOld\t\t\t\t\t\t\t\t", "O");
  QueryTestDatabase::AddLine("01000005", "NOMCLI******", "A\tB\t");
  QueryTestDatabase::AddLine("01000005", "RUBRIQUE****", "40000");
  QueryTestDatabase::AddLine("01000006", "TITRE*******", "20250101\tOther\t\t\t\t\t\t\t\t", "O");
  QueryTestDatabase::AddLine("01000006", "NOMCLI******", "C\tD\t");

  QueryWorkingSet lines;
  lines.AppendLine("NOMCLI******", "A\tB\t");
  lines.AppendLine("TITRE*******", "old title");
  lines.RemoveLine(1);  // the name range was cleared in the identity screen
  lines.AppendLine("AGECLI******", "30\t40\t");
  std::string code = "01000005";
  ASSERT_TRUE(SaveQuery(lines, "20260309\tNew\t\t\t\t\t\t\t\t", code));
  EXPECT_EQ(code, "01000005");

  const std::vector<StoredQueryLine> stored = QueryTestDatabase::Query("01000005");
  EXPECT_THAT(Keys(stored), ElementsAre("AGECLI******", "RUBRIQUE****", "TITRE*******"));
  EXPECT_EQ(stored[0].fixed_bytes, ExpectedFixedBytes("01", "000005", "AGECLI******", " "));
  EXPECT_EQ(stored[0].text, "30\t40\t");
  EXPECT_EQ(stored[1].text, "40000");
  EXPECT_EQ(stored[2].fixed_bytes, ExpectedFixedBytes("01", "000005", "TITRE*******", " "));
  EXPECT_EQ(stored[2].text, "20260309\tNew\t\t\t\t\t\t\t\t");
  // The other query is untouched.
  const std::vector<StoredQueryLine> other = QueryTestDatabase::Query("01000006");
  EXPECT_THAT(Keys(other), ElementsAre("NOMCLI******", "TITRE*******"));
  EXPECT_EQ(other[1].state, "O");
}

// Rubric lines carry the person option in the 12th character of their key
// ("RUBRIQUE***2"): a save keeps them like "RUBRIQUE****" and never takes
// them as criteria, so they cannot crowd criteria out of the working set.
TEST_F(DefinitionScreenTest, RubricLinesWithAnOptionSurviveASaveAndStayOutOfTheCriteria) {
  QueryTestDatabase::AddLine("01000005", "TITRE*******", "20250101\tOld\t\t\t\t\t\t\t\t", "O");
  QueryTestDatabase::AddLine("01000005", "RUBRIQUE***2", "40000");
  QueryTestDatabase::AddLine("01000005", "RUBRIQUE***1", "54000");

  QueryWorkingSet lines;
  LoadQuery("01000005", lines);
  ASSERT_EQ(lines.LineCount(), 1);
  EXPECT_EQ(lines.Line(1).key, "TITRE*******");
  std::string code = "01000005";
  ASSERT_TRUE(SaveQuery(lines, "20260309\tNew\t\t\t\t\t\t\t\t", code));
  const std::vector<StoredQueryLine> stored = QueryTestDatabase::Query("01000005");
  EXPECT_THAT(Keys(stored), ElementsAre("RUBRIQUE***1", "RUBRIQUE***2", "TITRE*******"));
}

TEST_F(DefinitionScreenTest, APartialCodeNeverDeletesOtherQueries) {
  QueryTestDatabase::AddLine("01000005", "TITRE*******", "x\tFirst\t");
  QueryTestDatabase::AddLine("01000006", "TITRE*******", "x\tSecond\t");
  for (const char* partial : {"", "0", "01", "0100000", "01 00005"}) {
    SCOPED_TRACE(partial);
    DeleteQueryLinesKeepingRubrics(partial);
    EXPECT_EQ(QueryTestDatabase::QueryFile().size(), 2u);
  }
  // A save under a partial code goes under a new number.
  QueryWorkingSet lines;
  std::string code = "01";
  ASSERT_TRUE(SaveQuery(lines, "t", code));
  // No counter kept: the highest number in the file (6) plus 10.
  EXPECT_EQ(code, "01000016");
  EXPECT_EQ(QueryTestDatabase::QueryFile().size(), 3u);
}

TEST_F(DefinitionScreenTest, AFullWorkingSetWithoutTitleIsNotSaved) {
  QueryTestDatabase::AddLine("01000005", "TITRE*******", "x\tKept\t");
  QueryWorkingSet lines;
  for (int i = 0; i < kMaxQueryLines; ++i) {
    ASSERT_TRUE(lines.AppendLine("K" + std::to_string(i), "v\t"));
  }
  std::string code = "01000005";
  EXPECT_FALSE(SaveQuery(lines, "t", code));
  EXPECT_THAT(Runtime().ProgramCommands(),
              ElementsAre(os::Cp1252("Erreur,La requête a trop de critères : elle n'est pas "
                                     "enregistrée.")));
  const std::vector<StoredQueryLine> stored = QueryTestDatabase::QueryFile();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].text, "x\tKept\t");

  // A removed slot takes the title instead.
  lines.RemoveLine(10);
  EXPECT_TRUE(SaveQuery(lines, "t", code));
  EXPECT_EQ(QueryTestDatabase::Query("01000005").size(), 64u);
}

// A kept code that cannot name the query's files (src/db/query_code.h) is
// refused: saved, its selection and extraction would land on another
// query's files.
TEST_F(DefinitionScreenTest, ACodeThatCannotNameItsFilesIsNotSaved) {
  const std::vector<std::string> codes = {"0100:001", "0100a001", std::string("0100\x01") + "001"};
  for (const std::string& code : codes) {
    QueryTestDatabase::AddLine(code, "TITRE*******", "x\tKept\t");
  }
  for (const std::string& code : codes) {
    SCOPED_TRACE(code);
    QueryWorkingSet lines;
    lines.AppendLine("NOMCLI******", "A\tB\t");
    std::string kept = code;
    const size_t before = Runtime().ProgramCommands().size();
    EXPECT_FALSE(SaveQuery(lines, "t", kept));
    EXPECT_EQ(kept, code);
    const std::vector<std::string> commands = Runtime().ProgramCommands();
    ASSERT_EQ(commands.size(), before + 1);
    EXPECT_TRUE(commands.back().starts_with(os::Cp1252("Erreur,Le code de requête « ")))
        << commands.back();
    EXPECT_NE(commands.back().find(os::Cp1252("la requête n'est pas enregistrée")),
              std::string::npos);
    const std::vector<StoredQueryLine> stored = QueryTestDatabase::QueryFile();
    ASSERT_EQ(stored.size(), codes.size());
    for (const StoredQueryLine& line : stored) EXPECT_EQ(line.text, "x\tKept\t");
  }
}

TEST_F(DefinitionScreenTest, EscapeWritesNothing) {
  QueryTestDatabase::AddLine("01000005", "TITRE*******", "x\tKept\t", "O");
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "XYZ"}, {0, "", "ESC"}});
  QueryWorkingSet lines;
  lines.AppendLine("NOMCLI******", "A\t\t");
  std::string code = "01000005";
  RunDefinitionScreen(lines, code);
  const std::vector<std::string> commands = Runtime().ProgramCommands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "ECRAN,SAISIE"), 2);
  EXPECT_THAT(commands, Not(Contains(StartsWith("OUINON,"))));  // nothing changed
  EXPECT_THAT(std::vector<std::string>(commands.end() - 2, commands.end()),
              ElementsAre("Ferme", "Ecran,Selection,I,CHERCHE4"));
  const std::vector<StoredQueryLine> stored = QueryTestDatabase::QueryFile();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].state, "O");
}

TEST_F(DefinitionScreenTest, ValidatingSavesThenOpensTheRubricChoice) {
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "TF0"}, {0, "", "ESC"}});
  TypeTitle("Nouvelle", "", "", "");
  QueryWorkingSet lines;
  lines.AppendLine("AGECLI******", "50\t65\t");
  std::string code;
  RunDefinitionScreen(lines, code);
  EXPECT_EQ(code, "01000011");
  const std::vector<std::string> commands = Runtime().ProgramCommands();
  const auto input = std::find(commands.begin(), commands.end(), "ECRAN,SAISIE");
  ASSERT_NE(input, commands.end());
  EXPECT_THAT(std::vector<std::string>(input, commands.end()),
              ElementsAre("ECRAN,SAISIE", "ECRAN,RECUPERE,TITRE", "ECRAN,RECUPERE,EXPLIC,1",
                          "ECRAN,RECUPERE,EXPLIC,2", "ECRAN,RECUPERE,EXPLIC,3", "Ouvre,Rubrique",
                          "AFFICHE,LECODREQ=01000011", "execute,B_REQUETE.Clic", "ECRAN,SAISIE",
                          "Ferme", "Ferme", "Ecran,Selection,I,CHERCHE4"));
  EXPECT_THAT(Keys(QueryTestDatabase::QueryFile()), ElementsAre("AGECLI******", "TITRE*******"));
}

// Escape used to throw the whole draft away without a word.
TEST_F(DefinitionScreenTest, EscapeAfterAChangeAsksAndANoKeepsTheDraft) {
  QueryTestDatabase::AddLine("01000005", "TITRE*******", "x\tAvant\t", "O");
  TypeTitle("Avant", "", "", "");
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "ESC"}, {0, "", "ESC"}});
  Runtime().AnswerInTurn("OUINON,", {{0, "", std::nullopt}, {1, "", std::nullopt}});
  Runtime().SetCommandHook([](const std::string& command) {
    if (command == "ECRAN,SAISIE") Runtime().fields()["TITRE"] = "Apres";
  });
  QueryWorkingSet lines;
  lines.AppendLine("NOMCLI******", "A\t\t");
  std::string code = "01000005";
  RunDefinitionScreen(lines, code);
  Runtime().SetCommandHook(nullptr);
  const std::vector<std::string> commands = Runtime().ProgramCommands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "ECRAN,SAISIE"), 2);
  EXPECT_EQ(std::count(commands.begin(), commands.end(),
                       os::Cp1252("OUINON,Abandonner les modifications de cette requête ?")),
            2);
  ASSERT_EQ(QueryTestDatabase::QueryFile().size(), 1u);
  EXPECT_EQ(QueryTestDatabase::QueryFile()[0].text, "x\tAvant\t");
}

TEST_F(DefinitionScreenTest, EscapeAfterChangingTheOperatorOfACombinationAsks) {
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "ESC"}});
  Runtime().Answer("OUINON,", {1, "", std::nullopt});
  Runtime().Answer("Table,Select,?,TABLE1", {1, "", std::nullopt});
  Runtime().fields()["OPTION"] = "1";
  Runtime().SetCommandHook([](const std::string& command) {
    if (command == "ECRAN,SAISIE") Runtime().fields()["OPTION"] = "2";
  });
  QueryWorkingSet lines;
  lines.set_type(kCombinedQueryType);
  std::string code;
  RunDefinitionScreen(lines, code);
  Runtime().SetCommandHook(nullptr);
  const std::vector<std::string> commands = Runtime().ProgramCommands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(),
                       os::Cp1252("OUINON,Abandonner les modifications de cette requête ?")),
            1);
  // No operand cell is read to tell a change: no row 0 is ever asked for.
  EXPECT_THAT(commands, Not(Contains(StartsWith("ECRAN,RECUPERE,REQUETE"))));
  EXPECT_THAT(QueryTestDatabase::QueryFile(), IsEmpty());
}

// A new query saved at once used to select every client without a word.
TEST_F(DefinitionScreenTest, SavingWithoutCriterionAsksFirst) {
  const std::string question = os::Cp1252(
      "OUINON,Cette requête n'a aucun critère : elle sélectionnera tous les clients. "
      "L'enregistrer quand même ?");
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "TF0"}, {0, "", "TF0"}, {0, "", "ESC"}});
  Runtime().AnswerInTurn("OUINON,", {{0, "", std::nullopt}, {1, "", std::nullopt}});
  TypeTitle("Tous", "", "", "");
  QueryWorkingSet lines;
  lines.AppendLine("NOMCLI******", "A\t\t");
  lines.RemoveLine(1);  // a criterion removed is no criterion
  std::string code;
  RunDefinitionScreen(lines, code);
  const std::vector<std::string> commands = Runtime().ProgramCommands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), question), 2);
  EXPECT_EQ(code, "01000011");  // saved after the "yes" only
  EXPECT_THAT(Keys(QueryTestDatabase::QueryFile()), ElementsAre("TITRE*******"));

  // A combined query has no criterion of its own: no question.
  Runtime().Reset();
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "TF0"}, {0, "", "ESC"}});
  QueryWorkingSet combined;
  combined.set_type(kCombinedQueryType);
  std::string combined_code;
  RunDefinitionScreen(combined, combined_code);
  EXPECT_THAT(Runtime().ProgramCommands(), Not(Contains(StartsWith("OUINON,"))));
  EXPECT_EQ(combined_code, "01000012");
}

TEST_F(DefinitionScreenTest, CountingTheQueryBeingEditedWritesNothing) {
  struct Case {
    const char* name;
    std::optional<int64_t> counted;
    const char* message;  // nullptr: nothing more shown
  };
  const Case cases[] = {
      {"many", 12345, "info,12 345 clients correspondent \xE0 ces crit\xE8res."},
      {"one", 1, "info,1 client correspond \xE0 ces crit\xE8res."},
      {"none", 0, "info,0 clients correspondent \xE0 ces crit\xE8res."},
      {"refused by the counter", std::nullopt, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Runtime().Reset();
    Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "CPT"}, {0, "", "ESC"}});
    TypeTitle("Brouillon", "", "", "");
    QueryWorkingSet lines;
    lines.AppendLine("AGECLI******", "50\t65\t");
    lines.AppendLine("NOMCLI******", "A\t\t");
    lines.RemoveLine(2);
    std::vector<QueryLine> seen;
    const QueryCounter counter = [&](const std::vector<QueryLine>& counted_lines) {
      seen = counted_lines;
      return c.counted;
    };
    std::string code;
    RunDefinitionScreen(lines, code, counter);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].key, "AGECLI******");
    EXPECT_EQ(seen[1].key, "TITRE*******");
    EXPECT_EQ(seen[1].text, "20260309\tBrouillon\t\t\t\t\t\t\t\t");
    const std::vector<std::string> commands = Runtime().ProgramCommands();
    if (c.message != nullptr) {
      EXPECT_THAT(commands, Contains(c.message));
    } else {
      EXPECT_THAT(commands, Not(Contains(StartsWith("info,"))));
    }
    EXPECT_THAT(commands, Not(Contains(StartsWith("OUINON,"))));  // a count changes nothing
    EXPECT_THAT(QueryTestDatabase::QueryFile(), IsEmpty());
    EXPECT_TRUE(code.empty());
  }
  // No counter wired: the adviser is told.
  Runtime().Reset();
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "CPT"}, {0, "", "ESC"}});
  QueryWorkingSet lines;
  std::string code;
  RunDefinitionScreen(lines, code);
  EXPECT_THAT(Runtime().ProgramCommands(), Contains(StartsWith("Erreur,")));
}

TEST_F(DefinitionScreenTest, ACombinedQueryStoresItsOperandsAndOperator) {
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "TF0"}, {0, "", "ESC"}});
  Runtime().Answer("Table,Select,?,TABLE1", {1, "", std::nullopt});
  Runtime().Answer("Table,Select,?,TABLE2", {2, "", std::nullopt});
  Runtime().fields()["REQUETE1,001"] = "01000011";
  Runtime().fields()["REQUETE2,002"] = "01000017";
  Runtime().fields()["OPTION"] = "2";
  TypeTitle("Les deux", "", "", "");
  QueryWorkingSet lines;
  lines.set_type(kCombinedQueryType);
  std::string code;
  RunDefinitionScreen(lines, code);
  const std::vector<StoredQueryLine> stored = QueryTestDatabase::Query(code);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].text, "20260309\tLes deux\t\t\t\tC\t01000011\tET\t01000017\t");
}

TEST_F(DefinitionScreenTest, OpeningShowsTheTitleOfTheRightWindow) {
  QueryWorkingSet lines;
  lines.AppendLine("AGECLI******", "1\t2\t");
  lines.AppendLine("TITRE*******", "20260101\tTitre\tUn\tDeux\tTrois\t\t\t\t\t");
  OpenDefinitionWindow(lines);
  EXPECT_THAT(Runtime().ProgramCommands(),
              ElementsAre("Ouvre,SEL01", "AFFICHE,TITRE=Titre", "AFFICHE,EXPLIC,1=Un",
                          "AFFICHE,EXPLIC,2=Deux", "AFFICHE,EXPLIC,3=Trois"));

  Runtime().Reset();
  QueryWorkingSet combined;
  combined.set_type(kCombinedQueryType);
  combined.AppendLine("TITRE*******", "20260101\tC\t\t\t\tC\t01000011\tOU\t01000017\t");
  OpenDefinitionWindow(combined);
  const std::vector<std::string> commands = Runtime().ProgramCommands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.front(), "Ouvre,COMBINE");
  EXPECT_EQ(Runtime().fields()["OPTION"], "1");
  EXPECT_EQ(Runtime().fields()["ENSEMBLE"], "UNION.BMP");
}

TEST_F(DefinitionScreenTest, ANewQueryWithoutTitleLeavesNoWindowFieldsSet) {
  QueryWorkingSet lines;
  OpenDefinitionWindow(lines);
  EXPECT_THAT(Runtime().ProgramCommands(), ElementsAre("Ouvre,SEL01"));
  EXPECT_THAT(Runtime().fields(), IsEmpty());
}

}  // namespace
}  // namespace vz::queries
