#include "platform/runtime/scripted_front_end.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/runtime/runtime_test_files.h"
#include "platform/runtime/session.h"

namespace vz::runtime {
namespace {

const char kLibrary[] = R"(library TEST
window MENU title="Menu" w=400 h=300 default=BT_REQ escape=ESC
  button BT_REQ x=10 y=10 w=100 h=30 label="Requêtes" code=T01
  button BT_OFF x=10 y=50 w=100 h=30 label="Éteint" code=T04 state=-
  button BT_HID x=10 y=90 w=100 h=30 label="Caché" code=T05 state=I
end
window FORM title="Saisie" w=800 h=600 default=OK escape=ESC
  text NOM x=0 y=0 w=300 h=20 label="Nom" length=5
  text FIGE x=0 y=30 w=300 h=20 label="Figé" state=-
  switch ACTIF x=0 y=60 w=100 h=20 label="Actif"
  options OPTION x=0 y=90 w=300 h=40 label="Option"
    choice "Union"
    choice "Intersection"
  list SITFAM x=0 y=140 w=300 h=100 label="Situation"
    entry " \t-1"
    entry "Marié(e)\t2"
  table TABLE1 x=0 y=260 w=600 h=200 label="Rubriques" sort=1
    column LIBELLE title="Libellé" w=200
    column VALDEB title="Min" w=100 edit=1
    column CODRUBR title="Code" w=100
  button B_CHARGER x=0 y=500 w=80 h=30 label="Charger" event=CLIC
  button OK x=100 y=550 w=80 h=30 label="Valider" code=TF0
end
window AGENDA title="Agenda" w=400 h=300 default=OK escape=ESC
  button OK x=10 y=10 w=100 h=30 label="OK" code=T02
end
)";

// Window code of the test: one more row each click.
void AddTableRowForTest(Window& window) {
  window.FindField("TABLE1")->rows.push_back({"Ajout", "", "40099"});
}

// The fields of FORM whose change code ran, in order (reset by each run).
std::vector<std::string> changes_run;

// Runs program against a scenario in a fresh session; the transcript goes to
// transcript_path.
void RunWithScenario(const std::string& scenario_text, const std::string& transcript_path,
                     const std::function<void(Session&)>& program, int* clicks = nullptr,
                     std::string* leftover = nullptr) {
  ScenarioLoad load = ParseScenario(scenario_text, "s.scn");
  ASSERT_TRUE(load.scenario) << load.error;
  Transcript transcript(transcript_path);
  ScriptedFrontEnd front(std::move(*load.scenario), transcript);
  Session::Setup setup;
  setup.front_end = &front;
  setup.transcript = &transcript;
  setup.registry.AddWindowCode("FORM", "B_CHARGER", "CLIC", [clicks](CodeContext&, Window& window) {
    if (clicks) ++*clicks;
    AddTableRowForTest(window);
  });
  changes_run.clear();
  for (const char* field : {"ACTIF", "OPTION", "SITFAM", "TABLE1"}) {
    setup.registry.AddWindowCode("FORM", field, "MODIFICATION",
                                 [field](CodeContext&, Window& window) {
                                   changes_run.push_back(field);
                                   window.FindField("FIGE")->value = field;
                                   // A value set by code is no user's change.
                                   if (field == std::string("SITFAM")) {
                                     window.FindField("ACTIF")->value = "1";
                                   }
                                 });
  }
  Session session(std::move(setup));
  LibraryLoad library = ParseWindowLibrary(kLibrary, "t.wdl");
  ASSERT_TRUE(library.library) << library.error;
  session.set_library(std::move(*library.library));
  program(session);
  if (leftover) *leftover = front.Finish();
}

class ScriptedFrontEndTest : public ::testing::Test {
 protected:
  std::string transcript_path() const { return (dir_.path() / "t.txt").string(); }
  std::string TranscriptText() const {
    std::string all;
    for (const auto& line : ReadLines(transcript_path())) all += line + "\n";
    return all;
  }
  TempDir dir_;
};

void OpenForm(Session& session) {
  session.Execute("Ouvre,FORM");
  session.Execute("Table,Ajoute,TABLE1,Revenus\t0\t40000");
  session.Execute("Table,Ajoute,TABLE1,Salaires\t0\t40001");
}

// "stop after N" answers the program's Nth stop question yes and no other:
// before the step is reached, and once it is played, the answer is no.
TEST_F(ScriptedFrontEndTest, StopAnswersTheNthStopQuestion) {
  std::string leftover = "unset";
  std::vector<int> answers;
  RunWithScenario(
      "input MENU press T01\nstop after 3\ninput MENU press T01\n", transcript_path(),
      [&answers](Session& session) {
        session.Execute("Ouvre,MENU");
        answers.push_back(session.Execute("ECRAN,ARRET").value);  // step not reached
        session.Execute("Ecran,Saisie");
        for (int i = 0; i < 4; ++i) answers.push_back(session.Execute("Ecran,Arret").value);
        session.Execute("Ecran,Saisie");
      },
      nullptr, &leftover);
  EXPECT_EQ(answers, (std::vector<int>{0, 0, 0, 1, 0}));
  EXPECT_EQ(leftover, "");
  EXPECT_NE(TranscriptText().find("the work is stopped (scenario line 2)"), std::string::npos);
}

TEST_F(ScriptedFrontEndTest, AStopNeverAskedForIsLeftOver) {
  std::string leftover;
  RunWithScenario(
      "stop after 1\n", transcript_path(), [](Session&) {}, nullptr, &leftover);
  EXPECT_NE(leftover.find("next: stop after 1"), std::string::npos) << leftover;
}

TEST_F(ScriptedFrontEndTest, PlaysInputsAsAUserWould) {
  int clicks = 0;
  std::string leftover = "unset";
  RunWithScenario(R"SCN(input MENU.WDW press T01
input FORM
  type NOM "DUPON"
  switch ACTIF on
  choose OPTION 2
  pick SITFAM "Marié(e)"
  type VALDEB,02 1500
  click B_CHARGER
  pick TABLE1 CODRUBR 40099
  press TF0
answer no "Quitter ?"
expect error "Trop de combinaisons"
input form press esc
)SCN",
                  transcript_path(),
                  [](Session& session) {
                    session.Execute("Ouvre,MENU");
                    session.Execute("Ecran,Saisie");
                    EXPECT_EQ(session.return_code(), "T01");
                    OpenForm(session);
                    session.Execute("ECRAN,SAISIE");
                    EXPECT_EQ(session.return_code(), "TF0");
                    EXPECT_EQ(session.Execute("ECRAN,RECUPERE,NOM").text, "DUPON");
                    EXPECT_EQ(session.Execute("ECRAN,RECUPERE,ACTIF").text, "1");
                    EXPECT_EQ(session.Execute("ECRAN,RECUPERE,OPTION").text, "2");
                    EXPECT_EQ(session.Execute("ECRAN,RECUPERE,SITFAM").text, "Mari\xE9(e)\t2");
                    EXPECT_EQ(session.Execute("ECRAN,RECUPERE,VALDEB,02").text, "1500");
                    EXPECT_EQ(session.Execute("Table,Select,?,TABLE1").value, 3);
                    session.Execute("info,an unexpected information is only written down");
                    EXPECT_EQ(session.Execute("OUINON,Quitter ?").value, 0);
                    session.Execute("Erreur,  Trop de combinaisons  ");
                    session.Execute("Ecran,Saisie");
                    EXPECT_EQ(session.return_code(), "ESC");
                  },
                  &clicks, &leftover);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(leftover, "");
  const std::string transcript = TranscriptText();
  EXPECT_NE(transcript.find("wd . input FORM ended with \"TF0\" (scenario line 10)"),
            std::string::npos);
  EXPECT_NE(transcript.find("wd . the program asks \"Quitter ?\": no (scenario line 11)"),
            std::string::npos);
  EXPECT_NE(transcript.find("wd . message info \"an unexpected"), std::string::npos);
}

