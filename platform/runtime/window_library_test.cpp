#include "platform/runtime/window_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/runtime/project_file.h"

namespace vz::runtime {
namespace {

const char kGoodLibrary[] = R"(# a small library
library TEST
window SEL01E.WDW title="Critères" x=10 y=10 w=600 h=400 default=BT_OK escape=ESC
  caption F_TITRE x=10 y=10 w=580 h=20 label="Titre"
  caption RESUME x=10 y=140 w=300 h=36 label="Un texte sur deux lignes" style=text
  text    EXPLIC,1 x=10 y=40 w=300 h=20 lw=100 label="Explication 1" length=20 value="abc"
  switch  ACTIF x=320 y=40 w=200 h=20 label="Actif" value=1 state=-
  options OPTION x=10 y=70 w=300 h=60 label="Option" value=2
    choice "Foyer"
    choice "Personne"
  list    SITFAM x=320 y=70 w=200 h=100 label="Situation" selected=1 tab=1
    entry "Célibataire\t1"
    entry "Marié(e)\t2"
  table   TABLE1 x=10 y=180 w=580 h=150 label="Rubriques"
    column LIBELLE title="Libellé" w=300
    column VALDEB title="Minimum" w=140 edit=1
    column CODRUBR title="Code" w=140 edit=0
  image   ENSEMBLE x=540 y=10 w=50 h=20 label="Ensemble" value="UNION.BMP"
  button  BT_OK x=400 y=350 w=90 h=30 label="Valider" code=TF0
  button  BT_GO x=300 y=350 w=90 h=30 label="Charger" event=CLIC state=I
end
window EMPTY title="Vide" w=100 h=100 default=OK escape=ESC
  button OK x=0 y=0 w=100 h=100 label="OK" code=OK
end
)";

std::string Library(const std::string& body) {
  return "library T\nwindow W title=\"Fenêtre\" w=300 h=200 default=OK escape=ESC\n" + body +
         "  button OK x=0 y=170 w=80 h=30 label=\"OK\" code=TF0\nend\n";
}

TEST(ParseWindowLibrary, ReadsEveryKindOfField) {
  const LibraryLoad load = ParseWindowLibrary(kGoodLibrary, "test.wdl");
  ASSERT_TRUE(load.library) << load.error;
  const WindowLibrary& library = *load.library;
  EXPECT_EQ(library.name, "TEST");
  ASSERT_EQ(library.windows.size(), 2u);
  const Window* window = library.Find("sel01e");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(library.Find("SEL01E.WDW"), window);
  EXPECT_EQ(window->title, "Crit\xE8res");
  EXPECT_EQ(window->rect.x, 10);
  EXPECT_EQ(window->escape_code, "ESC");

  const Field* explic = window->FindField("EXPLIC,01");
  ASSERT_NE(explic, nullptr);
  EXPECT_EQ(explic->kind, FieldKind::kText);
  EXPECT_EQ(explic->max_length, 20);
  EXPECT_EQ(explic->label_width, 100);
  EXPECT_EQ(explic->value, "abc");

  const Field* actif = window->FindField("actif");
  ASSERT_NE(actif, nullptr);
  EXPECT_EQ(actif->value, "1");
  EXPECT_EQ(actif->state, FieldState::kDisabled);

  const Field* option = window->FindField("Option");
  ASSERT_NE(option, nullptr);
  EXPECT_EQ(option->choices.size(), 2u);
  EXPECT_EQ(option->value, "2");

  const Field* list = window->FindField("SITFAM");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->entries.size(), 2u);
  EXPECT_EQ(list->entries[0], "C\xE9libataire\t1");
  EXPECT_EQ(list->selected, 1);

  const Field* table = window->FindField("TABLE1");
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->columns.size(), 3u);
  EXPECT_TRUE(table->columns[1].editable);
  EXPECT_FALSE(table->columns[2].editable);

  // A caption is a heading or plain text by its height unless its style says text.
  EXPECT_FALSE(window->FindField("F_TITRE")->plain);
  EXPECT_TRUE(window->FindField("RESUME")->plain);

  const Field* go = window->FindField("BT_GO");
  ASSERT_NE(go, nullptr);
  EXPECT_EQ(go->event, "CLIC");
  EXPECT_EQ(go->state, FieldState::kInvisible);

  // The list has tab=1 and so comes first; the others keep their order.
  const auto order = window->TabOrder();
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0]->name, "SITFAM");
  EXPECT_EQ(order[1]->name, "EXPLIC,1");
}

