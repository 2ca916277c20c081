// End-to-end sessions of the query screens: the query list, the definition
// screen, the identity and income criteria screens and the combination
// screen, played as an adviser would (typed fields and buttons through the
// recording screen runtime), over the real record engine in a temporary
// installation. The stored REQUETES records are checked byte for byte where
// their layout is fixed: keys, texts with their TABs, state and origin.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_ops.h"
#include "src/queries/query_list.h"
#include "src/queries/query_test_database.h"
#include "src/screen/navigation.h"
#include "tests/support/recording_runtime.h"

#if defined(VZ_PROGRAM_PATH)
#include "tests/support/program_run.h"
#include "tests/support/test_installation.h"
#endif

namespace vz::queries {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using testing::ExpectedFixedBytes;
using testing::Keys;
using ::testing::Not;
using testing::QueryTestDatabase;
using testing::StoredQueryLine;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

RecordingRuntime& Runtime() {
  return RecordingRuntime::Get();
}

// One input of the adviser: what is typed into the window, then the button.
struct Input {
  std::string button;
  std::map<std::string, std::string> typed;
};

const StoredQueryLine* Find(const std::vector<StoredQueryLine>& lines, std::string_view key) {
  for (const StoredQueryLine& line : lines) {
    if (line.key == key) return &line;
  }
  return nullptr;
}

// The answer to the question asked before saving a query without criterion.
const std::map<std::string, RuntimeAnswer> kSaveWithoutCriterion = {
    {"OUINON,", {1, "", std::nullopt}}};

class QueryScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QueryTestDatabase::AddRubric("40000", "Revenus");
    QueryTestDatabase::AddRubric("40001", "Salaires");
    QueryTestDatabase::AddRubric("40002", "Revenus fonciers");
  }

  // Plays one session of the query list: each "Ecran,Saisie" takes the next
  // input; the session ends when the list is left. `answers` are the window
  // contents the runtime's own code would give (tables, questions).
  std::vector<std::string> Play(const std::vector<Input>& inputs,
                                const std::map<std::string, RuntimeAnswer>& answers = {}) {
    Runtime().Reset();
    for (const auto& [prefix, answer] : answers) Runtime().Answer(prefix, answer);
    std::vector<RuntimeAnswer> buttons;
    for (const Input& input : inputs) buttons.push_back({0, "", input.button});
    buttons.push_back({0, "", "ESC"});  // whatever comes next leaves
    Runtime().AnswerInTurn("ECRAN,SAISIE", buttons);
    auto next = std::make_shared<size_t>(0);
    Runtime().SetCommandHook([inputs, next](const std::string& command) {
      if (command != "ECRAN,SAISIE") return;
      // A session that never leaves would hang the test: stop it loudly.
      if (*next > inputs.size() + 5) {
        std::fprintf(stderr, "the query list does not leave on ESC\n");
        std::abort();
      }
      if (*next >= inputs.size()) {
        ++*next;
        return;
      }
      for (const auto& [field, value] : inputs[*next].typed) Runtime().fields()[field] = value;
      ++*next;
    });
    RunQueryListScreen(QueryListActions{});
    Runtime().SetCommandHook(nullptr);
    EXPECT_EQ(screen::NavigationCode(), "ESC");
    return Runtime().Commands();
  }

  // What the rubric choice window and a completed run leave in the file.
  static void AddRubricLineAndMarkRun(const std::string& code) {
    QueryTestDatabase::AddLine(code, "RUBRIQUE****", "40001");
    db::Hlitrecherche("requetes", "codreq", code + "TITRE*******");
    ASSERT_FALSE(db::Hendehors());
    db::CurrentQueryLine().SetState("O");
    db::Hmodifie("requetes");
  }

  // A new elementary query with a name and an age range and one income row.
  std::vector<std::string> CreateElementaryQuery() {
    return Play(
        {
            {"AJO", {}},
            {"01A", {}},
            {"TF0", {{"NOM1DEB", "DUPONT"}, {"AGE1DEB", "30"}, {"AGE1FIN", "60"}}},
            {"01B", {}},
            {"TF0",
             {{"Option", "1"},
              {"CODRUBR,01", "40000"},
              {"VALDEB,01", "0"},
              {"VALFIN,01", "999999999"},
              {"CODRUBR,03", "40001"},
              {"VALDEB,03", "50000"},
              {"VALFIN,03", "999999999"},
              {"CODRUBR,04", "40002"},
              {"VALDEB,04", "0"},
              {"VALFIN,04", "999999999"}}},
            {"TF0", {{"TITRE", "Hauts revenus"}, {"EXPLIC,1", os::Cp1252("De 30 à 60 ans")}}},
            {"OK0", {}},  // the rubric choice window
        },
        {{"Table,Occurrence,TABLE1", {4, "", std::nullopt}}});
  }

  QueryTestDatabase database_{"scenario"};
};