TEST_F(ScriptedFrontEndTest, ChoicesThatChangeAFieldRunItsChangeCode) {
  using Fields = std::vector<std::string>;
  const struct {
    const char* actions;
    Fields expected;
  } cases[] = {
      {"switch ACTIF on", {"ACTIF"}},
      {"switch ACTIF off", {}},  // it was off: nothing changes
      {"choose OPTION 2", {"OPTION"}},
      {"choose OPTION 2\n choose OPTION 2", {"OPTION"}},
      {"pick SITFAM 2", {"SITFAM"}},
      {"pick SITFAM \"Marié(e)\"\n pick SITFAM 2", {"SITFAM"}},
      {"pick TABLE1 2", {"TABLE1"}},
      // Row 1 is the program's choice already.
      {"pick TABLE1 CODRUBR 40000\n pick TABLE1 CODRUBR 40001", {"TABLE1"}},
      {"pick TABLE1 1\n switch ACTIF on\n pick SITFAM 1", {"ACTIF", "SITFAM"}},
      {"pick SITFAM 2\n switch ACTIF on", {"SITFAM"}},  // the code switched it on
      {"type NOM \"A\"\n type VALDEB,01 5\n click B_CHARGER", {}},
      {"choose OPTION 1", {}},  // the program chose 1 already
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.actions);
    std::string shown;
    RunWithScenario(std::string("input FORM\n ") + c.actions + "\n press TF0\n", transcript_path(),
                    [&shown](Session& session) {
                      OpenForm(session);
                      // Values the program sets run nothing.
                      session.Execute("AFFICHE,OPTION=1");
                      session.Execute("Table,Select,+,TABLE1,1");
                      session.Execute("Ecran,Saisie");
                      shown = session.Execute("ECRAN,RECUPERE,FIGE").text;
                    });
    EXPECT_EQ(changes_run, c.expected);
    // What the change code wrote is what the program reads afterwards.
    if (!c.expected.empty()) {
      EXPECT_EQ(shown, c.expected.back());
    }
  }
  EXPECT_NE(TranscriptText().find("wd . changed by the user: FORM.SITFAM.MODIFICATION ran"),
            std::string::npos);
}

