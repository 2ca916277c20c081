#include "src/queries/rubric_criteria_screens.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/queries/criteria_test_database.h"
#include "src/queries/rubric_screen_members.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"

namespace vz::queries {
namespace {

using ::testing::Contains;
using testing::CriteriaTestDatabase;
using ::testing::ElementsAreArray;
using ::testing::Not;
using vz::testing::CloseWindowHook;
using vz::testing::OpenWindowHook;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

using Typed = std::map<std::string, std::string>;

// Plays the window's table TABLE1 for the recording runtime: rows added with
// "Table,Ajoute,TABLE1," fill the named cells, "Table,Cherche,CODRUBR," and
// "Table,Occurrence,TABLE1" are answered from them, and each "Ecran,Saisie"
// takes the next return code after applying the user's typing.
class TableWindow {
 public:
  explicit TableWindow(std::vector<std::string> columns) : columns_(std::move(columns)) {}

  // `typed` is typed before the first input, `later[i]` before input i + 2.
  void Play(std::vector<std::string> codes, Typed typed = {}, std::vector<Typed> later = {}) {
    std::vector<RuntimeAnswer> answers;
    for (std::string& code : codes) answers.push_back(RuntimeAnswer{0, "", std::move(code)});
    RecordingRuntime::Get().AnswerInTurn("ECRAN,SAISIE", answers);
    typed_ = std::move(typed);
    later_ = std::move(later);
    inputs_ = 0;
    RecordingRuntime::Get().SetCommandHook([this](const std::string& c) { OnCommand(c); });
  }
  int rows() const { return rows_; }
  // The window's fields as each input found them, before any typing.
  const std::vector<std::map<std::string, std::string>>& seen_at_input() const {
    return seen_at_input_;
  }

 private:
  void OnCommand(const std::string& command) {
    RecordingRuntime& runtime = RecordingRuntime::Get();
    const std::string add = "Table,Ajoute,TABLE1,";
    const std::string find = "Table,Cherche,CODRUBR,";
    if (command.rfind(add, 0) == 0) {
      ++rows_;
      std::vector<std::string> cells;
      std::string rest = command.substr(add.size()) + "\t";
      for (size_t at; (at = rest.find('\t')) != std::string::npos; rest.erase(0, at + 1)) {
        cells.push_back(rest.substr(0, at));
      }
      for (size_t i = 0; i < columns_.size() && i < cells.size(); ++i) {
        runtime.fields()[columns_[i] + "," + Row(rows_)] = cells[i];
      }
      runtime.Answer("Table,Occurrence,TABLE1", RuntimeAnswer{rows_, "", {}});
    } else if (command.rfind(find, 0) == 0) {
      int found = 0;
      for (int r = 1; r <= rows_ && found == 0; ++r) {
        if (runtime.fields()["CODRUBR," + Row(r)] == command.substr(find.size())) found = r;
      }
      runtime.Answer(command, RuntimeAnswer{found, "", {}});
    } else if (command == "ECRAN,SAISIE") {
      seen_at_input_.push_back(runtime.fields());
      for (const auto& [field, text] : typed_) runtime.fields()[field] = text;
      typed_.clear();
      if (inputs_ < later_.size()) typed_ = later_[inputs_];
      ++inputs_;
    } else if (command.rfind("AFFICHE,OPTION=", 0) == 0) {
      runtime.fields()["Option"] = command.substr(15);  // one field, two names
    }
  }
  static std::string Row(int r) { return (r < 10 ? "0" : "") + std::to_string(r); }

