#include "platform/runtime/field_values.h"

#include <gtest/gtest.h>

#include "platform/runtime/window_library.h"

namespace vz::runtime {
namespace {

// A window with one field of each kind; TABLE1 holds three rows, row 2
// selected.
Window TestWindow() {
  const LibraryLoad load = ParseWindowLibrary(R"(library T
window W title="Fenêtre" w=800 h=600 default=OK escape=ESC
  caption F_TITRE x=0 y=0 w=100 h=20 label="Titre"
  text    NOM x=0 y=30 w=100 h=20 label="Nom"
  text    EXPLIC,1 x=0 y=60 w=100 h=20 label="Explication"
  text    EXPLIC,2 x=0 y=90 w=100 h=20 label="Explication"
  switch  ACTIF x=0 y=120 w=100 h=20 label="Actif"
  options OPTION x=0 y=150 w=100 h=40 label="Option"
    choice "Un"
    choice "Deux"
  list    SITFAM x=200 y=0 w=100 h=100 label="Situation"
    entry "Célibataire\t1"
    entry "Marié(e)\t2"
    entry "Marié(e)\t3"
  table   TABLE1 x=200 y=200 w=300 h=200 label="Table"
    column LIBELLE title="Libellé" w=100
    column VALDEB title="Min" w=100 edit=1
    column CODRUBR title="Code" w=100
  image   ENSEMBLE x=0 y=300 w=50 h=50 label="Image" value="UNION.BMP"
  button  OK x=0 y=500 w=50 h=30 label="Valider" code=TF0
end
)",
                                              "t.wdl");
  EXPECT_TRUE(load.library) << load.error;
  Window window = load.library->windows.at(0);
  Field* table = window.FindField("TABLE1");
  EXPECT_EQ(AddTableRow(*table, "Revenus\t0\t40000"), "");
  EXPECT_EQ(AddTableRow(*table, "Salaires\t100\t40001"), "");
  EXPECT_EQ(AddTableRow(*table, ""), "");
  table->selected = 2;
  return window;
}

TEST(ReadFieldValue, ReadsEachKindAndAddress) {
  Window window = TestWindow();
  window.FindField("NOM")->value = "DUPONT";
  window.FindField("EXPLIC,2")->value = "deux";
  window.FindField("SITFAM")->selected = 2;
  struct Case {
    const char* address;
    std::string value;
  } cases[] = {
      {"F_TITRE", "Titre"},
      {"NOM", "DUPONT"},
      {" nom ", "DUPONT"},
      {"EXPLIC,2", "deux"},
      {"EXPLIC,02", "deux"},
      {"EXPLIC, 2", "deux"},
      {"ACTIF", "0"},
      {"OPTION", ""},
      {"SITFAM", "Mari\xE9(e)\t2"},
      {"TABLE1", "Salaires\t100\t40001"},
      {"VALDEB", "100"},
      {"VALDEB,01", "0"},
      {"CODRUBR,1", "40000"},
      {"codrubr,003", ""},
      {"ENSEMBLE", "UNION.BMP"},
      {"OK", "Valider"},
  };
  for (const auto& c : cases) {
    const ReadResult read = ReadFieldValue(window, c.address);
    EXPECT_EQ(read.error, "") << c.address;
    EXPECT_EQ(read.value, c.value) << c.address;
  }
}

TEST(ReadFieldValue, ReportsWhatCannotBeRead) {
  Window window = TestWindow();
  struct Case {
    const char* address;
    const char* error_part;
  } cases[] = {
      {"NOPE", "unknown field \"NOPE\""}, {"", "no field named"},
      {",03", "no field named"},          {"VALDEB,04", "has no row 4"},
      {"VALDEB,00", "bad row number"},    {"VALDEB,x", "bad row number"},
      {"VALDEB,-1", "bad row number"},    {"VALDEB,99999999999999", "bad row number"},
      {"EXPLIC,3", "unknown field"},      {"NOM,1", "unknown field"},
  };
  for (const auto& c : cases) {
    const ReadResult read = ReadFieldValue(window, c.address);
    EXPECT_NE(read.error.find(c.error_part), std::string::npos)
        << c.address << " -> " << read.error;
    EXPECT_EQ(read.value, "");
  }
  window.FindField("TABLE1")->selected = 0;
  EXPECT_NE(ReadFieldValue(window, "VALDEB").error.find("no row selected"), std::string::npos);
  EXPECT_EQ(ReadFieldValue(window, "TABLE1").value, "");
}

TEST(WriteFieldValue, WritesEachKindAndRefusesWhatDoesNotFit) {
  struct Case {
    const char* address;
    const char* value;
    bool ok;
    const char* read_back;  // read from the same address afterwards
  } cases[] = {
      {"NOM", "MARTIN", true, "MARTIN"},
      {"NOM", "", true, ""},
      {"F_TITRE", "---  LES REVENUS  ---", true, "---  LES REVENUS  ---"},
      {"EXPLIC,01", "un", true, "un"},
      {"ACTIF", "1", true, "1"},
      {"ACTIF", "O", false, "0"},
      {"ACTIF", "", false, "0"},
      {"OPTION", "2", true, "2"},
      {"OPTION", "3", false, ""},
      {"OPTION", "x", false, ""},
      {"OPTION", "", true, ""},
      {"SITFAM", "Mari\xE9(e)\t3", true, "Mari\xE9(e)\t3"},
      {"SITFAM", "Mari\xE9(e)", true, "Mari\xE9(e)\t2"},  // first column matches
      {"SITFAM", "Veuf", false, ""},
      {"VALDEB,03", "1500", true, "1500"},
      {"VALDEB", "7", true, "7"},  // selected row 2
      {"VALDEB,04", "1", false, ""},
      {"TABLE1", "a\tb\tc", false, "Salaires\t100\t40001"},
      {"ENSEMBLE", "INTERSEC.BMP", true, "INTERSEC.BMP"},
      {"NOPE", "x", false, ""},
  };
  for (const auto& c : cases) {
    Window window = TestWindow();
    const std::string error = WriteFieldValue(window, c.address, c.value);
    EXPECT_EQ(error.empty(), c.ok) << c.address << "=" << c.value << " -> " << error;
    EXPECT_EQ(ReadFieldValue(window, c.address).value, c.read_back) << c.address;
  }
}

TEST(AddTableRow, FillsMissingCellsAndRefusesExtraOnes) {
  Window window = TestWindow();
  Field& table = *window.FindField("TABLE1");
  table.rows.clear();
  EXPECT_EQ(AddTableRow(table, "a"), "");
  EXPECT_EQ(table.rows.back(), (std::vector<std::string>{"a", "", ""}));
  EXPECT_EQ(AddTableRow(table, "a\tb\tc\t"), "");  // a trailing TAB ends the last cell
  EXPECT_EQ(table.rows.back(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(AddTableRow(table, "\t\t"), "");
  EXPECT_EQ(table.rows.back(), (std::vector<std::string>{"", "", ""}));
  EXPECT_NE(AddTableRow(table, "a\tb\tc\td"), "");
  EXPECT_NE(AddTableRow(table, "a\tb\tc\t\t"), "");
  EXPECT_EQ(table.rows.size(), 3u);
}

TEST(FindTableRow, MatchesWholeCellsOnly) {
  Window window = TestWindow();
  const Field& table = *window.FindField("TABLE1");
  const int code = table.ColumnIndex("CODRUBR");
  EXPECT_EQ(FindTableRow(table, code, "40001"), 2);
  EXPECT_EQ(FindTableRow(table, code, "4000"), 0);  // a prefix is not a match
  EXPECT_EQ(FindTableRow(table, code, "40001 "), 0);
  EXPECT_EQ(FindTableRow(table, code, ""), 3);  // the empty row
  EXPECT_EQ(FindTableRow(table, 7, "40001"), 0);
  EXPECT_EQ(FindTableRow(table, -1, "40001"), 0);
}

TEST(FindListEntry, WholeTextFirstThenFirstColumn) {
  Window window = TestWindow();
  const Field& list = *window.FindField("SITFAM");
  EXPECT_EQ(FindListEntry(list, "Mari\xE9(e)\t3"), 3);
  EXPECT_EQ(FindListEntry(list, "Mari\xE9(e)"), 2);
  EXPECT_EQ(FindListEntry(list, "mari\xE9(e)"), 0);  // case counts
  EXPECT_EQ(FindListEntry(list, ""), 0);
}

TEST(SelectItem, KeepsTheSelectionWhenOutOfRange) {
  Window window = TestWindow();
  Field& table = *window.FindField("TABLE1");
  EXPECT_EQ(SelectItem(table, 3), "");
  EXPECT_EQ(table.selected, 3);
  EXPECT_NE(SelectItem(table, 4), "");
  EXPECT_NE(SelectItem(table, 0), "");
  EXPECT_EQ(table.selected, 3);
  EXPECT_NE(SelectItem(*window.FindField("NOM"), 1), "");
}

TEST(ParseRowNumber, AcceptsTheWaysTheProgramWritesRows) {
  struct Case {
    const char* text;
    int row;  // 0: rejected
  } cases[] = {
      {"3", 3},          {"03", 3},
      {" 3", 3},         {"003", 3},
      {"12", 12},        {"0000000000001", 1},
      {"0", 0},          {"", 0},
      {" ", 0},          {"-1", 0},
      {"1a", 0},         {"1 2", 0},
      {"+1", 0},         {"1e3", 0},
      {"9999999999", 0}, {"999999999", 999999999},
  };
  for (const auto& c : cases) {
    int row = 0;
    EXPECT_EQ(ParseRowNumber(c.text, row), c.row != 0) << c.text;
    if (c.row != 0) {
      EXPECT_EQ(row, c.row) << c.text;
    }
  }
}

TEST(WindowKey, IgnoresCaseAccentsAndTheWindowExtension) {
  EXPECT_EQ(WindowKey("MENU.WDW"), "MENU");
  EXPECT_EQ(WindowKey("menu.wdw"), "MENU");
  EXPECT_EQ(WindowKey(" Menu "), "MENU");
  EXPECT_EQ(WindowKey("R\xE9sultat"), "RESULTAT");
  EXPECT_EQ(WindowKey(".WDW"), ".WDW");
}

// A name finds the field whose folded name and row number match, however the
// caller writes them; a different row, a longer or shorter name never does.
TEST(FindField, MatchesFoldedNamesAndRowNumbers) {
  Window window = TestWindow();
  struct Case {
    const char* name;
    const char* found;  // nullptr: no field
  };
  const Case cases[] = {
      {"NOM", "NOM"},           {"nom", "NOM"},           {"  Nom\t", "NOM"},
      {"EXPLIC,1", "EXPLIC,1"}, {"explic,01", "EXPLIC,1"}, {"EXPLIC , 2", "EXPLIC,2"},
      {"EXPLIC,3", nullptr},    {"EXPLIC,12", nullptr},    {"EXPLIC", nullptr},
      {"EXPLI,1", nullptr},     {"EXPLICX,1", nullptr},    {"EXPLIC,0", nullptr},
      {"NO", nullptr},          {"NOMS", nullptr},         {"", nullptr},
      {",1", nullptr},          {"TABLE1", "TABLE1"},      {"table1", "TABLE1"},
      {"EXPLIC,x", nullptr},    {"EXPLIC,", nullptr},      {" ", nullptr},
  };
  for (const Case& c : cases) {
    const Field* field = window.FindField(c.name);
    if (c.found == nullptr) {
      EXPECT_EQ(field, nullptr) << c.name;
    } else {
      ASSERT_NE(field, nullptr) << c.name;
      EXPECT_EQ(field->name, c.found) << c.name;
    }
  }
}

// Names stored with blanks around them or with accents are found as the
// program writes them; a name that differs only by length never matches.
TEST(FindField, StoredNamesWithBlanksOrAccents) {
  Window window;
  for (const char* name : {" LIB ", "\tCODE", "R\xE9sultat", "AB", "ABC ", "X Y"}) {
    Field field;
    field.name = name;
    window.fields.push_back(field);
  }
  struct Case {
    const char* name;
    const char* found;  // nullptr: no field
  };
  const Case cases[] = {
      {"LIB", " LIB "},
      {"lib ", " LIB "},
      {" LIB ", " LIB "},
      {"LI", nullptr},
      {"LIBS", nullptr},
      {"code", "\tCODE"},
      {"CODE\t", "\tCODE"},
      {"RESULTAT", "R\xE9sultat"},
      {"r\xE9sultat", "R\xE9sultat"},
      {"RESULTA", nullptr},
      {"AB", "AB"},
      {"A", nullptr},
      {"ABC", "ABC "},
      {"abc", "ABC "},
      {"ABCD", nullptr},
      {"X Y", "X Y"},
      {"XY", nullptr},
      {"X  Y", nullptr},
  };
  for (const Case& c : cases) {
    const Field* field = window.FindField(c.name);
    if (c.found == nullptr) {
      EXPECT_EQ(field, nullptr) << c.name;
    } else {
      ASSERT_NE(field, nullptr) << c.name;
      EXPECT_EQ(field->name, c.found) << c.name;
    }
  }
}

}  // namespace
}  // namespace vz::runtime