TEST_F(ScriptedFrontEndTest, StepsLeftOverAreReportedWithTheirLine) {
  std::string leftover;
  RunWithScenario(
      "input MENU press T01\n\nanswer yes\n", transcript_path(),
      [](Session& session) {
        session.Execute("Ouvre,MENU");
        session.Execute("Ecran,Saisie");
      },
      nullptr, &leftover);
  EXPECT_EQ(leftover.rfind("s.scn:3: 1 scenario step(s) left over", 0), 0u) << leftover;
  EXPECT_NE(leftover.find("answer yes"), std::string::npos);
}

TEST_F(ScriptedFrontEndTest, SortsASortableTableAndReadsWhatItShows) {
  RunWithScenario(R"SCN(input FORM
  see TABLE1,01 "Revenus\t0\t40000"
  pick TABLE1 1
  sort TABLE1 LIBELLE down
  see LIBELLE,01 Salaires
  see CODRUBR 40000
  sort TABLE1 CODRUBR down
  see TABLE1,2 "Revenus\t0\t40000"
  press TF0
)SCN",
                  transcript_path(), [](Session& session) {
                    OpenForm(session);
                    session.Execute("Ecran,Saisie");
                    // The selected row moved with its row; the program reads the new order.
                    EXPECT_EQ(session.Execute("Table,Select,?,TABLE1").value, 2);
                    EXPECT_EQ(session.Execute("ECRAN,RECUPERE,CODRUBR,01").text, "40001");
                  });
}

struct Disagreement {
  const char* name;
  std::string scenario;
  std::function<void(Session&)> program;
  std::string expected_stderr;  // regular expression
};

