// The real window library and project of the suite, as installed.
#include <gtest/gtest.h>

#include <set>

#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/runtime_test_files.h"
#include "platform/runtime/scripted_front_end.h"
#include "platform/runtime/session.h"
#include "project/project_code.h"

namespace vz::project {
namespace {

using runtime::Field;
using runtime::FieldKind;
using runtime::Session;
using runtime::Window;

std::unique_ptr<Session> OpenProject(runtime::FrontEnd& front, runtime::Transcript& transcript) {
  Session::Setup setup;
  setup.front_end = &front;
  setup.transcript = &transcript;
  setup.directory = VZ_PROJECT_DIR;
  RegisterProjectCode(setup.registry);
  auto session = std::make_unique<Session>(std::move(setup));
  EXPECT_EQ(session->Execute("BIBLI,disque,ORVANE.wdl").value, 0);
  EXPECT_EQ(session->Execute("PROJET,ORVANE.WDP").value, 0);
  return session;
}

// What the program relies on in each window of the menus, the label
// parameters, the agenda and the result window.
struct WindowContract {
  const char* name;
  std::vector<std::string> codes;
  std::vector<std::string> text_fields;
  const char* table;
  std::vector<std::string> columns;
};

const WindowContract kContracts[] = {
    {"MENU.WDW", {"T01", "T03", "T04", "ESC"}, {}, nullptr, {}},
    {"EX_MNUOUT", {"ETI", "SVE", "RST", "RIX", "T01", "T02", "T03", "ESC"}, {}, nullptr, {}},
    {"PARETI",
     {"TF0", "ESC"},
     {"MHAUTE", "MGAUCHE", "ESPV", "ESPH", "HAUTEUR", "LARGEUR", "NBETIH", "NBETIV"},
     nullptr,
     {}},
    {"AGENDA",
     {"T01", "T02", "T04", "ESC", "ACT"},
     {"DATE_RDV", "HEURE_RDV", "CLIENT_RDV", "OBJET_RDV", "NOTES_RDV"},
     "TABLE_RDV",
     {"DATE", "HEURE", "CODCLI", "NOM", "OBJET"}},
    {"RESULTAT",
     {"LET", "RUB", "ESC"},
     {"MHAUTE", "MGAUCHE", "ESPV", "ESPH", "HAUTEUR", "LARGEUR", "NBETIH", "NBETIV", "REQUETE"},
     nullptr,
     {}},
};

TEST(OrvaneLibrary, EveryWindowOfTheMenusOpensWithItsFields) {
  runtime::FakeFrontEnd front;
  runtime::Transcript transcript;
  auto session = OpenProject(front, transcript);
  for (const auto& contract : kContracts) {
    SCOPED_TRACE(contract.name);
    ASSERT_EQ(session->Execute(std::string("Ouvre,") + contract.name).value, 0);
    const Window& window = *session->CurrentWindow();
    EXPECT_FALSE(window.title.empty());
    EXPECT_EQ(window.escape_code, "ESC");
    for (const auto& code : contract.codes) {
      if (code == "ESC") continue;
      EXPECT_NE(window.ButtonWithCode(code), nullptr) << code;
    }
    EXPECT_NE(window.ButtonWithCode("ESC"), nullptr) << "Escape also has a button";
    for (const auto& name : contract.text_fields) {
      const Field* field = window.FindField(name);
      ASSERT_NE(field, nullptr) << name;
      EXPECT_EQ(field->kind, FieldKind::kText) << name;
      EXPECT_EQ(session->Execute("AFFICHE," + name + "=12,5").value, 0);
      EXPECT_EQ(session->Execute("ECRAN,RECUPERE," + name).text, "12,5");
    }
    if (contract.table) {
      const Field* table = window.FindField(contract.table);
      ASSERT_NE(table, nullptr);
      ASSERT_EQ(table->columns.size(), contract.columns.size());
      for (size_t i = 0; i < contract.columns.size(); ++i) {
        EXPECT_EQ(table->columns[i].name, contract.columns[i]);
      }
    }
    // Only the codes the program acts on end the input of these windows.
    for (const auto& field : window.fields) {
      // Buttons that run window code keep the input going.
      if (field.kind != FieldKind::kButton || !field.event.empty()) continue;
      EXPECT_NE(std::find(contract.codes.begin(), contract.codes.end(), field.return_code),
                contract.codes.end())
          << field.name;
    }
    EXPECT_EQ(session->Execute("Ferme").value, 0);
  }
}

TEST(OrvaneLibrary, LayoutIsTidy) {
  runtime::FakeFrontEnd front;
  runtime::Transcript transcript;
  auto session = OpenProject(front, transcript);
  const runtime::WindowLibrary& library = *session->Library();
  // Windows of other screens have their own tests; these are only some of them.
  EXPECT_GE(library.windows.size(), std::size(kContracts));
  for (const auto& window : library.windows) {
    SCOPED_TRACE(window.name);
    std::set<std::string> button_labels;
    for (size_t i = 0; i < window.fields.size(); ++i) {
      const Field& a = window.fields[i];
      EXPECT_FALSE(a.label.empty()) << a.name;
      // Fields keep a margin from the window's edges.
      EXPECT_GE(a.rect.x, 20) << a.name;
      EXPECT_LE(a.rect.x + a.rect.w, window.rect.w - 20) << a.name;
      EXPECT_LE(a.rect.y + a.rect.h, window.rect.h - 20) << a.name;
      if (a.kind == FieldKind::kButton) {
        EXPECT_TRUE(button_labels.insert(a.label).second) << "two buttons say " << a.label;
      }
      if (a.kind == FieldKind::kTable) {
        int width = 0;
        for (const auto& column : a.columns) width += column.width;
        EXPECT_LE(width, a.rect.w) << a.name;
      }
      for (size_t j = i + 1; j < window.fields.size(); ++j) {
        EXPECT_FALSE(a.rect.Overlaps(window.fields[j].rect))
            << a.name << " / " << window.fields[j].name;
      }
    }
  }
}

TEST(OrvaneProject, OpensWithItsProceduresAndVariables) {
  runtime::FakeFrontEnd front;
  runtime::Transcript transcript;
  auto session = OpenProject(front, transcript);
  EXPECT_EQ(session->Execute("RECUPERE,gsEstUnInterrupteurRetour").text, "NON");
  EXPECT_EQ(session->Execute("RECUPERE,gnNbFenetres").text, "0");
  // Switch test on the label parameters: none of its fields is a switch, so
  // "1" read back stays "1".
  session->Execute("Ouvre,PARETI");
  session->Execute(
      "Ex\xE9"
      "cute(\"EstUnInterrupteur\", \"NBETIH\")");
  EXPECT_EQ(session->Execute("RECUPERE,gsEstUnInterrupteurRetour").text, "NON");
}

// The program's menu round, sent as the bridge sends it, played by a scenario.
TEST(OrvaneProject, MenuRoundPlaysUnderAScenario) {
  runtime::TempDir dir;
  auto load = runtime::ParseScenario(R"(input MENU press T04
input EX_MNUOUT press ETI
input PARETI
  type MHAUTE "12"
  type NBETIH 3
  press TF0
input EX_MNUOUT press T03
input AGENDA press T02
input MENU.WDW press ESC
answer yes "Désirez vous quitter le logiciel ?"
)",
                                     "menu.scn");
  ASSERT_TRUE(load.scenario) << load.error;
  runtime::Transcript transcript((dir.path() / "t.txt").string());
  runtime::ScriptedFrontEnd front(std::move(*load.scenario), transcript);
  auto session = OpenProject(front, transcript);
  auto send = [&](const std::string& command) { return session->Execute(command); };
  auto open = [&](const std::string& name, const std::string& bookkeeping) {
    send(
        "EX\xE9"
        "CUTE(\"OUVREFEN\",\"" +
        bookkeeping + "\")");
    EXPECT_EQ(send("Ouvre," + name).value, 0) << name;
  };
  auto close = [&] {
    send(
        "EX\xE9"
        "CUTE(\"FermeFen\")");
    EXPECT_EQ(send("Ferme").value, 0);
  };
  open("MENU.WDW", "MENU");
  send("ECRAN,SAISIE");
  EXPECT_EQ(session->return_code(), "T04");
  open("EX_MNUOUT", "EX_MNUOUT");
  send("ECRAN,SAISIE");
  EXPECT_EQ(session->return_code(), "ETI");
  open("PARETI", "PARETI");
  send("AFFICHE,MHAUTE=10");
  send("AFFICHE,NBETIH=2");
  send("ECRAN,SAISIE");
  EXPECT_EQ(session->return_code(), "TF0");
  EXPECT_EQ(send("ECRAN,RECUPERE,MHAUTE").text, "12");
  EXPECT_EQ(send("ECRAN,RECUPERE,NBETIH").text, "3");
  EXPECT_EQ(send("ECRAN,RECUPERE,MGAUCHE").text, "");
  close();
  EXPECT_EQ(session->return_code(), "TF0");
  send("ECRAN,SAISIE");
  EXPECT_EQ(session->return_code(), "T03");
  close();
  open("AGENDA", "AGENDA");
  send("ECRAN,SAISIE");
  EXPECT_EQ(session->return_code(), "T02");
  close();
  send("ECRAN,SAISIE");
  EXPECT_EQ(session->return_code(), "ESC");
  EXPECT_EQ(send("OUINON,D\xE9sirez vous quitter le logiciel ?").value, 1);
  close();
  EXPECT_EQ(send("RECUPERE,gnNbFenetres").text, "0");
  EXPECT_EQ(front.Finish(), "");
  EXPECT_EQ(send("Projet,").value, 0);
}

}  // namespace
}  // namespace vz::project