  std::vector<std::string> columns_;
  std::vector<Typed> later_;
  size_t inputs_ = 0;
  std::vector<std::map<std::string, std::string>> seen_at_input_;
  Typed typed_;
  int rows_ = 0;
};

const std::vector<std::string> kOneAmountColumns = {"LIBELLE", "VALDEB", "VALFIN", "CODRUBR"};
const std::vector<std::string> kTwoAmountColumns = {"LIBELLE", "VAL1DEB", "VAL1FIN",
                                                    "VAL2DEB", "VAL2FIN", "CODRUBR"};
const std::vector<std::string> kYieldColumns = {"LIBELLE", "VALDEB",  "VALFIN",
                                                "RENDDEB", "RENDFIN", "CODRUBR"};

class RubricScreensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CriteriaTestDatabase::AddRubric("40000", "Total des revenus");
    CriteriaTestDatabase::AddRubric("40001", "Salaires");
    CriteriaTestDatabase::AddRubric("40002", "Revenus fonciers");
    CriteriaTestDatabase::AddRubric("54000", "Total des emprunts");
    CriteriaTestDatabase::AddRubric("02001", "Appartement");
    CriteriaTestDatabase::AddRubric("51000", "Total des impots");
  }
  static std::vector<std::string> Commands() { return RecordingRuntime::Get().Commands(); }
  static void ExpectLines(const QueryWorkingSet& lines, const std::vector<QueryLine>& expected) {
    ASSERT_EQ(lines.LineCount(), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(lines.Line(static_cast<int>(i) + 1).key, expected[i].key) << "line " << i + 1;
      EXPECT_EQ(lines.Line(static_cast<int>(i) + 1).text, expected[i].text) << "line " << i + 1;
    }
  }
  CriteriaTestDatabase database_;
};

TEST_F(RubricScreensTest, IncomeScreenOpensFillsAndShowsWithTheExactCommands) {
  QueryWorkingSet lines;
  lines.AppendLine("40001******2", "100\t2000\t");
  lines.AppendLine("40999******1", "1\t2\t");  // no longer in the catalogue
  lines.AppendLine("VILLE*******", "PARIS\t");
  TableWindow window(kOneAmountColumns);
  window.Play({"ESC"});

  EXPECT_TRUE(RunRubricCriteriaScreen("40", lines));

  EXPECT_THAT(Commands(), ElementsAreArray(std::vector<std::string>{
                              OpenWindowHook("SEL01E,10,10"),
                              "Ouvre,SEL01E,10,10",
                              "AFFICHE,F_TITRE=---  LES REVENUS  ---",
                              "AFFICHE,TEXTE=revenus",
                              "Ecran,Selection,+,LIBOPTION,TEXTE,OPTION",
                              "Table,Ajoute,TABLE1,Total des revenus\t0\t999999999\t40000",
                              "Table,Ajoute,TABLE1,",
                              "Table,Ajoute,TABLE1,Salaires\t0\t999999999\t40001",
                              "Table,Ajoute,TABLE1,Revenus fonciers\t0\t999999999\t40002",
                              "AFFICHE,OPTION=2",
                              "Table,Cherche,CODRUBR,40001",
                              "AFFICHE,VALDEB,03=100",
                              "AFFICHE,VALFIN,03=2000",
                              "AFFICHE,OPTION=1",
                              "Table,Cherche,CODRUBR,40999",
                              "ECRAN,SAISIE",
                              CloseWindowHook(),
                              "Ferme",
                          }));
  ExpectLines(
      lines,
      {{"40001******2", "100\t2000\t"}, {"40999******1", "1\t2\t"}, {"VILLE*******", "PARIS\t"}});
}