std::vector<Disagreement> Disagreements() {
  auto open_menu_and_wait = [](Session& s) {
    s.Execute("Ouvre,MENU");
    s.Execute("Ecran,Saisie");
  };
  auto open_form_and_wait = [](Session& s) {
    OpenForm(s);
    s.Execute("Ecran,Saisie");
  };
  return {
      {"other window", "input MENU press T01\ninput AGENDA press T02\n",
       [](Session& s) {
         s.Execute("Ouvre,MENU");
         s.Execute("Ecran,Saisie");
         s.Execute("Ecran,Saisie");
       },
       "s.scn:2: the program waits for input in window \"MENU\", the scenario expects input of "
       "\"AGENDA\""},
      {"run out on input", "input MENU press T01\n",
       [](Session& s) {
         s.Execute("Ouvre,MENU");
         s.Execute("Ecran,Saisie");
         s.Execute("Ecran,Saisie");
       },
       "s.scn:1: the scenario has run out: the program waits for input in window \"MENU\""},
      {"run out on question", "# nothing\n# at all\n",
       [](Session& s) { s.Execute("OUINON,Quitter ?"); },
       "s.scn:2: the scenario has run out: the program asks \"Quitter \\?\""},
      {"question instead of input", "input MENU press T01\n",
       [](Session& s) { s.Execute("OUINON,Quitter ?"); },
       "s.scn:1: the program asks \"Quitter \\?\", the scenario expects input MENU"},
      {"input instead of answer", "answer yes\n", open_menu_and_wait,
       "s.scn:1: the program waits for input in window \"MENU\", the scenario expects answer yes"},
      {"other question", "answer yes \"Supprimer ?\"\n",
       [](Session& s) { s.Execute("OUINON,Quitter ?"); },
       "s.scn:1: the program asks \"Quitter \\?\", the scenario expects the question"},
      {"other message", "expect error \"A\"\n", [](Session& s) { s.Execute("Erreur,B"); },
       "s.scn:1: the program shows error \"B\", the scenario expects expect error \"A\""},
      {"message of other kind", "expect error \"A\"\n", [](Session& s) { s.Execute("info,A"); },
       "s.scn:1: the program shows info \"A\""},
      {"expected message missing", "expect error \"A\"\n", open_menu_and_wait,
       "s.scn:1: the program waits for input in window \"MENU\", the scenario expects expect "
       "error"},
      {"disabled button", "input MENU\n  press T04\n", open_menu_and_wait,
       "s.scn:2: no enabled button of window \"MENU\" gives code \"T04\""},
      {"invisible button", "input MENU press T05\n", open_menu_and_wait,
       "s.scn:1: no enabled button of window \"MENU\" gives code \"T05\""},
      {"code no button gives", "input MENU press XYZ\n", open_menu_and_wait,
       "s.scn:1: no enabled button of window \"MENU\" gives code \"XYZ\""},
      {"disabled field", "input FORM\n  type FIGE x\n  press TF0\n", open_form_and_wait,
       "s.scn:2: field \"FIGE\" is disabled"},
      {"text too long", "input FORM\n  type NOM \"DUPONT\"\n  press TF0\n", open_form_and_wait,
       "s.scn:2: field \"NOM\" takes at most 5 characters"},
      {"unknown field", "input FORM\n  type NOPE x\n  press TF0\n", open_form_and_wait,
       "s.scn:2: unknown field \"NOPE\""},
      {"column not editable", "input FORM\n  type CODRUBR,01 x\n  press TF0\n", open_form_and_wait,
       "s.scn:2: column \"CODRUBR\" cannot be typed into"},
      {"row out of range", "input FORM\n  pick TABLE1 9\n  press TF0\n", open_form_and_wait,
       "s.scn:2: \"TABLE1\" has no row 9"},
      {"no such list entry", "input FORM\n  pick SITFAM Veuf\n  press TF0\n", open_form_and_wait,
       "s.scn:2: list \"SITFAM\" has no entry \"Veuf\""},
      {"switch on a text", "input FORM\n  switch NOM on\n  press TF0\n", open_form_and_wait,
       "s.scn:2: \"NOM\" is a text, not a switch"},
      {"choice out of range", "input FORM\n  choose OPTION 3\n  press TF0\n", open_form_and_wait,
       "s.scn:2: option group \"OPTION\" has no choice 3"},
      {"see another value", "input FORM\n  see CODRUBR,02 40009\n  press TF0\n",
       open_form_and_wait, "s.scn:2: \"CODRUBR,02\" shows \"40001\", the scenario expects \"40009\""},
      {"see an unknown field", "input FORM\n  see NOPE x\n  press TF0\n", open_form_and_wait,
       "s.scn:2: .*NOPE"},
      {"sort a list", "input FORM\n  sort SITFAM LIBELLE\n  press TF0\n", open_form_and_wait,
       "s.scn:2: \"SITFAM\" is a list, not a table"},
      {"sort by no column", "input FORM\n  sort TABLE1 NOPE\n  press TF0\n", open_form_and_wait,
       "s.scn:2: table \"TABLE1\" has no column \"NOPE\""},
      {"click a plain button", "input FORM\n  click OK\n  press TF0\n", open_form_and_wait,
       "s.scn:2: \"OK\" is not a button that runs window code"},
  };
}

