#include "src/screen/field_access.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/screen/bridge.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"

namespace vz::screen {
namespace {

using ::testing::ElementsAreArray;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

const std::string kSwitchVariable = "RECUPERE,gsEstUnInterrupteurRetour";

std::string SwitchTest(const std::string& field) {
  return "Ex\xE9"
         "cute(\"EstUnInterrupteur\", \"" +
         field + "\")";
}

class FieldAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetBridgeForTests();
    runtime().Reset();
  }
  static RecordingRuntime& runtime() { return RecordingRuntime::Get(); }
};

struct SetCase {
  const char* label;
  std::string field;
  std::string value;
  std::vector<std::string> switches;
  std::vector<std::string> received;
};

class SetFieldValueTest : public FieldAccessTest, public ::testing::WithParamInterface<SetCase> {};

TEST_P(SetFieldValueTest, SendsTheDisplayCommand) {
  for (const std::string& field : GetParam().switches) runtime().SetSwitchField(field);
  SetFieldValue(GetParam().field, GetParam().value);
  EXPECT_THAT(runtime().Commands(), ElementsAreArray(GetParam().received));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SetFieldValueTest,
    ::testing::Values(
        SetCase{"YesIntoSwitch",
                "CASE1",
                "O",
                {"CASE1"},
                {SwitchTest("CASE1"), kSwitchVariable, "AFFICHE,CASE1=1"}},
        SetCase{"NoIntoSwitch",
                "CASE1",
                "N",
                {"CASE1"},
                {SwitchTest("CASE1"), kSwitchVariable, "AFFICHE,CASE1=0"}},
        SetCase{"YesIntoText",
                "NOM",
                "O",
                {"CASE1"},
                {SwitchTest("NOM"), kSwitchVariable, "AFFICHE,NOM=O"}},
        SetCase{"WordsNeverTranslated", "CASE1", "OUI", {"CASE1"}, {"AFFICHE,CASE1=OUI"}},
        SetCase{"NonNeverTranslated", "CASE1", "NON", {"CASE1"}, {"AFFICHE,CASE1=NON"}},
        SetCase{"LowerCaseLetter", "CASE1", "o", {"CASE1"}, {"AFFICHE,CASE1=o"}},
        SetCase{"TrailingBlanksBeforeTheTest",
                "CASE1",
                "O   ",
                {"CASE1"},
                {SwitchTest("CASE1"), kSwitchVariable, "AFFICHE,CASE1=1"}},
        SetCase{"LeadingBlankStays", "CASE1", " O", {"CASE1"}, {"AFFICHE,CASE1= O"}},
        SetCase{"TrailingBlanksRemoved", "NOM", "  Dupont  ", {}, {"AFFICHE,NOM=  Dupont"}},
        SetCase{"Character255IsBlank", "NOM", "x \xFF\xFF", {}, {"AFFICHE,NOM=x"}},
        SetCase{"BlanksInName", " NO M ", "x", {}, {"AFFICHE,NOM=x"}},
        SetCase{"BlanksInSwitchName",
                "CA SE1",
                "N",
                {"CASE1"},
                {SwitchTest("CASE1"), kSwitchVariable, "AFFICHE,CASE1=0"}},
        SetCase{"DoubleQuotes", "NOM", "Le \"grand\" \"", {}, {"AFFICHE,NOM=Le 'grand' '"}},
        SetCase{"Empty", "NOM", "", {}, {"AFFICHE,NOM="}},
        SetCase{"OnlyBlanks", "NOM", "    ", {}, {"AFFICHE,NOM="}},
        SetCase{"CellAskedWhole",
                "TABLE1,CASE",
                "O",
                {"TABLE1"},
                {SwitchTest("TABLE1,CASE"), kSwitchVariable, "AFFICHE,TABLE1,CASE=O"}},
        SetCase{"AccentsKept", "VILLE", "S\xE9te", {}, {"AFFICHE,VILLE=S\xE9te"}}),
    [](const ::testing::TestParamInfo<SetCase>& info) { return info.param.label; });

struct GetCase {
  const char* label;
  std::string field;
  int column;
  std::string shown;  // what the window holds under the field name sent
  std::vector<std::string> switches;
  std::string expected;
  std::vector<std::string> received;
};

class GetFieldValueTest : public FieldAccessTest, public ::testing::WithParamInterface<GetCase> {};

TEST_P(GetFieldValueTest, ReadsAndTranslates) {
  const GetCase& c = GetParam();
  for (const std::string& field : c.switches) runtime().SetSwitchField(field);
  std::string sent_name;
  for (char ch : c.field) {
    if (ch != ' ') sent_name += ch;
  }
  runtime().fields()[sent_name] = c.shown;
  EXPECT_EQ(GetFieldValue(c.field, c.column), c.expected);
  EXPECT_THAT(runtime().Commands(), ElementsAreArray(c.received));
}