TEST_F(QueryScenarioTest, ANewElementaryQueryStoresExactlyWhatWasValidated) {
  const std::vector<std::string> commands = CreateElementaryQuery();

  const std::vector<StoredQueryLine> stored = QueryTestDatabase::Query("01000011");
  ASSERT_THAT(Keys(stored),
              ElementsAre("40001******1", "AGECLI******", "NOMCLI******", "TITRE*******"));
  EXPECT_EQ(stored[0].text, "50000\t999999999\t");
  EXPECT_EQ(stored[1].text, "30\t60\t");
  EXPECT_EQ(stored[2].text, "DUPONT\t\t");
  EXPECT_EQ(stored[3].text, os::Cp1252("20260309\tHauts revenus\tDe 30 à 60 ans\t\t\t\t\t\t\t"));
  for (const StoredQueryLine& line : stored) {
    SCOPED_TRACE(line.key);
    EXPECT_EQ(line.fixed_bytes, ExpectedFixedBytes("01", "000011", line.key, " "));
    EXPECT_EQ(line.codreq, "01000011" + line.key);
    EXPECT_EQ(line.codreq1, "01" + line.key);
    EXPECT_EQ(line.pieces, line.text);
  }
  // The rubric choice window opened on the new code, and the list came back
  // with the new query highlighted.
  EXPECT_THAT(commands, Contains("AFFICHE,LECODREQ=01000011"));
  EXPECT_THAT(commands, Contains("Table,Cherche,CODE,01000011"));
  EXPECT_THAT(commands,
              Contains(os::Cp1252(
                  "Table,Ajoute,REQUETES,09/03/2026\tHauts revenus\t01000011\tjamais lancée\t\t")));
}

TEST_F(QueryScenarioTest, ReopeningShowsWhatWasValidatedAndModifyingKeepsTheNumber) {
  CreateElementaryQuery();
  AddRubricLineAndMarkRun("01000011");

  // Reopen: look at the identity criteria, clear the age range, validate.
  const std::vector<std::string> commands =
      Play({{"MOD", {}},
            {"01A", {}},
            {"TF0", {{"AGE1DEB", ""}, {"AGE1FIN", ""}}},
            {"01B", {}},
            {"TF0", {}},
            {"TF0", {}},
            {"OK0", {}}},
           {{"Table,Recupere,CODE", {0, "01000011", std::nullopt}},
            {"Table,Cherche,CODRUBR,40001", {3, "", std::nullopt}},
            {"Table,Occurrence,TABLE1", {4, "", std::nullopt}}});

  EXPECT_THAT(commands, Contains("AFFICHE,TITRE=Hauts revenus"));
  EXPECT_THAT(commands, Contains(os::Cp1252("AFFICHE,EXPLIC,1=De 30 à 60 ans")));
  EXPECT_THAT(commands, Contains("AFFICHE,NOM1DEB=DUPONT"));
  EXPECT_THAT(commands, Contains("AFFICHE,AGE1DEB=30"));
  EXPECT_THAT(commands, Contains("AFFICHE,AGE1FIN=60"));
  EXPECT_THAT(commands, Contains("AFFICHE,VALDEB,03=50000"));

  const std::vector<StoredQueryLine> stored = QueryTestDatabase::Query("01000011");
  EXPECT_THAT(Keys(stored),
              ElementsAre("40001******1", "NOMCLI******", "RUBRIQUE****", "TITRE*******"));
  const StoredQueryLine* title = Find(stored, "TITRE*******");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->state, " ");
  EXPECT_EQ(title->fixed_bytes, ExpectedFixedBytes("01", "000011", "TITRE*******", " "));
  EXPECT_EQ(Find(stored, "RUBRIQUE****")->text, "40001");
  EXPECT_EQ(QueryTestDatabase::QueryFile().size(), 4u);  // no second query
}

TEST_F(QueryScenarioTest, EscapeAfterChangingCriteriaLeavesTheFileAsItWas) {
  CreateElementaryQuery();
  AddRubricLineAndMarkRun("01000011");
  const std::vector<StoredQueryLine> before = QueryTestDatabase::QueryFile();
  // Escape after a change asks; the answer "yes" abandons the changes.
  const std::vector<std::string> commands = Play(
      {{"MOD", {}}, {"01A", {}}, {"TF0", {{"NOM1DEB", "MARTIN"}}}, {"ESC", {}}},
      {{"Table,Recupere,CODE", {0, "01000011", std::nullopt}}, {"OUINON,", {1, "", std::nullopt}}});
  EXPECT_THAT(commands,
              Contains(os::Cp1252("OUINON,Abandonner les modifications de cette requête ?")));
  const std::vector<StoredQueryLine> after = QueryTestDatabase::QueryFile();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].fixed_bytes, before[i].fixed_bytes);
    EXPECT_EQ(after[i].text, before[i].text);
  }
}

