// The query list against the real record engine and the recording screen
// runtime: the rows and the highlight, loading a query, deleting one (and
// refusing to delete on a partial code), the actions of each button and the
// navigation code left for the main menu.
#include "src/queries/query_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/queries/definition_screen.h"
#include "src/queries/query_test_database.h"
#include "src/screen/navigation.h"
#include "tests/support/recording_runtime.h"

namespace vz::queries {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::QueryTestDatabase;
using testing::StoredQueryLine;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

RecordingRuntime& Runtime() {
  return RecordingRuntime::Get();
}

class QueryListTest : public ::testing::Test {
 protected:
  // Two queries, the second one run, and a criterion of the first.
  void AddTwoQueries() {
    QueryTestDatabase::AddLine("01000011", "TITRE*******",
                               os::Cp1252("20260101\tPremière\t\t\t\t\t\t\t\t"));
    QueryTestDatabase::AddLine("01000011", "NOMCLI******", "A\tM\t");
    QueryTestDatabase::AddLine("01000011", "RUBRIQUE****", "40000");
    QueryTestDatabase::AddLine("01000012", "TITRE*******", "20260202\tSeconde\t\t\t\t\t\t\t\t",
                               "O");
  }
  QueryTestDatabase database_{"list"};
};

TEST_F(QueryListTest, RowsComeFromTheTitleRecordsAndTheCurrentOneIsHighlighted) {
  AddTwoQueries();
  QueryTestDatabase::AddLine("01000013", "TITRE*******", "abc");  // fewer than two elements
  Runtime().Answer("Table,Cherche,CODE,01000012", {2, "", std::nullopt});
  Runtime().Answer("Table,Occurrence,REQUETES", {3, "", std::nullopt});
  FillQueryList("01000012");
  EXPECT_THAT(Runtime().ProgramCommands(),
              ElementsAre("Table,Ajoute,REQUETES,01/01/2026\tPremi\xE8re\t01000011\tjamais lanc\xE9"
                          "e\t\t",
                          "Table,Ajoute,REQUETES,02/02/2026\tSeconde\t01000012\tjamais lanc\xE9"
                          "e\t\t",
                          "Table,Ajoute,REQUETES,abc\t\t01000013\tjamais lanc\xE9"
                          "e\t\t",
                          "Table,Cherche,CODE,01000012", "Table,Select,+,REQUETES, 2",
                          "Table,Occurrence,REQUETES"));
}

TEST_F(QueryListTest, RowsShowTheLastRunItsClientsAndTheSummary) {
  AddTwoQueries();
  QueryListActions actions;
  actions.last_selection = [](std::string_view code) -> std::optional<LastSelection> {
    if (code == "01000012") return LastSelection{"05/03/2026 14:07", 12345};
    if (code == "01000011") return LastSelection{"01/03/2026 09:00", 0};
    return std::nullopt;
  };
  actions.describe_query = [](std::string_view code) {
    return code == "01000011" ? std::string("Nom de A \xE0 M") : std::string("Aucun crit\xE8re");
  };
  Runtime().Answer("Table,Cherche,CODE,01000011", {1, "", std::nullopt});
  Runtime().Answer("Table,Occurrence,REQUETES", {2, "", std::nullopt});
  FillQueryList("01000011", actions);
  EXPECT_THAT(Runtime().ProgramCommands(),
              ElementsAre("Table,Ajoute,REQUETES,01/01/2026\tPremi\xE8re\t01000011\t01/03/2026 "
                          "09:00, avant modification\t0\tNom de A \xE0 M",
                          "Table,Ajoute,REQUETES,02/02/2026\tSeconde\t01000012\t05/03/2026 "
                          "14:07\t12 345\tAucun crit\xE8re",
                          "Table,Cherche,CODE,01000011", "Table,Select,+,REQUETES, 1",
                          "AFFICHE,L_RESUME=Nom de A \xE0 M", "Table,Occurrence,REQUETES"));
}

TEST(QueryListRowTest, DatesAndMessages) {
  const struct {
    const char* stored;
    const char* shown;
  } dates[] = {{"20250115", "15/01/2025"},
               {"2025011", "2025011"},
               {"", ""},
               {"2025O115", "2025O115"},
               {"202501150", "202501150"}};
  for (const auto& d : dates) EXPECT_EQ(DayMonthYear(d.stored), d.shown) << d.stored;
  const struct {
    int64_t selected;
    int64_t clients;
    const char* message;
  } ends[] = {{0, 3000,
               "S\xE9lection termin\xE9"
               "e : 0 clients retenus sur 3 000."},
              {1, 1,
               "S\xE9lection termin\xE9"
               "e : 1 client retenu sur 1."},
              {1234567, 60000,
               "S\xE9lection termin\xE9"
               "e : 1 234 567 clients retenus sur 60 000."}};
  for (const auto& e : ends) EXPECT_EQ(SelectionEndMessage(e.selected, e.clients), e.message);
  // A TAB in a title or a summary cannot shift the cells after it.
  EXPECT_EQ(QueryListRow({"x", "a\tb", "01000011", "O", LastSelection{"d", 7}, "s\tt"}),
            "x\ta b\t01000011\td\t7\ts t");
}

TEST_F(QueryListTest, WithNoQueryTheModifyAndDeleteButtonsAreUnavailable) {
  // A query without title record is not listed.
  QueryTestDatabase::AddLine("01000011", "NOMCLI******", "A\tM\t");
  FillQueryList("");
  EXPECT_THAT(Runtime().ProgramCommands(),
              ElementsAre("Table,Cherche,CODE,", "Table,Occurrence,REQUETES",
                          "Ecran,Selection,-,TIROIR2", "Ecran,Selection,-,POUBELLE"));
}

TEST_F(QueryListTest, ACodeNoLongerListedSelectsNothing) {
  AddTwoQueries();
  Runtime().Answer("Table,Cherche,CODE,", {0, "", std::nullopt});
  Runtime().Answer("Table,Occurrence,REQUETES", {2, "", std::nullopt});
  FillQueryList("01000099");
  EXPECT_THAT(Runtime().ProgramCommands(), Not(Contains(::testing::StartsWith("Table,Select"))));
  EXPECT_THAT(Runtime().ProgramCommands(), Not(Contains(::testing::StartsWith("Ecran,Selection"))));
}

TEST_F(QueryListTest, LoadingKeepsKeyOrderAndLeavesRubricLinesOut) {
  AddTwoQueries();
  QueryTestDatabase::AddLine("01000011", "AGECLI******", "30\t40\t");
  QueryWorkingSet lines;
  LoadQuery("01000011", lines);
  ASSERT_EQ(lines.LineCount(), 3);
  EXPECT_EQ(lines.Line(1).key, "AGECLI******");
  EXPECT_EQ(lines.Line(2).key, "NOMCLI******");
  EXPECT_EQ(lines.Line(2).text, "A\tM\t");
  EXPECT_EQ(lines.Line(3).key, "TITRE*******");
  EXPECT_EQ(lines.type(), "");
}

TEST_F(QueryListTest, LoadingACombinedTitleSetsTheType) {
  QueryTestDatabase::AddLine("01000020", "TITRE*******",
                             "20260101\tU\t\t\t\tC\t01000011\tOU\t01000012\t");
  QueryWorkingSet lines;
  LoadQuery("01000020", lines);
  EXPECT_EQ(lines.type(), kCombinedQueryType);
  ASSERT_EQ(lines.LineCount(), 1);
}

TEST_F(QueryListTest, LoadingOnAPartialCodeLoadsNothing) {
  AddTwoQueries();
  for (const char* partial : {"", "01", "0100001", "01 00011"}) {
    SCOPED_TRACE(partial);
    QueryWorkingSet lines;
    LoadQuery(partial, lines);
    EXPECT_EQ(lines.LineCount(), 0);
  }
}

TEST_F(QueryListTest, LoadingMoreThan64LinesKeepsTheFirst64) {
  for (int i = 0; i < 70; ++i) {
    QueryTestDatabase::AddLine("01000011", "K" + std::to_string(100 + i), "v\t");
  }
  QueryWorkingSet lines;
  LoadQuery("01000011", lines);
  EXPECT_EQ(lines.LineCount(), kMaxQueryLines);
  EXPECT_EQ(lines.Line(64).key, "K163");
}

struct DeleteCase {
  const char* code;
  int answer;
  size_t records_left;
};

class DeleteQueryTest : public QueryListTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteQueryTest, OnlyAYesOnAWholeCodeDeletes) {
  AddTwoQueries();
  Runtime().Answer("OUINON,", {GetParam().answer, "", std::nullopt});
  DeleteQuery(GetParam().code);
  EXPECT_THAT(Runtime().ProgramCommands(), ElementsAre("OUINON,Confirmez vous la suppression ?"));
  EXPECT_EQ(QueryTestDatabase::QueryFile().size(), GetParam().records_left);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DeleteQueryTest,
    ::testing::Values(DeleteCase{"01000011", 1, 1}, DeleteCase{"01000012", 1, 3},
                      DeleteCase{"01000011", 0, 4}, DeleteCase{"01000011", 2, 4},
                      DeleteCase{"01000011", -1, 4}, DeleteCase{"01000099", 1, 4},
                      DeleteCase{"", 1, 4}, DeleteCase{"01", 1, 4}, DeleteCase{"0100001", 1, 4},
                      DeleteCase{"01 00011", 1, 4}));