TEST_F(RubricScreensTest, IncomeValidation) {
  struct Case {
    const char* name;
    std::vector<QueryLine> before;
    Typed typed;
    std::vector<QueryLine> after;
  };
  const Case cases[] = {
      {"validating without touching anything adds no line", {}, {{"Option", "1"}}, {}},
      {"changing only the upper bound of one row stores one line",
       {},
       {{"Option", "1"}, {"VALFIN,03", "50000"}},
       {{"40001******1", "0\t50000\t"}}},
      {"no option and every row at its default: nothing stored, nothing removed",
       {{"VILLE*******", "LYON\t"}},
       {{"Option", ""}},
       {{"VILLE*******", "LYON\t"}}},
      {"bounds put back to the defaults remove the line",
       {{"VILLE*******", "LYON\t"}, {"40002******1", "0\t5\t"}},
       {{"VALFIN,04", "999999999"}},  // Option shown from the stored key
       {{"VILLE*******", "LYON\t"}, {"", "0\t5\t"}}},
      {"a change of option rewrites the changed rows with the new option",
       {{"40001******1", "0\t5\t"}, {"40000******1", "10\t20\t"}},
       {{"Option", "2"}},
       {{"40001******2", "0\t5\t"}, {"40000******2", "10\t20\t"}}},
      {"an empty cell is stored empty and stays in the query",
       {},
       {{"Option", "1"}, {"VALDEB,01", ""}},
       {{"40000******1", "\t999999999\t"}}},
      {"typed separators stay inside their element",
       {},
       {{"Option", "1"}, {"VALDEB,04", "1\t2"}},
       {{"40002******1", "1 2\t999999999\t"}}},
      {"an over-long option is cut to one character",
       {},
       {{"Option", "12"}, {"VALDEB,03", "5"}},
       {{"40001******1", "5\t999999999\t"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingRuntime::Get().Reset();
    QueryWorkingSet lines;
    for (const QueryLine& line : c.before) lines.AppendLine(line.key, line.text);
    TableWindow window(kOneAmountColumns);
    window.Play({"TF0"}, c.typed);
    EXPECT_TRUE(RunRubricCriteriaScreen("40", lines));
    ExpectLines(lines, c.after);
    EXPECT_THAT(Commands(), Contains("Table,Occurrence,TABLE1"));
  }
}

// Bounds typed without a calculation option used to vanish at validation
// while the screen closed as if they were stored.
TEST_F(RubricScreensTest, BoundsTypedWithoutOptionStopTheValidationAndStayTyped) {
  QueryWorkingSet lines;
  lines.AppendLine("VILLE*******", "LYON\t");
  TableWindow window(kOneAmountColumns);
  // First validation without option; then the adviser chooses "2".
  window.Play({"TF0", "TF0"}, {{"Option", ""}, {"VALDEB,04", "40000"}}, {{{"Option", "2"}}});

  EXPECT_TRUE(RunRubricCriteriaScreen("40", lines));

  const std::vector<std::string> commands = Commands();
  const auto error = std::find_if(commands.begin(), commands.end(),
                                  [](const std::string& c) { return c.starts_with("Erreur,"); });
  ASSERT_NE(error, commands.end());
  EXPECT_EQ(*error, os::Cp1252("Erreur,Rubrique « Revenus fonciers » : des bornes sont saisies "
                               "mais l'option de calcul n'est pas choisie. Choisissez « Par "
                               "personne » ou « Pour l'ensemble du foyer », puis validez ; les "
                               "bornes saisies sont gardées."));
  // Nothing is written over what was typed between the error and the input.
  const auto next_input = std::find(error, commands.end(), "ECRAN,SAISIE");
  ASSERT_NE(next_input, commands.end());
  EXPECT_TRUE(std::none_of(error, next_input,
                           [](const std::string& c) { return c.starts_with("AFFICHE,"); }));
  ASSERT_EQ(window.seen_at_input().size(), 2u);
  EXPECT_EQ(window.seen_at_input()[1].at("VALDEB,04"), "40000");
  ExpectLines(lines, {{"VILLE*******", "LYON\t"}, {"40002******2", "40000\t999999999\t"}});
}

TEST_F(RubricScreensTest, EscapeAndOtherCodes) {
  QueryWorkingSet lines;
  lines.AppendLine("40001******1", "0\t5\t");
  TableWindow window(kOneAmountColumns);
  window.Play({"01C", "ESC"}, {{"Option", "2"}, {"VALFIN,03", "9"}});
  RunRubricCriteriaScreen("40", lines);
  ExpectLines(lines, {{"40001******1", "0\t5\t"}});
  const std::vector<std::string> commands = Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "Table,Cherche,CODRUBR,40001"), 2);
  EXPECT_THAT(commands, Not(Contains("Table,Occurrence,TABLE1")));
}

TEST_F(RubricScreensTest, LoansUseTwoAmountsAndTheirColumnTitles) {
  QueryWorkingSet lines;
  lines.AppendLine("54000******1", "1\t2\t3\t4\t");
  TableWindow window(kTwoAmountColumns);
  window.Play({"TF0"}, {{"VAL2FIN,01", "500"}});
  RunRubricCriteriaScreen("54", lines);
  const std::vector<std::string> commands = Commands();
  EXPECT_THAT(commands, Contains("Ouvre,SEL01B,10,10"));
  EXPECT_THAT(commands, Contains("AFFICHE,TITRE,1=" + os::Cp1252("Capital restant dû")));
  EXPECT_THAT(commands, Contains("AFFICHE,TITRE,2=" + os::Cp1252("Annuités")));
  EXPECT_THAT(commands, Contains("AFFICHE,TEXTE=emprunts"));
  EXPECT_THAT(
      commands,
      Contains("Table,Ajoute,TABLE1,Total des emprunts\t0\t999999999\t0\t999999999\t54000"));
  EXPECT_THAT(commands, Contains("AFFICHE,VAL2DEB,01=3"));
  ExpectLines(lines, {{"54000******1", "1\t2\t3\t500\t"}});
}

TEST_F(RubricScreensTest, RentalRealEstateUsesAmountAndYield) {
  QueryWorkingSet lines;
  TableWindow window(kYieldColumns);
  window.Play({"TF0"}, {{"Option", "2"}, {"RENDDEB,01", "4"}});
  RunRubricCriteriaScreen("02", lines);
  EXPECT_THAT(Commands(), Contains("Table,Ajoute,TABLE1,Appartement\t0\t999999999\t0\t999\t02001"));
  ExpectLines(lines, {{"02001******2", "0\t999999999\t4\t999\t"}});
}

TEST_F(RubricScreensTest, TaxesHaveNoOptionAndMatchTheWholeKey) {
  QueryWorkingSet lines;
  // Written with an option by another hand: shown on its row, left in place.
  lines.AppendLine("51000******1", "0\t5\t");
  TableWindow window(kOneAmountColumns);
  window.Play({"TF0"}, {{"VALDEB,01", "100"}, {"Option", "1"}});
  RunRubricCriteriaScreen("51", lines);
  const std::vector<std::string> commands = Commands();
  EXPECT_THAT(commands, Contains("AFFICHE,F_TITRE=---  LES IMPOTS  ---"));
  EXPECT_THAT(commands, Not(Contains("Ecran,Selection,+,LIBOPTION,TEXTE,OPTION")));
  for (const std::string& command : commands) {
    EXPECT_NE(command.rfind("AFFICHE,TEXTE", 0), 0u);
    EXPECT_NE(command.rfind("AFFICHE,OPTION", 0), 0u);
    EXPECT_NE(command, "ECRAN,RECUPERE,Option");
  }
  ExpectLines(lines, {{"51000******1", "0\t5\t"}, {"51000*******", "100\t5\t"}});
}

TEST_F(RubricScreensTest, RetirementFixedRowsCompareWithTheirOwnDefaults) {
  QueryWorkingSet lines;
  TableWindow window(kOneAmountColumns);
  window.Play({"TF0"}, {{"VALFIN,02", "50"}});
  RunRubricCriteriaScreen("20", lines);
  EXPECT_THAT(Commands(),
              ElementsAreArray(std::vector<std::string>{
                  OpenWindowHook("SEL01E,10,10"),
                  "Ouvre,SEL01E,10,10",
                  "AFFICHE,F_TITRE=---  LA RETRAITE  ---",
                  "Table,Ajoute,TABLE1," + os::Cp1252("Retraite estimée") + "\t0\t999999999\t2000A",
                  "Table,Ajoute,TABLE1," + os::Cp1252("Rapport estimé Retraite/Revenus (en %)") +
                      "\t0\t999\t2000B",
                  "Table,Ajoute,TABLE1," + os::Cp1252("Rapport souhaité - Rapport estimé") +
                      "\t0\t999\t2000C",
                  "ECRAN,SAISIE",
                  "Table,Occurrence,TABLE1",
                  "ECRAN,RECUPERE,CODRUBR,01",
                  "ECRAN,RECUPERE,VALDEB,01",
                  "Ex\xE9"
                  "cute(\"EstUnInterrupteur\", \"VALDEB\")",
                  "RECUPERE,gsEstUnInterrupteurRetour",
                  "ECRAN,RECUPERE,VALFIN,01",
                  "ECRAN,RECUPERE,CODRUBR,02",
                  "ECRAN,RECUPERE,VALDEB,02",
                  "Ex\xE9"
                  "cute(\"EstUnInterrupteur\", \"VALDEB\")",
                  "RECUPERE,gsEstUnInterrupteurRetour",
                  "ECRAN,RECUPERE,VALFIN,02",
                  "ECRAN,RECUPERE,CODRUBR,03",
                  "ECRAN,RECUPERE,VALDEB,03",
                  "Ex\xE9"
                  "cute(\"EstUnInterrupteur\", \"VALDEB\")",
                  "RECUPERE,gsEstUnInterrupteurRetour",
                  "ECRAN,RECUPERE,VALFIN,03",
                  CloseWindowHook(),
                  "Ferme",
              }));
  ExpectLines(lines, {{"2000B*******", "0\t50\t"}});

  // Put back to 0-999: the line goes.
  RecordingRuntime::Get().Reset();
  TableWindow again(kOneAmountColumns);
  again.Play({"TF0"}, {{"VALFIN,02", "999"}});
  RunRubricCriteriaScreen("20", lines);
  EXPECT_THAT(Commands(), Contains("AFFICHE,VALFIN,02=50"));
  ExpectLines(lines, {{"", "0\t50\t"}});
}

TEST_F(RubricScreensTest, ProvidentRowStoredWithItsDefaultPercentagesIsRemoved) {
  QueryWorkingSet lines;
  lines.AppendLine("3300H*******", "0\t999\t0\t999\t");
  lines.AppendLine("3300A*******", "0\t999\t0\t999\t");  // percentages on an amount row
  TableWindow window(kTwoAmountColumns);
  window.Play({"TF0"});
  RunRubricCriteriaScreen("33", lines);
  EXPECT_EQ(window.rows(), 14);
  EXPECT_THAT(Commands(), Contains("Ouvre,SEL01G,10,10"));
  EXPECT_THAT(Commands(),
              Contains("Table,Ajoute,TABLE1," + os::Cp1252("Rapport inc. temp./revenus") +
                       "\t0\t999\t0\t999\t3300N"));
  ExpectLines(lines, {{"", "0\t999\t0\t999\t"}, {"3300A*******", "0\t999\t0\t999\t"}});
}

TEST_F(RubricScreensTest, EstateHasTwoFixedRows) {
  QueryWorkingSet lines;
  TableWindow window(kOneAmountColumns);
  window.Play({"TF0"}, {{"VALDEB,02", "100000"}});
  RunRubricCriteriaScreen("SC", lines);
  EXPECT_EQ(window.rows(), 2);
  EXPECT_THAT(Commands(), Contains("Table,Ajoute,TABLE1," + os::Cp1252("Succession au 2ème décès") +
                                   "\t0\t999999999\tSC00B"));
  ExpectLines(lines, {{"SC00B*******", "100000\t999999999\t"}});
}

// Rows whose code cell was tampered with store nothing.
TEST_F(RubricScreensTest, RowsWithoutAWholeRubricCodeAreSkipped) {
  QueryWorkingSet lines;
  TableWindow window(kOneAmountColumns);
  window.Play({"TF0"}, {{"Option", "1"},
                        {"CODRUBR,03", "40001XYZ"},
                        {"VALDEB,03", "1"},
                        {"CODRUBR,04", "4"},
                        {"VALDEB,04", "1"},
                        {"VALDEB,02", "1"}});  // the empty row after the total
  RunRubricCriteriaScreen("40", lines);
  ExpectLines(lines, {});
  QueryWorkingSet fixed;
  RecordingRuntime::Get().Reset();
  TableWindow retirement(kOneAmountColumns);
  retirement.Play({"TF0"}, {{"CODRUBR,01", "2000Z"}, {"VALDEB,01", "3"}});
  RunRubricCriteriaScreen("20", fixed);  // a code the screen does not know
  ExpectLines(fixed, {});
}

TEST_F(RubricScreensTest, AFullQueryRefusesNewRubricLinesWithOneMessage) {
  QueryWorkingSet lines;
  while (lines.AppendLine("VILLE*******", "x\t")) {
  }
  TableWindow window(kOneAmountColumns);
  window.Play({"TF0"}, {{"Option", "1"}, {"VALDEB,03", "1"}, {"VALDEB,04", "2"}});
  RunRubricCriteriaScreen("40", lines);
  EXPECT_EQ(lines.LineCount(), kMaxQueryLines);
  const std::vector<std::string> commands = Commands();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                          [](const std::string& c) { return c.rfind("Erreur,", 0) == 0; }),
            1);
}