TEST(WindowWithoutRows, KeepsAllButTheRowsOfItsTables) {
  const LibraryLoad load = ParseWindowLibrary(kGoodLibrary, "test.wdl");
  ASSERT_TRUE(load.library) << load.error;
  Window window = *load.library->Find("SEL01E");
  window.FindField("TABLE1")->rows = {{"Revenus", "1", "40000"}, {"Imp\xF4ts", "", ""}};
  window.FindField("TABLE1")->selected = 2;
  window.FindField("SITFAM")->selected = 2;
  const Window shell = window.WithoutRows();
  EXPECT_TRUE(shell.FindField("TABLE1")->rows.empty());
  EXPECT_EQ(window.FindField("TABLE1")->rows.size(), 2u) << "the window itself keeps them";
  EXPECT_EQ(shell.name, window.name);
  EXPECT_EQ(shell.title, window.title);
  EXPECT_EQ(shell.default_button, window.default_button);
  EXPECT_EQ(shell.escape_code, window.escape_code);
  ASSERT_EQ(shell.fields.size(), window.fields.size());
  for (size_t i = 0; i < shell.fields.size(); ++i) {
    const Field& a = shell.fields[i];
    const Field& b = window.fields[i];
    SCOPED_TRACE(b.name);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.label, b.label);
    EXPECT_EQ(a.rect.y, b.rect.y);
    EXPECT_EQ(a.tab_order, b.tab_order);
    EXPECT_EQ(a.state, b.state);
    EXPECT_EQ(a.max_length, b.max_length);
    EXPECT_EQ(a.value, b.value);
    EXPECT_EQ(a.choices, b.choices);
    EXPECT_EQ(a.entries, b.entries);
    EXPECT_EQ(a.columns.size(), b.columns.size());
    EXPECT_EQ(a.selected, b.selected);
    EXPECT_EQ(a.sortable, b.sortable);
    EXPECT_EQ(a.plain, b.plain);
    EXPECT_EQ(a.return_code, b.return_code);
    EXPECT_EQ(a.event, b.event);
  }
}

TEST(ParseWindowLibrary, RejectsMalformedFilesWithTheirLine) {
  struct Case {
    std::string content;
    int line;
    std::string reason_part;
  } cases[] = {
      {"", 1, "no \"library\""},
      {"window W title=x w=1 h=1 default=A escape=ESC\n", 1, "must start with \"library"},
      {"library A\nlibrary B\n", 2, "given twice"},
      {"library A\nwindow W title=\"T\" w=100 h=100 default=OK escape=ESC\n", 2,
       "not closed by \"end\""},
      {"library A\nend\n", 2, "\"end\" without a window"},
      {"library A\nbutton B x=0 y=0 w=1 h=1 label=L code=X\n", 2, "field outside a window"},
      {"library A\nfrobnicate\n", 2, "unknown statement"},
      {Library("  text A x=0 y=0 w=10 h=10\n"), 3, "\"label\" is missing"},
      {Library("  text A x=0 y=0 w=1O h=10 label=L\n"), 3,
       "\"w\" must be a whole number, got \"1O\""},
      {Library("  text A x=0 y=0 w=0 h=10 label=L\n"), 3, "at least 1"},
      {Library("  text A x=-5 y=0 w=10 h=10 label=L\n"), 3, "at least 0"},
      {Library("  text A x=0 y=0 w=10 h=10 label=L colour=red\n"), 3,
       "unknown attribute \"colour\""},
      {Library("  text A x=0 y=0 w=10 h=10 label=L x=3\n"), 3, "given twice"},
      {Library("  text A x=290 y=0 w=20 h=10 label=L\n"), 3, "does not lie inside"},
      {Library("  text A x=0 y=0 w=10 h=10 label=\"  \"\n"), 3, "empty label"},
      {Library("  text A x=0 y=0 w=10 h=10 label=L\n  text a x=0 y=20 w=10 h=10 label=L\n"), 4,
       "used twice"},
      {Library("  table T x=0 y=0 w=100 h=50 label=L\n    column A title=A w=10\n  text A x=0 y=60 "
               "w=10 h=10 label=L\n"),
       5, "used twice"},
      {Library("  table T x=0 y=0 w=100 h=50 label=L\n"), 3, "has no column"},
      {Library("  column A title=A w=10\n"), 3, "must follow a table"},
      {Library("  text T x=0 y=0 w=10 h=10 label=L\n  entry \"x\"\n"), 4, "must follow a list"},
      {Library("  list T x=0 y=0 w=10 h=10 label=L selected=2\n    entry \"x\"\n"), 3,
       "has no entry 2"},
      {Library("  options O x=0 y=0 w=10 h=10 label=L value=3\n    choice \"a\"\n"), 3,
       "has no choice"},
      {Library("  switch S x=0 y=0 w=10 h=10 label=L value=O\n"), 3, "\"0\" or \"1\""},
      {Library("  button B x=0 y=0 w=10 h=10 label=L\n"), 3, "either \"code\" or \"event\""},
      {Library("  button B x=0 y=0 w=10 h=10 label=L code=T01 event=CLIC\n"), 3,
       "either \"code\" or \"event\""},
      {Library("  button B x=0 y=0 w=10 h=10 label=L code=LONG\n"), 3, "1 to 3 characters"},
      {Library("  text A x=0 y=0 w=10 h=10 label=L state=Z\n"), 3, "state must be"},
      {Library("  caption C x=0 y=0 w=10 h=40 label=L style=bold\n"), 3, "can only be \"text\""},
      {Library("  text A x=0 y=0 w=10 h=10 label=L style=text\n"), 3,
       "unknown attribute \"style\""},
      {Library("  text A,B x=0 y=0 w=10 h=10 label=L\n"), 3, "NAME,NUMBER"},
      {Library("  text A.B x=0 y=0 w=10 h=10 label=L\n"), 3, "may not hold \".\""},
      {Library("  text A x=0 y=0 w=10 h=10 lw=10 label=L\n"), 3, "leaves no room"},
      {Library("  text A x=0 y=0 w=10 h=10 length=2 value=abc label=L\n"), 3,
       "longer than its length"},
      {Library("  text \"A B\" x=0 y=0 w=10 h=10 label=L\n"), 3, "may hold only"},
      {"library A\nwindow W title=T w=100 h=100 default=NOPE escape=ESC\n  button OK x=0 y=0 w=10 "
       "h=10 label=L code=OK\nend\n",
       2, "default \"NOPE\""},
      {"library A\nwindow W title=T w=100 h=100 default=OK escape=ESC\n  button OK x=0 y=0 w=10 "
       "h=10 label=L event=CLIC\nend\n",
       2, "not a button with a return code"},
      {"library A\nwindow W title=T w=100 h=100 default=OK escape=ESCAPE\n", 2,
       "1 to 3 characters"},
      {"library A\nwindow W title=\"\" w=100 h=100 default=OK escape=ESC\n", 2, "empty title"},
      {"library A\nwindow W w=100 h=100 default=OK escape=ESC\n", 2, "\"title\" is missing"},
      {Library("") + "window w.wdw title=T w=100 h=100 default=OK escape=ESC\n", 5,
       "declared twice"},
      {"library A\n\n\ntitle=\"x\n", 4, "not closed"},
      {"library A\nwindow W title=\"Fen\xEAtre\" w=1 h=1 default=A escape=ESC\n", 2, "not UTF-8"},
  };
  for (const auto& c : cases) {
    const LibraryLoad load = ParseWindowLibrary(c.content, "bad.wdl");
    EXPECT_FALSE(load.library.has_value()) << c.content;
    const std::string where = "bad.wdl:" + std::to_string(c.line) + ": ";
    EXPECT_EQ(load.error.rfind(where, 0), 0u) << c.content << "\n-> " << load.error;
    EXPECT_NE(load.error.find(c.reason_part), std::string::npos)
        << c.content << "\n-> " << load.error;
  }
}