TEST_F(ScriptedFrontEndTest, DisagreementsEndTheProcessLoudly) {
  for (const auto& d : Disagreements()) {
    SCOPED_TRACE(d.name);
    std::filesystem::remove(transcript_path());
    EXPECT_EXIT(RunWithScenario(d.scenario, transcript_path(), d.program),
                ::testing::ExitedWithCode(kScenarioFailureExit), d.expected_stderr);
    // The transcript holds the reason too.
    EXPECT_NE(TranscriptText().find("wd ! scenario failure: s.scn:"), std::string::npos);
  }
}

// A host whose buttons print, as the result window's "Imprimer" does.
class PrintingHost final : public InputHost {
 public:
  PrintingHost(FrontEnd& front, std::string pdf) : front_(front), pdf_(std::move(pdf)) {}
  void RunButtonCode(Window&, const Field&) override {
    outcomes.push_back(front_.PrintPdf(pdf_, "Lettres"));
  }
  bool RunChangeCode(Window&, const Field&) override { return false; }
  std::vector<PrintOutcome> outcomes;

 private:
  FrontEnd& front_;
  std::string pdf_;
};

// "print FILE" sends the next document printed to FILE, once; a print with
// no file named fails the scenario.
TEST_F(ScriptedFrontEndTest, PrintWritesTheDocumentToTheFileTheScenarioNames) {
  LibraryLoad library = ParseWindowLibrary(kLibrary, "t.wdl");
  ASSERT_TRUE(library.library) << library.error;
  Window window = *library.library->Find("FORM");
  const std::string pdf = (dir_.path() / "lettres.pdf").string();
  std::ofstream(pdf, std::ios::binary) << "%PDF-1.4 pages";
  const std::string printed = (dir_.path() / "imprime.pdf").string();
  const std::string unwritable = (dir_.path() / "absent" / "x.pdf").string();
  ScenarioLoad load = ParseScenario("input FORM\n  print \"" + printed +
                                        "\"\n  click B_CHARGER\n  print \"" + unwritable +
                                        "\"\n  click B_CHARGER\n  press TF0\n"
                                        "input FORM\n  click B_CHARGER\n  press TF0\n",
                                    "s.scn");
  ASSERT_TRUE(load.scenario) << load.error;
  Transcript transcript(transcript_path());
  ScriptedFrontEnd front(std::move(*load.scenario), transcript);
  PrintingHost host(front, pdf);
  EXPECT_EQ(front.RunInput(window, host), "TF0");
  ASSERT_EQ(host.outcomes.size(), 2u);
  EXPECT_EQ(host.outcomes[0].result, PrintOutcome::Result::kPrinted);
  EXPECT_EQ(host.outcomes[0].detail, printed);
  EXPECT_EQ(ReadLines(printed), std::vector<std::string>{"%PDF-1.4 pages"});
  EXPECT_EQ(host.outcomes[1].result, PrintOutcome::Result::kUnavailable);
  EXPECT_NE(TranscriptText().find("the program prints \"Lettres\" to " + printed),
            std::string::npos);
  EXPECT_EXIT(front.RunInput(window, host), ::testing::ExitedWithCode(kScenarioFailureExit),
              "s.scn:7: the program prints \"Lettres\", the scenario names no file");
  EXPECT_FALSE(ParseScenario("input FORM\n  print\n  press TF0\n", "s.scn").scenario);
  EXPECT_FALSE(ParseScenario("print \"x.pdf\"\n", "s.scn").scenario);
}

}  // namespace
}  // namespace vz::runtime
