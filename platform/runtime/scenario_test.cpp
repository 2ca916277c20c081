#include "platform/runtime/scenario.h"

#include <gtest/gtest.h>

namespace vz::runtime {
namespace {

TEST(ParseScenario, ReadsStepsAndActionsInOrder) {
  const ScenarioLoad load = ParseScenario(R"SCN(# a run
input MENU.WDW
  press T04
input PARETI
  type MHAUTE "12"
  type VALDEB,03 1500
  switch ACTIF on
  choose OPTION 2
  pick TABLE1 3
  pick SITFAM "Marié(e)"
  pick SITFAM "3"
  pick REQUETES CODE 01000003
  click B_REQUETE
  press TF0
input EX_MNUOUT press ESC
expect error "Le logiciel est déjà actif !"
expect info " Erreur d'ouverture"
answer yes "Désirez vous quitter le logiciel ?"
answer no
)SCN",
                                          "run.scn");
  ASSERT_TRUE(load.scenario) << load.error;
  const Scenario& scenario = *load.scenario;
  EXPECT_EQ(scenario.file, "run.scn");
  EXPECT_EQ(scenario.last_line, 19);
  ASSERT_EQ(scenario.steps.size(), 7u);

  EXPECT_EQ(scenario.steps[0].window, "MENU.WDW");
  EXPECT_EQ(scenario.steps[0].code, "T04");
  EXPECT_EQ(scenario.steps[0].line, 2);
  EXPECT_EQ(scenario.steps[0].code_line, 3);

  const auto& actions = scenario.steps[1].actions;
  ASSERT_EQ(actions.size(), 9u);
  using Kind = ScenarioAction::Kind;
  EXPECT_EQ(actions[0].kind, Kind::kType);
  EXPECT_EQ(actions[0].text, "12");
  EXPECT_EQ(actions[1].field, "VALDEB,03");
  EXPECT_EQ(actions[1].text, "1500");
  EXPECT_EQ(actions[2].kind, Kind::kSwitch);
  EXPECT_EQ(actions[3].number, 2);
  EXPECT_EQ(actions[4].kind, Kind::kPickRow);
  EXPECT_EQ(actions[4].number, 3);
  EXPECT_EQ(actions[5].kind, Kind::kPickText);
  EXPECT_EQ(actions[5].text, "Mari\xE9(e)");
  EXPECT_EQ(actions[6].kind, Kind::kPickText);  // quoted: a text, not a row
  EXPECT_EQ(actions[7].kind, Kind::kPickCell);
  EXPECT_EQ(actions[7].column, "CODE");
  EXPECT_EQ(actions[8].kind, Kind::kClick);
  EXPECT_EQ(actions[8].line, 13);

