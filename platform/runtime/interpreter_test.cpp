#include "platform/runtime/interpreter.h"

#include <gtest/gtest.h>

#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/runtime_test_files.h"

namespace vz::runtime {
namespace {

const char kLibrary[] = R"(library TEST
window MENU title="Menu" w=400 h=300 default=BT_REQ escape=ESC
  button BT_REQ x=10 y=10 w=100 h=30 label="Requêtes" code=T01
  button BT_OFF x=10 y=50 w=100 h=30 label="Éteint" code=T04 state=-
end
window SEL01E title="Revenus" w=800 h=600 default=OK escape=ESC
  caption F_TITRE x=0 y=0 w=300 h=20 label="Titre"
  caption TEXTE x=0 y=30 w=300 h=20 label="revenus" state=I
  caption LIBOPTION x=0 y=60 w=300 h=20 label="Option" state=I
  options OPTION x=0 y=90 w=300 h=40 label="Option" state=I
    choice "Foyer"
    choice "Personne"
  switch ACTIF x=0 y=140 w=100 h=20 label="Actif"
  table TABLE1 x=0 y=200 w=600 h=300 label="Rubriques"
    column LIBELLE title="Libellé" w=200
    column VALDEB title="Min" w=100 edit=1
    column VALFIN title="Max" w=100 edit=1
    column CODRUBR title="Code" w=100
  button OK x=0 y=550 w=80 h=30 label="Valider" code=TF0
end
window SEL01A title="Identité" w=800 h=600 default=OK escape=ESC
  list SITFAM x=0 y=0 w=300 h=100 label="Situation"
    entry " \t-1"
    entry "Célibataire\t1"
    entry "Marié(e)\t2"
  list FAMPRO1 x=0 y=120 w=300 h=100 label="Famille"
    entry "Cadres\t1"
  text NOM1DEB x=0 y=240 w=300 h=20 label="Nom"
  button B_REQUETE x=0 y=500 w=80 h=30 label="Charger" event=CLIC
  button OK x=100 y=550 w=80 h=30 label="Valider" code=TF0
end
)";

class InterpreterTest : public ::testing::Test {
 protected:
  InterpreterTest() { WriteFile(dir_.path() / "test.wdl", kLibrary); }

  Session& MakeSession(CodeRegistry registry = {}, std::function<int32_t()> engine = nullptr) {
    Session::Setup setup;
    setup.front_end = &front_;
    setup.transcript = &transcript_;
    setup.registry = std::move(registry);
    setup.create_engine_context = std::move(engine);
    setup.directory = dir_.path();
    session_ = std::make_unique<Session>(std::move(setup));
    return *session_;
  }

  Session& LoadedSession(CodeRegistry registry = {}) {
    Session& session = MakeSession(std::move(registry));
    EXPECT_EQ(session.Execute("BIBLI,disque,test.wdl").value, 0);
    return session;
  }

  std::vector<std::string> Transcript() { return ReadLines(dir_.path() / "transcript.txt"); }