TEST_F(QueryListTest, DeletingLeavesTheSelectionAndMergeFilesOnDisk) {
  AddTwoQueries();
  const auto data = database_.root() / "DATA";
  std::ofstream(data / "01000011.EXT") << "000001011\r\n";
  std::ofstream(data / "01000011.MEM") << "x\r\n";
  Runtime().Answer("OUINON,", {1, "", std::nullopt});
  DeleteQuery("01000011");
  EXPECT_TRUE(QueryTestDatabase::Query("01000011").empty());
  EXPECT_TRUE(std::filesystem::exists(data / "01000011.EXT"));
  EXPECT_TRUE(std::filesystem::exists(data / "01000011.MEM"));
}

// The list screen with its run and result actions recorded.
class QueryListScreenTest : public QueryListTest {
 protected:
  QueryListActions RecordingActions(bool run_completes) {
    QueryListActions actions;
    actions.run_selection = [this, run_completes](std::string_view code) {
      calls_.push_back("run " + std::string(code));
      return run_completes;
    };
    actions.run_extraction = [this](std::string_view code) {
      calls_.push_back("extract " + std::string(code));
    };
    actions.show_results = [this](std::string_view code) {
      calls_.push_back("results " + std::string(code));
    };
    return actions;
  }
  std::vector<std::string> calls_;
};