TEST_F(QueryScenarioTest, CombiningByUnionAndByIntersectionAndReopening) {
  CreateElementaryQuery();
  Play({{"AJO", {}}, {"TF0", {{"TITRE", "Paris"}}}, {"OK0", {}}}, kSaveWithoutCriterion);
  ASSERT_EQ(QueryTestDatabase::Query("01000012").size(), 1u);

  // What the window COMBINE lists: the saved queries, in its own tables.
  const std::map<std::string, std::string> operands = {{"REQUETE1,001", "01000011"},
                                                       {"REQUETE2,002", "01000012"}};
  const std::map<std::string, RuntimeAnswer> tables = {
      {"Table,Select,?,TABLE1", {1, "", std::nullopt}},
      {"Table,Select,?,TABLE2", {2, "", std::nullopt}}};
  std::map<std::string, std::string> union_typed = operands;
  union_typed["TITRE"] = "Riches ou parisiens";
  union_typed["OPTION"] = "1";
  Play({{"COM", {}}, {"TF0", union_typed}, {"OK0", {}}}, tables);
  std::map<std::string, std::string> intersection_typed = operands;
  intersection_typed["TITRE"] = "Riches et parisiens";
  intersection_typed["OPTION"] = "2";
  Play({{"COM", {}}, {"TF0", intersection_typed}, {"OK0", {}}}, tables);

  const std::vector<StoredQueryLine> union_query = QueryTestDatabase::Query("01000013");
  ASSERT_EQ(union_query.size(), 1u);
  EXPECT_EQ(union_query[0].text,
            "20260309\tRiches ou parisiens\t\t\t\tC\t01000011\tOU\t01000012\t");
  EXPECT_EQ(union_query[0].fixed_bytes, ExpectedFixedBytes("01", "000013", "TITRE*******", " "));
  const std::vector<StoredQueryLine> intersection = QueryTestDatabase::Query("01000014");
  ASSERT_EQ(intersection.size(), 1u);
  EXPECT_EQ(intersection[0].text,
            "20260309\tRiches et parisiens\t\t\t\tC\t01000011\tET\t01000012\t");

  // Reopening the union shows its operands and operator in COMBINE.
  const std::vector<std::string> commands =
      Play({{"MOD", {}}, {"ESC", {}}}, {{"Table,Recupere,CODE", {0, "01000013", std::nullopt}},
                                        {"Table,Cherche,REQUETE1,01000011", {1, "", std::nullopt}},
                                        {"Table,Select,+,TABLE1", {1, "", std::nullopt}},
                                        {"Table,Cherche,REQUETE2,01000012", {2, "", std::nullopt}},
                                        {"Table,Select,+,TABLE2", {2, "", std::nullopt}}});
  EXPECT_THAT(commands, Contains("Ouvre,COMBINE"));
  EXPECT_THAT(commands, Not(Contains("Ouvre,SEL01")));
  EXPECT_THAT(commands, Contains("AFFICHE,TITRE=Riches ou parisiens"));
  EXPECT_THAT(commands, Contains("Table,Select,+,TABLE1, 1"));
  EXPECT_THAT(commands, Contains("Table,Select,+,TABLE2, 2"));
  EXPECT_THAT(commands, Contains("AFFICHE,OPTION=1"));
  EXPECT_THAT(commands, Contains("AFFICHE,ENSEMBLE=UNION.BMP"));
  EXPECT_EQ(QueryTestDatabase::Query("01000013")[0].text, union_query[0].text);
}

TEST_F(QueryScenarioTest, DeletingAQueryRemovesEveryRecordAndTheHighlightFindsNoRow) {
  CreateElementaryQuery();
  AddRubricLineAndMarkRun("01000011");
  Play({{"AJO", {}}, {"TF0", {{"TITRE", "Paris"}}}, {"OK0", {}}}, kSaveWithoutCriterion);

  // A "no" first: nothing changes.
  Play({{"SUP", {}}}, {{"Table,Recupere,CODE", {0, "01000011", std::nullopt}},
                       {"OUINON,", {0, "", std::nullopt}}});
  EXPECT_EQ(QueryTestDatabase::Query("01000011").size(), 5u);

  const std::vector<std::string> commands = Play(
      {{"SUP", {}}},
      {{"Table,Recupere,CODE", {0, "01000011", std::nullopt}}, {"OUINON,", {1, "", std::nullopt}}});
  EXPECT_TRUE(QueryTestDatabase::Query("01000011").empty());
  EXPECT_THAT(Keys(QueryTestDatabase::QueryFile()), ElementsAre("TITRE*******"));

  // The rebuilt list holds only the other query and searches the deleted code,
  // which finds no row: nothing is selected.
  auto first_round = std::find(commands.begin(), commands.end(), "Ouvre,LSTSEL");
  ASSERT_NE(first_round, commands.end());
  auto second_round = std::find(first_round + 1, commands.end(), "Ouvre,LSTSEL");
  ASSERT_NE(second_round, commands.end());
  std::vector<std::string> rebuilt(second_round, commands.end());
  EXPECT_THAT(
      rebuilt,
      Contains(os::Cp1252("Table,Ajoute,REQUETES,09/03/2026\tParis\t01000012\tjamais lancée\t\t")));
  EXPECT_THAT(rebuilt, Not(Contains(::testing::HasSubstr("01000011\t"))));
  EXPECT_THAT(rebuilt, Contains("Table,Cherche,CODE,01000011"));
  EXPECT_THAT(rebuilt, Not(Contains(::testing::StartsWith("Table,Select,+,REQUETES"))));
}