  TempDir dir_;
  FakeFrontEnd front_;
  vz::runtime::Transcript transcript_{(dir_.path() / "transcript.txt").string()};
  std::unique_ptr<Session> session_;
};

struct Step {
  std::string command;
  int32_t value;
  std::string text;
};

void Play(Session& session, const std::vector<Step>& steps) {
  for (const auto& step : steps) {
    const CommandResult result = session.Execute(step.command);
    EXPECT_EQ(result.value, step.value) << step.command;
    EXPECT_EQ(result.text, step.text) << step.command;
  }
}

TEST(ParseCommand, SplitsVerbsWithoutRegardToCaseOrAccents) {
  struct Case {
    std::string command;
    std::string verb;
    std::string args;
  } cases[] = {
      {"Ouvre,SEL01A,10,10", "OUVRE", "SEL01A,10,10"},
      {"Ferme", "FERME", ""},
      {"ECRAN,SAISIE", "ECRAN,SAISIE", ""},
      {"Ecran,Selection,+,LIBELLE11", "ECRAN,SELECTION", "+,LIBELLE11"},
      {"ecran , recupere ,VALDEB,03", "ECRAN,RECUPERE", "VALDEB,03"},
      {"Table,Ajoute,TABLE1,a\tb", "TABLE,AJOUTE", "TABLE1,a\tb"},
      {"EX\xE9"
       "CUTE(\"OUVREFEN\",\"MENU\")",
       "EXECUTE", "(\"OUVREFEN\",\"MENU\")"},
      {"ex\xE9"
       "cute(\"FermeFen\")",
       "EXECUTE", "(\"FermeFen\")"},
      {"Execute,FAMPRO1.MODIFICATION", "EXECUTE", "FAMPRO1.MODIFICATION"},
      {"info, Erreur d'ouverture", "INFO", " Erreur d'ouverture"},
      {"Projet,", "PROJET", ""},
      {"HFCTX", "HFCTX", ""},
      {"", "", ""},
      {"(", "", "("},
      {",", "", ""},
      {"Info(a,b)", "INFO", "(a,b)"},
      {"AFFICHE,NOM=f(x)", "AFFICHE", "NOM=f(x)"},
      {"  Ferme\t", "FERME", ""},
  };
  for (const auto& c : cases) {
    const ParsedCommand parsed = ParseCommand(c.command);
    EXPECT_EQ(parsed.verb, c.verb) << c.command;
    EXPECT_EQ(parsed.args, c.args) << c.command;
  }
}

TEST_F(InterpreterTest, WindowFieldAndTableVerbs) {
  Session& session = LoadedSession();
  Play(session, {
                    {"Ouvre,MENU.WDW", 0, ""},
                    {"ECRAN,RECUPERE,BT_REQ", 0, "Requ\xEAtes"},
                    {"Ouvre,SEL01E,10,10", 0, ""},
                    {"AFFICHE,F_TITRE=---  LES REVENUS  ---", 0, ""},
                    {"ECRAN,RECUPERE,F_TITRE", 0, "---  LES REVENUS  ---"},
                    {"AFFICHE,F_TITRE=a=b,c", 0, ""},
                    {"ECRAN,RECUPERE,F_TITRE", 0, "a=b,c"},
                    {"Ecran,Selection,+,LIBOPTION,TEXTE,OPTION", 0, ""},
                    {"Table,Ajoute,TABLE1,Revenus\t0\t999999999\t40000", 1, ""},
                    {"Table,Ajoute,TABLE1,", 2, ""},
                    {"Table,Ajoute,TABLE1,Salaires\t0\t999999999\t40001", 3, ""},
                    {"Table,Occurrence,TABLE1", 3, ""},
                    {"Table,Cherche,CODRUBR,40001", 3, ""},
                    {"Table,Cherche,CODRUBR,4000", 0, ""},
                    {"Table,Cherche,codrubr,40000", 1, ""},
                    {"AFFICHE,VALDEB,03=1500", 0, ""},
                    {"ECRAN,RECUPERE,VALDEB,03", 0, "1500"},
                    {"ECRAN,RECUPERE,VALFIN,03", 0, "999999999"},
                    {"ECRAN,RECUPERE,VALFIN,02", 0, ""},
                    {"Table,Select,?,TABLE1", 0, ""},
                    {"Table,Select,+,TABLE1, 3", 3, ""},
                    {"Table,Select,?,TABLE1", 3, ""},
                    {"Table,Recupere,CODRUBR", 0, "40001"},
                    {"Table,Recupere,LIBELLE,1", 0, "Revenus"},
                    {"ECRAN,RECUPERE,TABLE1", 0, "Salaires\t1500\t999999999\t40001"},
                    {"ECRAN,RECUPERE,VALDEB", 0, "1500"},
                    {"Table,Select,-,TABLE1", 0, ""},
                    {"Table,Select,?,TABLE1", 0, ""},
                    {"AFFICHE,OPTION=2", 0, ""},
                    {"ECRAN,RECUPERE,Option", 0, "2"},
                    {"AFFICHE,ACTIF=1", 0, ""},
                    {"ECRAN,RECUPERE,ACTIF", 0, "1"},
                    {"Ferme", 0, ""},
                    {"ECRAN,RECUPERE,F_TITRE", -1, ""},
                    {"Ferme", 0, ""},
                    {"Ferme", -1, ""},
                    {"Ecran,Selection,+,NOM", -1, ""},
                });
}

TEST_F(InterpreterTest, FieldStatesChangeOneOrSeveralFields) {
  Session& session = LoadedSession();
  session.Execute("Ouvre,SEL01E");
  Window& window = *session.CurrentWindow();
  EXPECT_EQ(session.Execute("Ecran,Selection,+,LIBOPTION,TEXTE,OPTION").value, 0);
  EXPECT_EQ(window.FindField("OPTION")->state, FieldState::kEnabled);
  EXPECT_EQ(window.FindField("TEXTE")->state, FieldState::kEnabled);
  EXPECT_EQ(session.Execute("Ecran,Selection,-,ACTIF").value, 0);
  EXPECT_EQ(window.FindField("ACTIF")->state, FieldState::kDisabled);
  EXPECT_EQ(session.Execute("Ecran,Selection,i,ACTIF").value, 0);
  EXPECT_EQ(window.FindField("ACTIF")->state, FieldState::kInvisible);
  // One unknown name among known ones: the known ones change, the result says a fault.
  EXPECT_EQ(session.Execute("Ecran,Selection,+,ACTIF,NOPE").value, -1);
  EXPECT_EQ(window.FindField("ACTIF")->state, FieldState::kEnabled);
}

TEST_F(InterpreterTest, ListVerbs) {
  Session& session = LoadedSession();
  Play(session, {
                    {"Ouvre,SEL01A,10,10", 0, ""},
                    {"Liste,Select,?,SITFAM", 0, ""},
                    {"Liste,Cherche,SITFAM,Mari\xE9(e)\t2", 3, ""},
                    {"Liste,Cherche,SITFAM,Veuf\t4", 0, ""},
                    {"Liste,Select,+,SITFAM, 3", 3, ""},
                    {"Liste,Select,?,SITFAM", 3, ""},
                    {"ECRAN,RECUPERE,SITFAM", 0, "Mari\xE9(e)\t2"},
                    {"Liste,Select,+,SITFAM,4", -1, ""},
                    {"Liste,Select,?,SITFAM", 3, ""},
                    {"Liste,Select,-,SITFAM", 0, ""},
                    {"ECRAN,RECUPERE,SITFAM", 0, ""},
                    {"Liste,Select,+,NOM1DEB,1", -1, ""},
                });
}

TEST_F(InterpreterTest, UnknownAndMalformedCommandsAreReportedNotFatal) {
  Session& session = LoadedSession();
  session.Execute("Ouvre,SEL01E");
  const std::string hostile[] = {
      "",
      ",",
      "XYZZY",
      "Ouvre",
      "Ouvre,",
      "Ouvre,NOPE",
      "ECRAN",
      "ECRAN,",
      "ECRAN,FOO",
      "ECRAN,RECUPERE,NOPE",
      "ECRAN,RECUPERE,",
      "ECRAN,RECUPERE,VALDEB,abc",
      "AFFICHE,NOPE=1",
      "AFFICHE,noequals",
      "AFFICHE,TABLE1=a",
      "AFFICHE,ACTIF=O",
      "Table,Ajoute,NOPE,a",
      "Table,Ajoute,F_TITRE,a",
      "Table,Ajoute,TABLE1,a\tb\tc\td\te",
      "Table,Cherche,NOPE,1",
      "Table,Occurrence,NOPE",
      "Table,Occurrence,",
      "Table,Select,+,TABLE1,abc",
      "Table,Select,+,TABLE1,99",
      "Table,Select,+,TABLE1,0",
      "Table,Select,+,TABLE1,",
      "Table,Select,*,TABLE1,1",
      "Table,Select,+,TABLE1,99999999999999999999",
      "Table,Recupere,NOPE",
      "Table,Recupere,CODRUBR",
      "Liste,Cherche,NOPE,x",
      "Liste,Select,+,SITFAM,1",
      "Ecran,Selection,Z,OK",
      "Ecran,Selection,+,",
      "RECUPERE,nope",
      "RECUPERE,",
      "EXECUTE(",
      "EXECUTE(\"",
      "EXECUTE()",
      "EXECUTE(\"\")",
      "EXECUTE(\"NOPE\")",
      "EXECUTE(\"NOPE\") junk",
      "EXECUTE(\"NOPE\",\"a\"",
      "Execute,",
      "Execute,NOPE.CLIC",
      "Execute,OK.CLIC",
      "Execute,NOPE",
      "BIBLI,disque,",
      std::string(10000, 'A'),
      "Table,Ajoute," + std::string(5000, ','),
  };
  for (const auto& command : hostile) {
    const CommandResult result = session.Execute(command);
    EXPECT_EQ(result.value, -1) << command.substr(0, 60);
    EXPECT_EQ(result.text, "") << command.substr(0, 60);
  }
  std::string every_byte;
  for (int b = 1; b < 256; ++b) every_byte += static_cast<char>(b);
  EXPECT_EQ(session.Execute(every_byte).value, -1);
  // The window is still there and still works.
  EXPECT_EQ(session.Execute("ECRAN,RECUPERE,F_TITRE").text, "Titre");
  // Every fault left a problem line in the transcript.
  int problems = 0;
  for (const auto& line : Transcript()) problems += line.rfind("wd ! ", 0) == 0;
  EXPECT_GE(problems, static_cast<int>(std::size(hostile)));
}

TEST_F(InterpreterTest, CommandsWithoutAWindowAreReported) {
  Session& session = LoadedSession();
  for (const char* command :
       {"Ferme", "ECRAN,RECUPERE,A", "AFFICHE,A=1", "Ecran,Selection,+,A", "Table,Ajoute,T,a",
        "Table,Cherche,C,1", "Table,Occurrence,T", "Table,Select,?,T", "Table,Recupere,C",
        "Liste,Cherche,L,x", "Liste,Select,?,L", "Execute,A.CLIC"}) {
    EXPECT_EQ(session.Execute(command).value, -1) << command;
  }
}

TEST_F(InterpreterTest, OnlyInputChangesTheReturnCode) {
  Session& session = LoadedSession();
  session.Execute("Ouvre,MENU.WDW");
  front_.QueueInput("T01");
  EXPECT_EQ(session.Execute("ECRAN,SAISIE").value, 0);
  EXPECT_EQ(session.return_code(), "T01");
  for (const char* command : {"ECRAN,RECUPERE,BT_REQ", "Ouvre,SEL01E", "XYZZY", "OUINON,Oui ?",
                              "Erreur,x", "Ferme", "Ferme", "Ferme", "HFCTX"}) {
    session.Execute(command);
    EXPECT_EQ(session.return_code(), "T01") << command;
  }
  // With no window open, an input ends at once with the Escape code.
  EXPECT_EQ(session.Execute("Ecran,Saisie").value, -1);
  EXPECT_EQ(session.return_code(), "ESC");
  session.Execute("Ouvre,MENU");
  front_.QueueInput("LONGCODE");
  session.Execute("ECRAN,SAISIE");
  EXPECT_EQ(session.return_code(), "LON");
  EXPECT_EQ(front_.windows_seen, (std::vector<std::string>{"MENU", "MENU"}));
}

TEST_F(InterpreterTest, OpeningTheCurrentWindowAgainStartsItAfresh) {
  Session& session = LoadedSession();
  session.Execute("Ouvre,SEL01E");
  session.Execute("AFFICHE,F_TITRE=x");
  EXPECT_EQ(session.Execute("Ouvre,sel01e,5,6").value, 0);
  EXPECT_EQ(session.open_window_count(), 1u);
  EXPECT_EQ(session.Execute("ECRAN,RECUPERE,F_TITRE").text, "Titre");
  EXPECT_EQ(session.CurrentWindow()->rect.x, 5);
  EXPECT_EQ(session.CurrentWindow()->rect.y, 6);
  // A position that is not x,y leaves the window where the library puts it.
  EXPECT_EQ(session.Execute("Ouvre,MENU,a,b").value, 0);
  EXPECT_EQ(session.CurrentWindow()->rect.x, 0);
  EXPECT_EQ(session.open_window_count(), 2u);
}

TEST_F(InterpreterTest, ExecuteRunsProceduresInEachSpelling) {
  std::vector<std::vector<std::string>> calls;
  CodeRegistry registry;
  registry.AddProcedure("OUVREFEN", [&](CodeContext&, const std::vector<std::string>& args) {
    calls.push_back(args);
    return ProcedureResult{5, "ok"};
  });
  registry.AddProcedure("FermeFen", [&](CodeContext&, const std::vector<std::string>& args) {
    calls.push_back(args);
    return ProcedureResult{};
  });
  int window_code_runs = 0;
  registry.AddWindowCode("SEL01A", "FAMPRO1", "MODIFICATION",
                         [&](CodeContext& context, Window& window) {
                           ++window_code_runs;
                           EXPECT_EQ(context.CurrentWindow(), &window);
                           window.FindField("NOM1DEB")->value = "changed";
                         });
  registry.AddWindowCode("SEL01A", "B_REQUETE", "CLIC",
                         [&](CodeContext&, Window&) { ++window_code_runs; });
  Session& session = LoadedSession(std::move(registry));
  Play(session, {
                    {"EX\xE9"
                     "CUTE(\"OUVREFEN\",\"SEL01A,10,10\")",
                     5, "ok"},
                    {"ex\xE9"
                     "cute(\"FermeFen\")",
                     0, ""},
                    {"Ex\xE9"
                     "cute( \"OUVREFEN\" , \"A\" , B )",
                     5, "ok"},
                    {"EXECUTE(\"ouvrefen\")", 5, "ok"},
                    {"Execute,FermeFen", 0, ""},
                    {"Ouvre,SEL01A", 0, ""},
                    {"Execute,FAMPRO1.MODIFICATION", 0, ""},
                    {"ECRAN,RECUPERE,NOM1DEB", 0, "changed"},
                    {"execute,B_REQUETE.Clic", 0, ""},
                    {"Execute,NOM1DEB.CLIC", -1, ""},
                });
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0], (std::vector<std::string>{"SEL01A,10,10"}));
  EXPECT_TRUE(calls[1].empty());
  EXPECT_EQ(calls[2], (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(calls[3].empty());
  EXPECT_EQ(window_code_runs, 2);
}

TEST_F(InterpreterTest, MessagesAndQuestionsGoToTheFrontEnd) {
  Session& session = MakeSession();
  front_.QueueAnswer(false);
  Play(session, {
                    {"Erreur,Le logiciel est d\xE9j\xE0 actif !", 0, ""},
                    {"info, Erreur d'ouverture sur le chemin", 0, ""},
                    {"OUINON,D\xE9sirez vous quitter le logiciel ?", 0, ""},
                    {"OUINON,Confirmez vous la suppression ?", 1, ""},
                    {"MULTITACHE,-2", 0, ""},
                });
  ASSERT_EQ(front_.messages.size(), 2u);
  EXPECT_EQ(front_.messages[0].first, MessageKind::kError);
  EXPECT_EQ(front_.messages[0].second, "Le logiciel est d\xE9j\xE0 actif !");
  EXPECT_EQ(front_.messages[1].first, MessageKind::kInfo);
  EXPECT_EQ(front_.questions.size(), 2u);
  EXPECT_EQ(front_.events_processed, 1);
}

TEST_F(InterpreterTest, LibraryIsLookedForHereThenInTheParent) {
  TempDir root;
  WriteFile(root.path() / "ORVANE.wdl", kLibrary);
  WriteFile(root.path() / "prog" / "bad.wdl", "library X\nwindow W title=T\n");
  std::filesystem::create_directories(root.path() / "prog" / "dir.wdl");
  Session::Setup setup;
  setup.front_end = &front_;
  setup.transcript = &transcript_;
  setup.directory = root.path() / "prog";
  Session session(std::move(setup));
  EXPECT_EQ(session.Execute("BIBLI,disque,ORVANE.wdl").value, 0);
  EXPECT_NE(session.Library(), nullptr);
  EXPECT_EQ(session.Execute("BIBLI,disque,orvane.WDL").value, 0);  // case-blind names
  EXPECT_EQ(session.Execute("BIBLI,ORVANE.wdl").value, 0);
  EXPECT_EQ(session.Execute("BIBLI,disque,NONE.wdl").value, 1);
  EXPECT_EQ(session.Execute("BIBLI,disque,dir.wdl").value, 2);
  EXPECT_EQ(session.Execute("BIBLI,disque,bad.wdl").value, 3);
  // A library that fails keeps the one loaded before.
  EXPECT_EQ(session.Execute("Ouvre,MENU").value, 0);
  bool line_reported = false;
  for (const auto& line : Transcript())
    line_reported |= line.find("bad.wdl:2: ") != std::string::npos;
  EXPECT_TRUE(line_reported);
}

TEST_F(InterpreterTest, ProjectOpensChecksItsProceduresAndCloses) {
  WriteFile(dir_.path() / "good.WDP",
            "project T\nlibrary test.wdl\nprocedure Known\nvariable gsV value=\"NON\"\n");
  WriteFile(dir_.path() / "unknown.WDP", "project T\nlibrary test.wdl\nprocedure Unknown\n");
  WriteFile(dir_.path() / "bad.WDP", "project T\nlibrary\n");
  WriteFile(dir_.path() / "nolib.WDP", "project T\nlibrary none.wdl\n");
  CodeRegistry registry;
  registry.AddProcedure(
      "Known", [](CodeContext&, const std::vector<std::string>&) { return ProcedureResult{}; });
  Session& session = MakeSession(std::move(registry));
  Play(session, {
                    {"PROJET,none.WDP", 1, ""},
                    {"PROJET,bad.WDP", 3, ""},
                    {"PROJET,unknown.WDP", 4, ""},
                    {"PROJET,nolib.WDP", 1, ""},
                    {"PROJET,good.WDP", 0, ""},  // loads its library too
                    {"RECUPERE,gsV", 0, "NON"},
                    {"RECUPERE,GSV", 0, "NON"},
                    {"Ouvre,MENU", 0, ""},
                    {"Projet,", 0, ""},
                    {"RECUPERE,gsV", -1, ""},
                    {"ECRAN,RECUPERE,BT_REQ", -1, ""},
                });
  EXPECT_EQ(session.open_window_count(), 0u);
}

TEST_F(InterpreterTest, EngineContextIsCreatedOnceOnFirstUse) {
  int creations = 0;
  Session& session = MakeSession({}, [&] { return ++creations == 1 ? 0 : 42; });
  EXPECT_EQ(creations, 0);
  EXPECT_EQ(session.Execute("HFCTX").value, 0);  // the engine failed: tried again later
  EXPECT_EQ(session.Execute("HFCTX").value, 42);
  EXPECT_EQ(session.Execute("hfctx").value, 42);
  EXPECT_EQ(session.EngineContext(), 42);
  EXPECT_EQ(creations, 2);
  Session& without_engine = MakeSession();
  EXPECT_EQ(without_engine.Execute("HFCTX").value, 0);
}

TEST_F(InterpreterTest, TranscriptHasOneLinePerCommandWithItsResults) {
  Session& session = LoadedSession();
  session.Execute("Ouvre,SEL01E");
  session.Execute("Table,Ajoute,TABLE1,R\xE9sultat\t1\t2\t3");
  session.Execute("ECRAN,RECUPERE,TABLE1,1");
  session.Execute("ECRAN,RECUPERE,NOPE");
  const auto lines = Transcript();
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "wd BIBLI,disque,test.wdl -> int=0 text=\"\" code=\"\"");
  EXPECT_EQ(lines[2],
            "wd Table,Ajoute,TABLE1,R\xC3\xA9sultat\\t1\\t2\\t3 -> int=1 text=\"\" code=\"\"");
  EXPECT_EQ(lines[3],
            "wd ECRAN,RECUPERE,TABLE1,1 -> int=0 text=\"R\xC3\xA9sultat\\t1\\t2\\t3\" code=\"\"");
  // A problem line comes before the line of the command that met it.
  EXPECT_EQ(lines[4].rfind("wd ! unknown field \"NOPE\"", 0), 0u);
  EXPECT_EQ(lines[5], "wd ECRAN,RECUPERE,NOPE -> int=-1 text=\"\" code=\"\"");
}

}  // namespace
}  // namespace vz::runtime