class LeavingCodeTest : public QueryListScreenTest,
                        public ::testing::WithParamInterface<const char*> {};

TEST_P(LeavingCodeTest, LeavesTheCodeForTheMainMenu) {
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "ZZZ"}, {0, "", GetParam()}});
  screen::SetNavigationCode("T01");
  RunQueryListScreen(RecordingActions(true));
  EXPECT_EQ(screen::NavigationCode(), GetParam());
  const std::vector<std::string> commands = Runtime().ProgramCommands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "Ouvre,LSTSEL"), 2);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "Ferme"), 2);
  EXPECT_EQ(commands.back(), "Ferme");
  EXPECT_THAT(calls_, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Codes, LeavingCodeTest, ::testing::Values("T02", "T03", "T04", "ESC"));

TEST_F(QueryListScreenTest, RunThenExtractUnlessAborted) {
  AddTwoQueries();
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "LAN"}, {0, "", "RES"}, {0, "", "ESC"}});
  Runtime().Answer("Table,Recupere,CODE", {0, "01000012xyz", std::nullopt});
  RunQueryListScreen(RecordingActions(true));
  EXPECT_THAT(calls_, ElementsAre("run 01000012", "extract 01000012", "results 01000012"));

  calls_.clear();
  Runtime().Reset();
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "LAN"}, {0, "", "ESC"}});
  Runtime().Answer("Table,Recupere,CODE", {0, "01000012", std::nullopt});
  RunQueryListScreen(RecordingActions(false));
  EXPECT_THAT(calls_, ElementsAre("run 01000012"));
}