const std::string kTenParts = "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12";

INSTANTIATE_TEST_SUITE_P(
    Rules, GetFieldValueTest,
    ::testing::Values(
        GetCase{"SwitchOn",
                "CASE1",
                -1,
                "1",
                {"CASE1"},
                "O",
                {"ECRAN,RECUPERE,CASE1", SwitchTest("CASE1"), kSwitchVariable}},
        GetCase{"SwitchOff",
                "CASE1",
                -1,
                "0",
                {"CASE1"},
                "N",
                {"ECRAN,RECUPERE,CASE1", SwitchTest("CASE1"), kSwitchVariable}},
        GetCase{"ZeroIsWhole",
                "CASE1",
                0,
                "1",
                {"CASE1"},
                "O",
                {"ECRAN,RECUPERE,CASE1", SwitchTest("CASE1"), kSwitchVariable}},
        GetCase{"OneFromText",
                "NOMBRE",
                -1,
                "1",
                {"CASE1"},
                "1",
                {"ECRAN,RECUPERE,NOMBRE", SwitchTest("NOMBRE"), kSwitchVariable}},
        GetCase{"PlainText", "NOM", -1, "Dupont", {}, "Dupont", {"ECRAN,RECUPERE,NOM"}},
        GetCase{
            "LetterNotTranslatedBack", "CASE1", -1, "O", {"CASE1"}, "O", {"ECRAN,RECUPERE,CASE1"}},
        GetCase{"ElevenNotTested", "CASE1", -1, "11", {"CASE1"}, "11", {"ECRAN,RECUPERE,CASE1"}},
        GetCase{"BlankOneNotTested", "CASE1", -1, " 1", {"CASE1"}, " 1", {"ECRAN,RECUPERE,CASE1"}},
        GetCase{"CellAsksTheTableOnly",
                "TABLE1,ACTIF",
                -1,
                "1",
                {"TABLE1"},
                "O",
                {"ECRAN,RECUPERE,TABLE1,ACTIF", SwitchTest("TABLE1"), kSwitchVariable}},
        GetCase{"CellNameIsNotTheSwitch",
                "TABLE1,ACTIF",
                -1,
                "0",
                {"TABLE1,ACTIF"},
                "0",
                {"ECRAN,RECUPERE,TABLE1,ACTIF", SwitchTest("TABLE1"), kSwitchVariable}},
        GetCase{"BlanksInName", " N O M ", -1, "x", {}, "x", {"ECRAN,RECUPERE,NOM"}},
        GetCase{"FirstColumn", "LIGNE", 1, "a\tb", {}, "a", {"ECRAN,RECUPERE,LIGNE"}},
        GetCase{"SecondColumn", "LIGNE", 2, "a\tb", {}, "b", {"ECRAN,RECUPERE,LIGNE"}},
        GetCase{"MissingColumn", "LIGNE", 3, "a\tb", {}, "", {"ECRAN,RECUPERE,LIGNE"}},
        GetCase{"TenthColumn", "LIGNE", 10, kTenParts, {}, "10", {"ECRAN,RECUPERE,LIGNE"}},
        GetCase{"BeyondTenColumns", "LIGNE", 11, kTenParts, {}, "", {"ECRAN,RECUPERE,LIGNE"}},
        GetCase{"HugeColumn", "LIGNE", 2147483647, kTenParts, {}, "", {"ECRAN,RECUPERE,LIGNE"}},
        GetCase{"ColumnNeverTranslated", "CASE1", 1, "1", {"CASE1"}, "1", {"ECRAN,RECUPERE,CASE1"}},
        GetCase{"EmptyColumns", "LIGNE", 2, "\t\t", {}, "", {"ECRAN,RECUPERE,LIGNE"}},
        GetCase{"UnknownField", "ABSENT", -1, "", {}, "", {"ECRAN,RECUPERE,ABSENT"}}),
    [](const ::testing::TestParamInfo<GetCase>& info) { return info.param.label; });

TEST_F(FieldAccessTest, LeavesTheReturnCodeOfTheInput) {
  runtime().Answer("ECRAN,SAISIE", RuntimeAnswer{0, "", "VAL"});
  runtime().SetSwitchField("CASE1");
  runtime().fields()["CASE1"] = "1";
  SendCommand("Ecran,Saisie");
  SetFieldValue("CASE1", "N");
  EXPECT_EQ(GetFieldValue("CASE1", -1), "N");
  EXPECT_EQ(ReturnCode(), "VAL");
}

TEST_F(FieldAccessTest, RoundTripOfASwitch) {
  runtime().SetSwitchField("ACTIF");
  SetFieldValue("ACTIF", "O");
  EXPECT_EQ(runtime().fields()["ACTIF"], "1");
  EXPECT_EQ(GetFieldValue("ACTIF", kWholeValue), "O");
}

}  // namespace
}  // namespace vz::screen
