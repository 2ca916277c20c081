// The combination part of a combined query against the recording runtime:
// operands picked and shown, operator shown as option and picture, and the
// text built back from the window.
#include "src/queries/combination_screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"

namespace vz::queries {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

class CombinationScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screen::ResetBridgeForTests();
    runtime().Reset();
  }
  static RecordingRuntime& runtime() { return RecordingRuntime::Get(); }
  // The commands sent, without the switch test the field access adds.
  static std::vector<std::string> Commands() {
    std::vector<std::string> kept;
    for (const std::string& c : runtime().Commands()) {
      if (c.find("EstUnInterrupteur") == std::string::npos) kept.push_back(c);
    }
    return kept;
  }
};

TEST_F(CombinationScreenTest, ShowsBothOperandsAndTheUnion) {
  runtime().Answer("Table,Cherche,REQUETE1,01000011", {3, "", std::nullopt});
  runtime().Answer("Table,Select,+,TABLE1", {3, "", std::nullopt});
  runtime().Answer("Table,Cherche,REQUETE2,01000017", {12, "", std::nullopt});
  runtime().Answer("Table,Select,+,TABLE2", {12, "", std::nullopt});
  runtime().fields()["texte1,03"] = "Revenus hauts";
  runtime().fields()["texte2,12"] = "Paris";

  ShowCombination("01000011", "OU", "01000017");

  EXPECT_THAT(Commands(),
              ElementsAre("Table,Cherche,REQUETE1,01000011", "Table,Select,+,TABLE1, 3",
                          "ECRAN,RECUPERE,texte1,03", "AFFICHE,titre1=Revenus hauts",
                          "AFFICHE,OPTION=1", "AFFICHE,ENSEMBLE=UNION.BMP",
                          "Table,Cherche,REQUETE2,01000017", "Table,Select,+,TABLE2,12",
                          "ECRAN,RECUPERE,texte2,12", "AFFICHE,titre2=Paris"));
}

struct OperatorCase {
  const char* stored;
  const char* option;
  const char* picture;
};

class StoredOperatorTest : public CombinationScreenTest,
                           public ::testing::WithParamInterface<OperatorCase> {};

TEST_P(StoredOperatorTest, AnythingButOuShowsTheIntersection) {
  ShowCombination("01000011", GetParam().stored, "01000017");
  EXPECT_EQ(runtime().fields()["OPTION"], GetParam().option);
  EXPECT_EQ(runtime().fields()["ENSEMBLE"], GetParam().picture);
}

INSTANTIATE_TEST_SUITE_P(Operators, StoredOperatorTest,
                         ::testing::Values(OperatorCase{"OU", "1", "UNION.BMP"},
                                           OperatorCase{"ET", "2", "INTERSEC.BMP"},
                                           OperatorCase{"ou", "2", "INTERSEC.BMP"},
                                           OperatorCase{"", "2", "INTERSEC.BMP"},
                                           OperatorCase{"OU ", "2", "INTERSEC.BMP"}));

TEST_F(CombinationScreenTest, AnOperandNoLongerListedLeavesItsTitleAlone) {
  // The first operand was deleted since: the search finds no row.
  runtime().Answer("Table,Cherche,REQUETE1,", {0, "", std::nullopt});
  runtime().Answer("Table,Cherche,REQUETE2,", {-1, "", std::nullopt});
  runtime().fields()["titre1"] = "previous";

  ShowCombination("01000099", "ET", "");

  const std::vector<std::string> commands = Commands();
  EXPECT_THAT(commands, Not(Contains(::testing::StartsWith("Table,Select"))));
  EXPECT_THAT(commands, Not(Contains(::testing::StartsWith("ECRAN,RECUPERE,texte"))));
  EXPECT_EQ(runtime().fields()["titre1"], "previous");
  EXPECT_EQ(runtime().fields().count("titre2"), 0u);
}

struct BuildCase {
  const char* option;
  const char* expected_operator;
};

class BuildCombinationTest : public CombinationScreenTest,
                             public ::testing::WithParamInterface<BuildCase> {};

TEST_P(BuildCombinationTest, ReadsTheSelectedRowsAndTheOption) {
  runtime().Answer("Table,Select,?,TABLE1", {2, "", std::nullopt});
  runtime().Answer("Table,Select,?,TABLE2", {14, "", std::nullopt});
  runtime().fields()["REQUETE1,002"] = "01000011";
  runtime().fields()["REQUETE2,014"] = "01000017";
  runtime().fields()["OPTION"] = GetParam().option;

  EXPECT_EQ(BuildCombinationPart(),
            std::string("C\t01000011\t") + GetParam().expected_operator + "\t01000017\t");
}

// Only a value reading as the integer 1 is a union; anything else, a typing
// error included, is stored as an intersection.
INSTANTIATE_TEST_SUITE_P(Options, BuildCombinationTest,
                         ::testing::Values(BuildCase{"1", "OU"}, BuildCase{" 1 ", "OU"},
                                           BuildCase{"2", "ET"}, BuildCase{"", "ET"},
                                           BuildCase{"0", "ET"}, BuildCase{"x", "ET"},
                                           BuildCase{"11", "ET"}, BuildCase{"1x", "ET"}));

TEST_F(CombinationScreenTest, AnUnselectedOperandIsStoredAsTheTableGivesIt) {
  // No row selected: row 0, and the field "REQUETE1,000" reads empty.
  runtime().Answer("Table,Select,?,TABLE2", {1, "", std::nullopt});
  runtime().fields()["REQUETE2,001"] = "01000011";
  runtime().fields()["OPTION"] = "1";

  EXPECT_EQ(BuildCombinationPart(), "C\t\tOU\t01000011\t");
  EXPECT_THAT(Commands(), Contains("ECRAN,RECUPERE,REQUETE1,000"));
}

}  // namespace
}  // namespace vz::queries