TEST(RubricScreenFamilyTest, MembersAndUnknownPrefixes) {
  const std::set<std::string> prefixes = {"40", "54", "51", "01", "02", "03", "04",
                                          "05", "06", "07", "20", "33", "SC"};
  std::set<std::string> seen;
  for (const RubricScreenMember& member : RubricScreenMembers()) {
    SCOPED_TRACE(std::string(member.prefix));
    seen.insert(std::string(member.prefix));
    EXPECT_TRUE(IsRubricCriteriaPrefix(member.prefix));
    const bool fixed = !member.fixed_rows.empty();
    EXPECT_EQ(fixed, member.prefix == "20" || member.prefix == "33" || member.prefix == "SC");
    // Members with fixed rows and taxes have no option.
    EXPECT_EQ(member.has_option(), !fixed && member.prefix != "51");
    for (const FixedRubricRow& row : member.fixed_rows) {
      EXPECT_EQ(row.code.size(), kRubricCodeWidth);
      EXPECT_EQ(std::string(row.bounds) + "\t", row.default_text);
      EXPECT_EQ(std::count(row.default_text.begin(), row.default_text.end(), '\t'),
                static_cast<long>(member.cells.size()));
    }
    EXPECT_EQ(std::count(member.default_text.begin(), member.default_text.end(), '\t'),
              static_cast<long>(member.cells.size()));
    // Only the loans screen names its two column groups.
    EXPECT_EQ(member.column_title_1.empty(), member.prefix != "54");
    EXPECT_EQ(member.column_title_2.empty(), member.prefix != "54");
  }
  EXPECT_EQ(seen, prefixes);
  EXPECT_EQ(RubricScreenMembers().size(), 13u);

  screen::ResetBridgeForTests();
  RecordingRuntime::Get().Reset();
  QueryWorkingSet lines;
  for (const char* unknown : {"", "4", "41", "400", "sc", "00", "40\t"}) {
    EXPECT_FALSE(IsRubricCriteriaPrefix(unknown)) << unknown;
    EXPECT_FALSE(RunRubricCriteriaScreen(unknown, lines)) << unknown;
  }
  EXPECT_TRUE(RecordingRuntime::Get().Commands().empty());
}

}  // namespace
}  // namespace vz::queries
