#include "project/project_code.h"

#include <gtest/gtest.h>

#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/session.h"

namespace vz::project {
namespace {

using runtime::CodeRegistry;
using runtime::Session;

const char kLibrary[] = R"(library T
window MENU title="Menu" w=400 h=300 default=OK escape=ESC
  button OK x=0 y=0 w=100 h=30 label="OK" code=T01
end
window FORM title="Fiche" w=400 h=300 default=OK escape=ESC
  text NOM x=0 y=0 w=100 h=20 label="Nom"
  switch ACTIF x=0 y=30 w=100 h=20 label="Actif"
  table TABLE1 x=0 y=60 w=300 h=100 label="Table"
    column VALDEB title="Min" w=100 edit=1
  button OK x=0 y=200 w=100 h=30 label="OK" code=TF0
end
)";

class ProjectCodeTest : public ::testing::Test {
 protected:
  ProjectCodeTest() {
    Session::Setup setup;
    setup.front_end = &front_;
    setup.transcript = &transcript_;
    RegisterProjectCode(setup.registry);
    session_ = std::make_unique<Session>(std::move(setup));
    auto load = runtime::ParseWindowLibrary(kLibrary, "t.wdl");
    EXPECT_TRUE(load.library) << load.error;
    session_->set_library(std::move(*load.library));
  }

  std::string Variable(const std::string& name) {
    return session_->Execute("RECUPERE," + name).text;
  }

  runtime::FakeFrontEnd front_;
  runtime::Transcript transcript_;
  std::unique_ptr<Session> session_;
};

TEST_F(ProjectCodeTest, OpenAndCloseBookkeepingFollowsTheBridgeCalls) {
  struct Step {
    std::string command;
    int32_t value;
    std::string open_list;
    std::string count;
  } steps[] = {
      {"EX\xE9"
       "CUTE(\"OUVREFEN\",\"MENU\")",
       0, "MENU", "1"},
      {"EX\xE9"
       "CUTE(\"OUVREFEN\",\"FORM,10,20\")",
       0, "MENU\tFORM", "2"},
      {"EX\xE9"
       "CUTE(\"OUVREFEN\",\"NOPE\")",
       -1, "MENU\tFORM\tNOPE", "3"},
      {"EX\xE9"
       "CUTE(\"FermeFen\")",
       0, "MENU\tFORM", "2"},
      {"EX\xE9"
       "CUTE(\"FermeFen\")",
       0, "MENU", "1"},
      {"EX\xE9"
       "CUTE(\"OUVREFEN\",\"FORM\",\"5\",\"6\")",
       0, "MENU\tFORM", "2"},
      {"EX\xE9"
       "CUTE(\"OUVREFEN\",\"form\")",
       0, "MENU\tFORM", "2"},
      {"EX\xE9"
       "CUTE(\"FermeFen\")",
       0, "MENU", "1"},
      {"EX\xE9"
       "CUTE(\"FermeFen\")",
       0, "", "0"},
      {"EX\xE9"
       "CUTE(\"FermeFen\")",
       -1, "", "0"},
      {"EX\xE9"
       "CUTE(\"OUVREFEN\",\"\")",
       -1, "", "0"},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(session_->Execute(step.command).value, step.value) << step.command;
    EXPECT_EQ(Variable("gsFenetresOuvertes"), step.open_list) << step.command;
    EXPECT_EQ(Variable("gnNbFenetres"), step.count) << step.command;
  }
  EXPECT_EQ(Variable("gsFenetreFermee"), "MENU");
}

TEST_F(ProjectCodeTest, OpenBookkeepingRemembersTheWindowAndItsPosition) {
  session_->Execute(
      "EX\xE9"
      "CUTE(\"OUVREFEN\",\"FORM,10,20\")");
  EXPECT_EQ(Variable("gsFenetreDemandee"), "FORM");
  EXPECT_EQ(Variable("gnFenetreX"), "10");
  EXPECT_EQ(Variable("gnFenetreY"), "20");
  session_->Execute(
      "EX\xE9"
      "CUTE(\"OUVREFEN\",\"MENU\")");
  EXPECT_EQ(Variable("gsFenetreDemandee"), "MENU");
  EXPECT_EQ(Variable("gnFenetreX"), "");
}

TEST_F(ProjectCodeTest, SwitchTestAnswersForTheCurrentWindow) {
  struct Case {
    std::string field;
    std::string answer;
  } cases[] = {
      {"ACTIF", "OUI"}, {"actif", "OUI"},  {" A C T I F ", "OUI"}, {"ACTIF,1", "OUI"},
      {"NOM", "NON"},   {"TABLE1", "NON"}, {"VALDEB", "NON"},      {"VALDEB,03", "NON"},
      {"NOPE", "NON"},  {"", "NON"},
  };
  EXPECT_EQ(session_->Execute("Ouvre,FORM").value, 0);
  for (const auto& c : cases) {
    EXPECT_EQ(session_
                  ->Execute("Ex\xE9"
                            "cute(\"EstUnInterrupteur\", \"" +
                            c.field + "\")")
                  .value,
              0);
    EXPECT_EQ(Variable("gsEstUnInterrupteurRetour"), c.answer) << c.field;
  }
  // The same field name in another window is not a switch there.
  session_->Execute("Ouvre,MENU");
  session_->Execute(
      "Ex\xE9"
      "cute(\"EstUnInterrupteur\", \"ACTIF\")");
  EXPECT_EQ(Variable("gsEstUnInterrupteurRetour"), "NON");
  session_->Execute("Ferme");
  session_->Execute("Ferme");
  session_->Execute(
      "Ex\xE9"
      "cute(\"EstUnInterrupteur\", \"ACTIF\")");
  EXPECT_EQ(Variable("gsEstUnInterrupteurRetour"), "NON");
}

}  // namespace
}  // namespace vz::project