TEST_F(QueryScenarioTest, ALongTitleIsStoredCutAt255Characters) {
  Play({{"AJO", {}},
        {"TF0",
         {{"TITRE", std::string(120, 'T')},
          {"EXPLIC,1", std::string(120, 'a')},
          {"EXPLIC,2", std::string(120, 'b')}}},
        {"OK0", {}}},
       kSaveWithoutCriterion);
  const std::vector<StoredQueryLine> stored = QueryTestDatabase::Query("01000011");
  ASSERT_EQ(stored.size(), 1u);
  ASSERT_EQ(stored[0].text.size(), 255u);
  EXPECT_EQ(stored[0].text, ("20260309\t" + std::string(120, 'T') + "\t" + std::string(120, 'a') +
                             "\t" + std::string(120, 'b'))
                                .substr(0, 255));
  EXPECT_EQ(stored[0].pieces, stored[0].text);
}

#if defined(VZ_PROGRAM_PATH)
// The real program, its window library and the scripted front end: a query is
// created from the main menu, listed, reopened with what was validated, and
// deleted.
class QueryProgramScenarioTest : public vz::testing::ProgramScenarioTest {
 protected:
  QueryProgramScenarioTest()
      : ProgramScenarioTest("e2e_queries_", VZ_PROGRAM_PATH, VZ_PROJECT_DIR) {}
};

TEST_F(QueryProgramScenarioTest, CreateListReopenAndDelete) {
  vz::testing::ProgramRunResult created =
      Run("input MENU press T01\n"
          "input LSTSEL press AJO\n"
          "input SEL01\n"
          "  type TITRE \"Hauts revenus\"\n"
          "  press 01A\n"
          "input SEL01A\n"
          "  type NOM1DEB \"DUPONT\"\n"
          "  type AGE1DEB \"30\"\n"
          "  press TF0\n"
          "input SEL01 press TF0\n"
          "input Rubrique press TF0\n"
          "input LSTSEL press T02\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(created.exit_code, 0) << Describe(created);
  EXPECT_THAT(created.transcript, Not(::testing::HasSubstr("wd ! ")));
  std::vector<std::string> lines = vz::testing::CommandsAndEngineCalls(created.transcript);
  EXPECT_THAT(lines, Contains("wd AFFICHE,LECODREQ=01000011")) << Describe(created);
  EXPECT_THAT(lines,
              Contains(::testing::HasSubstr("\\tHauts revenus\\t01000011\\tjamais lancée\\t\\t")));
  EXPECT_THAT(lines, Contains("wd Table,Cherche,CODE,01000011"));

  vz::testing::ProgramRunResult reopened =
      Run("input MENU press T01\n"
          "input LSTSEL\n"
          "  pick REQUETES 1\n"
          "  press MOD\n"
          "input SEL01 press 01A\n"
          "input SEL01A press ESC\n"
          "input SEL01 press ESC\n"
          "input LSTSEL\n"
          "  pick REQUETES 1\n"
          "  press SUP\n"
          "answer yes \"Confirmez vous la suppression ?\"\n"
          "input LSTSEL press T02\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(reopened.exit_code, 0) << Describe(reopened);
  EXPECT_THAT(reopened.transcript, Not(::testing::HasSubstr("wd ! ")));
  lines = vz::testing::CommandsAndEngineCalls(reopened.transcript);
  EXPECT_THAT(lines, Contains("wd AFFICHE,TITRE=Hauts revenus")) << Describe(reopened);
  EXPECT_THAT(lines, Contains("wd AFFICHE,NOM1DEB=DUPONT"));
  EXPECT_THAT(lines, Contains("wd AFFICHE,AGE1DEB=30"));
  // After the deletion the list is rebuilt empty: modify and delete are made
  // unavailable.
  EXPECT_THAT(lines, Contains("wd Ecran,Selection,-,POUBELLE"));
}
#endif  // VZ_PROGRAM_PATH

}  // namespace
}  // namespace vz::queries