TEST(LoadWindowLibrary, MissingOrUnreadableFileIsAnError) {
  const auto dir = std::filesystem::temp_directory_path() / "vz_wdl_missing";
  std::filesystem::create_directories(dir);
  EXPECT_FALSE(LoadWindowLibrary(dir / "none.wdl").library.has_value());
  EXPECT_FALSE(LoadWindowLibrary(dir).library.has_value());  // a directory
  std::filesystem::remove_all(dir);
}

TEST(ParseProjectFile, ReadsProceduresAndVariables) {
  const ProjectLoad load = ParseProjectFile(
      "project ORVANE title=\"Projet\"\nlibrary ORVANE.wdl\nprocedure OUVREFEN\n"
      "procedure FermeFen\nvariable gsX value=\"NON\"\nvariable gsY\n",
      "p.WDP");
  ASSERT_TRUE(load.project) << load.error;
  EXPECT_EQ(load.project->name, "ORVANE");
  EXPECT_EQ(load.project->library_file, "ORVANE.wdl");
  ASSERT_EQ(load.project->procedures.size(), 2u);
  EXPECT_EQ(load.project->procedures[1].name, "FermeFen");
  EXPECT_EQ(load.project->procedures[1].line, 4);
  ASSERT_EQ(load.project->variables.size(), 2u);
  EXPECT_EQ(load.project->variables[0].second, "NON");
  EXPECT_EQ(load.project->variables[1].second, "");
}

TEST(ParseProjectFile, RejectsMalformedFilesWithTheirLine) {
  struct Case {
    std::string content;
    int line;
    std::string reason_part;
  } cases[] = {
      {"", 1, "no \"project\""},
      {"library X.wdl\n", 1, "must start with \"project"},
      {"project A\n", 1, "names no \"library\""},
      {"project A\nlibrary X\nlibrary Y\n", 3, "given twice"},
      {"project A\nlibrary X\nprocedure P\nprocedure p\n", 4, "listed twice"},
      {"project A\nlibrary X\nvariable V\nvariable v\n", 4, "given twice"},
      {"project A\nlibrary X\nprocedure\n", 3, "exactly one name"},
      {"project A\nlibrary X\nvariable V colour=1\n", 3, "unknown attribute"},
      {"project A\nlibrary X\nwhatever Z\n", 3, "unknown statement"},
      {"project A\nlibrary X\nvariable V value=\"x\n", 3, "not closed"},
  };
  for (const auto& c : cases) {
    const ProjectLoad load = ParseProjectFile(c.content, "p.WDP");
    EXPECT_FALSE(load.project.has_value()) << c.content;
    EXPECT_EQ(load.error.rfind("p.WDP:" + std::to_string(c.line) + ": ", 0), 0u)
        << c.content << "\n-> " << load.error;
    EXPECT_NE(load.error.find(c.reason_part), std::string::npos)
        << c.content << "\n-> " << load.error;
  }
}

}  // namespace
}  // namespace vz::runtime
