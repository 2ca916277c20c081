// The windows of the query screens in the real library, and the identity
// criteria window's own code against a small installation.
#include "project/query_windows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "platform/os/cp1252.h"
#include "project/query_windows_test_support.h"
#include "src/db/layouts/code_label.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"

namespace vz::project {
namespace {

using db::FileId;
using runtime::FieldKind;
using runtime::Window;
using Rows = std::vector<std::string>;

std::string C(std::string_view utf8) {
  return os::Cp1252(utf8);
}

// What the program names in each window of the query screens.
struct WindowContract {
  const char* name;
  std::vector<std::string> codes;
  std::vector<std::pair<std::string, FieldKind>> fields;
  std::vector<std::string> columns;
  std::vector<std::string> editable;
};

const FieldKind kText = FieldKind::kText;
const FieldKind kTable = FieldKind::kTable;
const FieldKind kList = FieldKind::kList;
const FieldKind kCaption = FieldKind::kCaption;
const FieldKind kOptions = FieldKind::kOptions;
const FieldKind kButton = FieldKind::kButton;

const std::vector<std::pair<std::string, FieldKind>> kRubricFields = {{"TABLE1", kTable},
                                                                      {"OPTION", kOptions},
                                                                      {"TEXTE", kCaption},
                                                                      {"LIBOPTION", kCaption},
                                                                      {"F_TITRE", kCaption}};

const WindowContract kContracts[] = {
    {"LSTSEL",
     {"AJO", "COM", "MOD", "SUP", "LAN", "RES", "T02", "T03", "T04", "ESC"},
     {{"REQUETES", kTable}, {"TIROIR2", kButton}, {"POUBELLE", kButton}, {"CHERCHE4", kCaption}},
     {"CODE"},
     {}},
    {"SEL01",
     {"01A", "01B", "01C", "01D", "01E", "01F", "01G", "01H", "01I", "01J", "01K", "01L", "01M",
      "01N", "TF0", "ESC"},
     {{"TITRE", kText}, {"EXPLIC,1", kText}, {"EXPLIC,2", kText}, {"EXPLIC,3", kText}},
     {},
     {}},
    {"SEL01A",
     {"TF0", "ESC"},
     {{"NOM1DEB", kText},
      {"NOM1FIN", kText},
      {"DOS1DEB", kText},
      {"DOS1FIN", kText},
      {"CP1DEB", kText},
      {"CP1FIN", kText},
      {"VILLE1", kText},
      {"AGE1DEB", kText},
      {"AGE1FIN", kText},
      {"ANNI1DEB", kText},
      {"ANNI1FIN", kText},
      {"SITFAM", kList},
      {"REGMAT", kList},
      {"FAMPRO1", kList},
      {"PROFES1", kList},
      {"LIBELLE11", kCaption}},
     {},
     {}},
    {"SEL01E",
     {"TF0", "ESC"},
     kRubricFields,
     {"VALDEB", "VALFIN", "CODRUBR"},
     {"VALDEB", "VALFIN"}},
    {"SEL01B",
     {"TF0", "ESC"},
     kRubricFields,
     {"VAL1DEB", "VAL1FIN", "VAL2DEB", "VAL2FIN", "CODRUBR"},
     {"VAL1DEB", "VAL1FIN", "VAL2DEB", "VAL2FIN"}},
    {"SEL01F",
     {"TF0", "ESC"},
     kRubricFields,
     {"VALDEB", "VALFIN", "RENDDEB", "RENDFIN", "CODRUBR"},
     {"VALDEB", "VALFIN", "RENDDEB", "RENDFIN"}},
    {"SEL01G",
     {"TF0", "ESC"},
     kRubricFields,
     {"VAL1DEB", "VAL1FIN", "VAL2DEB", "VAL2FIN", "CODRUBR"},
     {"VAL1DEB", "VAL1FIN", "VAL2DEB", "VAL2FIN"}},
    {"COMBINE",
     {"TF0", "ESC"},
     {{"TITRE", kText},
      {"EXPLIC,1", kText},
      {"EXPLIC,2", kText},
      {"EXPLIC,3", kText},
      {"TABLE1", kTable},
      {"TABLE2", kTable},
      {"titre1", kText},
      {"titre2", kText},
      {"OPTION", kOptions},
      {"ENSEMBLE", FieldKind::kImage}},
     {"REQUETE1", "texte1", "REQUETE2", "texte2"},
     {}},
    {"Rubrique",
     {"TF0", "ESC"},
     {{"LECODREQ", kText}, {"B_REQUETE", kButton}, {"B_VALIDER", kButton}, {"TABLE1", kTable}},
     {"COCHE", "CODE", "OPT"},
     {"COCHE", "OPT"}},
};

TEST_F(QueryWindowsTest, EveryQueryWindowOpensWithTheFieldsTheProgramNames) {
  for (const auto& contract : kContracts) {
    SCOPED_TRACE(contract.name);
    Window& window = Open(contract.name);
    ASSERT_EQ(window.name, contract.name);
    EXPECT_EQ(window.escape_code, "ESC");
    EXPECT_FALSE(window.title.empty());
    for (const auto& code : contract.codes) {
      EXPECT_NE(window.ButtonWithCode(code), nullptr) << code;
    }
    for (const auto& [name, kind] : contract.fields) {
      const runtime::Field* field = window.FindField(name);
      ASSERT_NE(field, nullptr) << name;
      EXPECT_EQ(field->kind, kind) << name;
    }
    for (const auto& column : contract.columns) {
      EXPECT_TRUE(window.FindColumn(column).has_value()) << column;
    }
    for (const auto& column : contract.editable) {
      auto ref = window.FindColumn(column);
      ASSERT_TRUE(ref.has_value()) << column;
      EXPECT_TRUE(ref->table->columns[static_cast<size_t>(ref->column)].editable) << column;
    }
    // Every field the user reaches with the keyboard has a place in the tab order.
    std::set<int> tabs;
    for (const runtime::Field* field : window.TabOrder()) {
      if (field->tab_order > 0) {
        EXPECT_TRUE(tabs.insert(field->tab_order).second) << field->name;
      }
    }
    EXPECT_EQ(session().Execute("Ferme").value, 0);
  }
}

// A criterion the adviser leaves alone must read back empty, or every saved
// query would gain a line for it.
TEST_F(QueryWindowsTest, IdentityFieldsOpenEmpty) {
  Window& window = Open("SEL01A,10,10");
  for (const runtime::Field& field : window.fields) {
    if (field.kind != FieldKind::kText) continue;
    EXPECT_EQ(field.value, "") << field.name;
  }
}

TEST_F(QueryWindowsTest, RubricScreensShowTheOptionGroupOnlyWhenAsked) {
  for (const char* name : {"SEL01B", "SEL01E", "SEL01F", "SEL01G"}) {
    SCOPED_TRACE(name);
    Window& window = Open(name);
    for (const char* field : {"LIBOPTION", "TEXTE", "OPTION"}) {
      EXPECT_FALSE(window.FindField(field)->visible()) << field;
    }
    EXPECT_EQ(session().Execute("Ecran,Selection,+,LIBOPTION,TEXTE,OPTION").value, 0);
    EXPECT_EQ(session().Execute("AFFICHE,TEXTE=revenus").value, 0);
    EXPECT_EQ(Run("ECRAN,RECUPERE,TEXTE"), "revenus");
    EXPECT_EQ(session().Execute("AFFICHE,Option=2").value, 0);
    EXPECT_EQ(Run("ECRAN,RECUPERE,Option"), "2");
    // The program writes the bounds of row 1 through the cell addresses.
    const char* first = window.FindColumn("VALDEB") ? "VALDEB" : "VAL1DEB";
    EXPECT_GT(session().Execute(C("Table,Ajoute,TABLE1,Revenus\t0\t999999999\t40000")).value, 0);
    EXPECT_EQ(session().Execute(std::string("AFFICHE,") + first + ",01=150").value, 0);
    EXPECT_EQ(Run(std::string("ECRAN,RECUPERE,") + first + ",01"), "150");
    session().Execute("Ferme");
  }
}

TEST(FamilySituations, FirstRowMeansNoChoiceThenTheEightCodes) {
  const Rows rows = FamilySituationRows();
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[0], "(tous)");
  const char* codes = "MPCVDSUN";
  for (size_t i = 1; i < rows.size(); ++i) {
    const size_t tab = rows[i].find('\t');
    ASSERT_NE(tab, std::string::npos) << rows[i];
    EXPECT_EQ(rows[i].find('\t', tab + 1), std::string::npos) << "two columns only";
    EXPECT_EQ(rows[i].substr(tab + 1), std::string(1, codes[i - 1]));
    EXPECT_GT(tab, 0u) << "a label";
  }
}

class IdentityListsTest : public QueryWindowsTest {
 protected:
  void SetUp() override {
    QueryWindowsTest::SetUp();
    AddCodeLabel(FileId::ANNEXE, "RM", "002", C("Séparation de biens"));
    AddCodeLabel(FileId::ANNEXE, "RM", "001", C("Communauté légale"));
    AddCodeLabel(FileId::ANNEXE, "RL", "001", "Autre annexe");                // not a regime
    AddCodeLabel(FileId::ANNEXE, "RM", "003", "Participation\taux acquets");  // hostile TAB
    AddCodeLabel(FileId::PROFES, "03", "000", C("Salariés"));
    AddCodeLabel(FileId::PROFES, "03", "002", "Cadre");
    AddCodeLabel(FileId::PROFES, "03", "001", C("Employé"));
    AddCodeLabel(FileId::PROFES, "04", "000", C("Professions libérales"));
    AddCodeLabel(FileId::PROFES, "05", "001", "Ouvrier agricole");  // no family record
  }
  std::vector<std::string> Entries(std::string_view list) {
    return session().CurrentWindow()->FindField(list)->entries;
  }
};

TEST_F(IdentityListsTest, OpeningFillsTheFourListsFromTheData) {
  Window& window = Open("SEL01A,10,10");
  EXPECT_EQ(window.FindField("SITFAM")->entries, FamilySituationRows());
  EXPECT_EQ(Entries("REGMAT"),
            (Rows{"(tous)", C("Communauté légale\tRM001"), C("Séparation de biens\tRM002"),
                  "Participation aux acquets\tRM003"}));
  EXPECT_EQ(Entries("FAMPRO1"),
            (Rows{"(tous)", C("Salariés\t03"), C("Professions libérales\t04"), "Famille 05\t05"}));
  EXPECT_EQ(Entries("PROFES1"),
            (Rows{"(tous)", C("Employé\t03001"), "Cadre\t03002", "Ouvrier agricole\t05001"}));
  for (const char* list : {"SITFAM", "REGMAT", "FAMPRO1", "PROFES1"}) {
    EXPECT_EQ(session().Execute(std::string("Liste,Select,?,") + list).value, 1) << list;
  }
}

TEST_F(IdentityListsTest, TheProgramFindsAStoredChoiceAsItSearchesIt) {
  Open("SEL01A,10,10");
  EXPECT_EQ(session().Execute(C("Liste,Cherche,REGMAT,Séparation de biens\tRM002")).value, 3);
  EXPECT_EQ(session().Execute("Liste,Cherche,SITFAM,Union libre\tU").value, 8);
  EXPECT_EQ(session().Execute("Liste,Cherche,REGMAT,Inconnu\tRM999").value, 0);
}

TEST_F(IdentityListsTest, AChangeOfFamilyRestrictsTheProfessions) {
  Open("SEL01A,10,10");
  struct Case {
    const char* family_row;  // as the program searches it
    Rows professions;
  };
  const Case cases[] = {
      {"Salariés\t03", {"(tous)", C("Employé\t03001"), "Cadre\t03002"}},
      {"Professions libérales\t04", {"(tous)"}},  // a family without professions
      {"Famille 05\t05", {"(tous)", "Ouvrier agricole\t05001"}},
      {"(tous)", {"(tous)", C("Employé\t03001"), "Cadre\t03002", "Ouvrier agricole\t05001"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.family_row);
    const int row = session().Execute("Liste,Cherche,FAMPRO1," + C(c.family_row)).value;
    ASSERT_GT(row, 0);
    ASSERT_EQ(session().Execute("Liste,Select,+,FAMPRO1," + std::to_string(row)).value, row);
    ASSERT_EQ(session().Execute("Execute,FAMPRO1.MODIFICATION").value, 0);
    EXPECT_EQ(Entries("PROFES1"), c.professions);
  }
}

TEST_F(IdentityListsTest, AChosenProfessionStaysChosenOnlyWhileItsFamilyIsShown) {
  Open("SEL01A,10,10");
  ASSERT_EQ(session().Execute("Liste,Select,+,PROFES1,3").value, 3);  // Cadre
  ASSERT_EQ(session().Execute("Liste,Select,+,FAMPRO1,2").value, 2);  // Salariés
  session().Execute("Execute,FAMPRO1.MODIFICATION");
  EXPECT_EQ(session().Execute("Liste,Select,?,PROFES1").value, 3);
  EXPECT_EQ(Run("ECRAN,RECUPERE,PROFES1"), "Cadre\t03002");
  ASSERT_EQ(session().Execute("Liste,Select,+,FAMPRO1,4").value, 4);  // Famille 05
  session().Execute("Execute,FAMPRO1.MODIFICATION");
  EXPECT_EQ(session().Execute("Liste,Select,?,PROFES1").value, 1) << "back to no choice";
}

TEST_F(IdentityListsTest, TheAdvisersChoiceOfFamilyRestrictsTheProfessionsAtOnce) {
  Rows shown;
  bool ran = false;
  front_.QueueInput("TF0", [&](Window& window, runtime::InputHost& host) {
    runtime::Field* family = window.FindField("FAMPRO1");
    family->selected = 4;  // "Famille 05", as a front end writes a pick
    ran = host.RunChangeCode(window, *family);
    shown = window.FindField("PROFES1")->entries;
  });
  Open("SEL01A,10,10");
  session().Execute("Ecran,Saisie");
  EXPECT_TRUE(ran);
  EXPECT_EQ(shown, (Rows{"(tous)", "Ouvrier agricole\t05001"}));
  EXPECT_EQ(session().Execute("Liste,Cherche,PROFES1,Cadre\t03002").value, 0)
      << "the program reads the restricted list";
  // A field without change code runs nothing.
  front_.QueueInput("TF0", [&](Window& window, runtime::InputHost& host) {
    ran = host.RunChangeCode(window, *window.FindField("SITFAM"));
  });
  session().Execute("Ecran,Saisie");
  EXPECT_FALSE(ran);
}

TEST_F(IdentityListsTest, WindowCodeLeavesTheProgramsRecordAlone) {
  db::Hlitrecherche("PROFES", "CODPROF", "03002");
  ASSERT_FALSE(db::Hendehors());
  const uint8_t* buffer = db::RecordBuffer(FileId::PROFES);
  const std::vector<uint8_t> before(buffer, buffer + db::RecordBufferSize(FileId::PROFES));
  Open("SEL01A,10,10");
  session().Execute("Liste,Select,+,FAMPRO1,2");
  session().Execute("Execute,FAMPRO1.MODIFICATION");
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + db::RecordBufferSize(FileId::PROFES)), before);
  db::Hlitsuivant("PROFES", "CODPROF");
  ASSERT_FALSE(db::Hendehors());
  EXPECT_EQ(std::string(db::ProfessionRecord{db::RecordBuffer(FileId::PROFES)}.Label()),
            C("Professions libérales"))
      << "the program's read next goes on from where it was";
}

TEST_F(QueryWindowsTest, WithNoReferenceDataTheListsOfferOnlyNoChoice) {
  Window& window = Open("SEL01A,10,10");
  for (const char* list : {"REGMAT", "FAMPRO1", "PROFES1"}) {
    EXPECT_EQ(window.FindField(list)->entries, Rows{"(tous)"}) << list;
  }
  EXPECT_EQ(session().Execute("Execute,FAMPRO1.MODIFICATION").value, 0);
  EXPECT_EQ(window.FindField("PROFES1")->entries, Rows{"(tous)"});
}

}  // namespace
}  // namespace vz::project