  EXPECT_EQ(scenario.steps[2].code, "ESC");
  EXPECT_EQ(scenario.steps[2].code_line, 15);
  EXPECT_EQ(scenario.steps[3].kind, ScenarioStep::Kind::kExpect);
  EXPECT_EQ(scenario.steps[3].message_kind, MessageKind::kError);
  EXPECT_EQ(scenario.steps[3].message, "Le logiciel est d\xE9j\xE0 actif !");
  EXPECT_EQ(scenario.steps[4].message_kind, MessageKind::kInfo);
  EXPECT_TRUE(scenario.steps[5].yes);
  EXPECT_EQ(*scenario.steps[5].question, "D\xE9sirez vous quitter le logiciel ?");
  EXPECT_FALSE(scenario.steps[6].yes);
  EXPECT_FALSE(scenario.steps[6].question.has_value());
}

TEST(ParseScenario, EmptyScenarioHasNoStep) {
  const ScenarioLoad load = ParseScenario("# nothing\n\n", "empty.scn");
  ASSERT_TRUE(load.scenario);
  EXPECT_TRUE(load.scenario->steps.empty());
}

TEST(ParseScenario, RejectsMalformedLinesWithTheirNumber) {
  struct Case {
    std::string content;
    int line;
    std::string reason_part;
  } cases[] = {
      {"press T01\n", 1, "without an open \"input\""},
      {"input MENU\ninput AGENDA\n", 2, "(line 1) has no \"press\""},
      {"input MENU\n", 1, "has no \"press\""},
      {"input MENU\n  type A b\n", 1, "has no \"press\""},
      {"type A b\n", 1, "outside an \"input\""},
      {"input MENU\nanswer yes\n", 2, "has no \"press\""},
      {"input MENU\nexpect error x\n", 2, "has no \"press\""},
      {"input\n", 1, "usage: input"},
      {"input MENU press\n", 1, "usage: input"},
      {"input MENU go T01\n", 1, "usage: input"},
      {"input MENU\npress\n", 2, "usage: press"},
      {"input MENU\npress LONG\n", 2, "1 to 3 characters"},
      {"input MENU\npress \"\"\n", 2, "1 to 3 characters"},
      {"input MENU\ntype A\npress X\n", 2, "usage: type"},
      {"input MENU\nswitch A maybe\npress X\n", 2, "\"on\" or \"off\""},
      {"input MENU\nchoose A zero\npress X\n", 2, "not a number"},
      {"input MENU\nchoose A 0\npress X\n", 2, "not a number"},
      {"input MENU\npick A\npress X\n", 2, "usage: pick"},
      {"input MENU\nclick\npress X\n", 2, "usage: click"},
      {"answer maybe\n", 1, "\"yes\" or \"no\""},
      {"answer\n", 1, "usage: answer"},
      {"expect warning x\n", 1, "\"error\" or \"info\""},
      {"expect error\n", 1, "usage: expect"},
      {"stop 2\n", 1, "usage: stop after N"},
      {"stop after\n", 1, "usage: stop after N"},
      {"stop after 0\n", 1, "not a number from 1"},
      {"input MENU\nstop after 1\n", 2, "has no \"press\""},
      {"dance\n", 1, "unknown statement"},
      {"\"input\" MENU\n", 1, "start with a keyword"},
      {"input MENU\ntype A \"unclosed\npress X\n", 2, "not closed"},
      {"# ok\n# ok\ninput M\xE9NU press X\n", 3, "not UTF-8"},
  };
  for (const auto& c : cases) {
    const ScenarioLoad load = ParseScenario(c.content, "s.scn");
    EXPECT_FALSE(load.scenario.has_value()) << c.content;
    EXPECT_EQ(load.error.rfind("s.scn:" + std::to_string(c.line) + ": ", 0), 0u)
        << c.content << "\n-> " << load.error;
    EXPECT_NE(load.error.find(c.reason_part), std::string::npos)
        << c.content << "\n-> " << load.error;
  }
}

TEST(DescribeStep, NamesWhatTheStepWaitsFor) {
  ScenarioStep input;
  input.window = "MENU";
  EXPECT_EQ(DescribeStep(input), "input MENU");
  ScenarioStep answer;
  answer.kind = ScenarioStep::Kind::kAnswer;
  answer.yes = true;
  answer.question = "Q ?";
  EXPECT_EQ(DescribeStep(answer), "answer yes \"Q ?\"");
  ScenarioStep expect;
  expect.kind = ScenarioStep::Kind::kExpect;
  expect.message_kind = MessageKind::kInfo;
  expect.message = "m";
  EXPECT_EQ(DescribeStep(expect), "expect info \"m\"");
  const ScenarioLoad stop = ParseScenario("stop after 12\n", "s.scn");
  ASSERT_TRUE(stop.scenario) << stop.error;
  ASSERT_EQ(stop.scenario->steps.size(), 1u);
  EXPECT_EQ(stop.scenario->steps[0].stop_after, 12);
  EXPECT_EQ(DescribeStep(stop.scenario->steps[0]), "stop after 12");
}

}  // namespace
}  // namespace vz::runtime