TEST_F(QueryListScreenTest, ACompletedRunTellsHowManyClientsItKeptBeforeTheExtraction) {
  AddTwoQueries();
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "LAN"}, {0, "", "ESC"}});
  Runtime().Answer("Table,Recupere,CODE", {0, "01000012", std::nullopt});
  QueryListActions actions = RecordingActions(true);
  actions.last_selection = [this](std::string_view code) -> std::optional<LastSelection> {
    if (calls_.empty()) return std::nullopt;  // not run yet
    return LastSelection{"05/03/2026 14:07", code == "01000012" ? 1234 : 0};
  };
  actions.client_count = [] { return int64_t{60000}; };
  actions.run_extraction = [this](std::string_view) {
    calls_.push_back("extract after " + Runtime().ProgramCommands().back());
  };
  RunQueryListScreen(actions);
  EXPECT_THAT(calls_, ElementsAre("run 01000012",
                                  "extract after info,S\xE9lection termin\xE9"
                                  "e : 1 234 "
                                  "clients retenus sur 60 000."));
}

TEST_F(QueryListScreenTest, NoRowPickedRunsNothing) {
  Runtime().AnswerInTurn("ECRAN,SAISIE",
                         {{0, "", "LAN"}, {0, "", "RES"}, {0, "", "SUP"}, {0, "", "ESC"}});
  Runtime().Answer("OUINON,", {1, "", std::nullopt});
  RunQueryListScreen(RecordingActions(true));
  EXPECT_THAT(calls_, IsEmpty());
}

TEST_F(QueryListScreenTest, MissingActionsDoNothing) {
  AddTwoQueries();
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "LAN"}, {0, "", "RES"}, {0, "", "ESC"}});
  Runtime().Answer("Table,Recupere,CODE", {0, "01000012", std::nullopt});
  RunQueryListScreen(QueryListActions{});
  EXPECT_EQ(screen::NavigationCode(), "ESC");
}

TEST_F(QueryListScreenTest, TheCodeIsReadWhileTheListIsOpen) {
  AddTwoQueries();
  Runtime().AnswerInTurn("ECRAN,SAISIE", {{0, "", "SUP"}, {0, "", "ESC"}});
  Runtime().Answer("Table,Recupere,CODE", {0, "01000011", std::nullopt});
  Runtime().Answer("OUINON,", {1, "", std::nullopt});
  Runtime().Answer("Table,Cherche,CODE,01000011", {1, "", std::nullopt});
  RunQueryListScreen(QueryListActions{});
  const std::vector<std::string> commands = Runtime().ProgramCommands();
  auto recupere = std::find(commands.begin(), commands.end(), "Table,Recupere,CODE");
  auto question =
      std::find(commands.begin(), commands.end(), "OUINON,Confirmez vous la suppression ?");
  auto first_close = std::find(commands.begin(), commands.end(), "Ferme");
  ASSERT_NE(recupere, commands.end());
  EXPECT_LT(recupere, question);
  EXPECT_LT(question, first_close);
  // The list is rebuilt without the deleted query: its row was sent in the
  // first round only.
  EXPECT_THAT(commands, Contains("Table,Cherche,CODE,01000011"));
  EXPECT_EQ(std::count(commands.begin(), commands.end(),
                       "Table,Ajoute,REQUETES,01/01/2026\tPremi\xE8re\t01000011\tjamais lanc\xE9"
                       "e\t\t"),
            1);
  EXPECT_EQ(std::count(commands.begin(), commands.end(),
                       "Table,Ajoute,REQUETES,02/02/2026\tSeconde\t01000012\tjamais lanc\xE9"
                       "e\t\t"),
            2);
  EXPECT_TRUE(QueryTestDatabase::Query("01000011").empty());
  EXPECT_EQ(QueryTestDatabase::Query("01000012").size(), 1u);
}

}  // namespace
}  // namespace vz::queries
