// The result window's code against the real engine in a temporary
// installation, through the runtime with the real window library: the
// template list filled on opening, the addresses of the labels and the label
// PDF written by a click.
#include "project/result_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/scenario.h"
#include "platform/runtime/scripted_front_end.h"
#include "platform/runtime/session.h"
#include "project/label_households.h"
#include "project/label_sheet_addresses.h"
#include "project/project_data.h"
#include "project/result_printing.h"
#include "src/config/program_settings.h"
#include "src/db/catalogue.h"
#include "src/db/layouts/adresses.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "tests/support/file_bytes.h"
#include "tests/support/project_session.h"
#include "tests/support/temporary_installation.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using db::FileId;
using runtime::MessageKind;
using vz::testing::FileBytes;

constexpr char kQuery[] = "01000042";

void Touch(const fs::path& file, std::string_view content = "x") {
  std::ofstream(file, std::ios::binary) << content;
}

// Pages of a PDF: its "/Type /Page" objects (not the "/Pages" tree).
size_t PageCount(const fs::path& pdf) {
  const std::string bytes = FileBytes(pdf);
  const std::regex page(R"(/Type\s*/Page[^s])");
  return static_cast<size_t>(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page),
                                           std::sregex_iterator()));
}

class ResultWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(installation_.ready());
    transcript_ = std::make_unique<runtime::Transcript>((root_ / "transcript.txt").string());
    // As the result screen does before it opens the window.
    db::Hsubstnom("SELECTES", kQuery);
  }

  void TearDown() override { session_.reset(); }

  runtime::Session& StartSession(runtime::FrontEnd& front) {
    session_ = vz::testing::NewProjectSession(front, *transcript_, installation_.runtime_context(),
                                              VZ_PROJECT_DIR);
    vz::testing::OpenLibraryAndProject(*session_);
    return *session_;
  }

  // Opens the window as the result screen does: layout fields and query.
  void OpenResultWindow(runtime::Session& session,
                        const std::vector<std::string>& layout = {"10", "5", "0", "2,5", "33", "65",
                                                                  "3", "8"}) {
    ASSERT_EQ(session.Execute("Ouvre,RESULTAT").value, 0);
    const char* fields[] = {"MHAUTE",  "MGAUCHE", "ESPV",   "ESPH",
                            "HAUTEUR", "LARGEUR", "NBETIH", "NBETIV"};
    for (size_t i = 0; i < layout.size(); ++i) {
      session.Execute(std::string("AFFICHE,") + fields[i] + "=" + layout[i]);
    }
    session.Execute(std::string("AFFICHE,REQUETE=") + kQuery);
  }

  // Program-side writes, as the selection and the extraction do.
  void AddClient(std::string_view code, std::string_view name, std::string_view civility,
                 std::string_view line1, std::string_view line2, std::string_view postcode,
                 std::string_view city) {
    std::memset(db::RecordBuffer(FileId::CLIENT), 0, db::RecordBufferSize(FileId::CLIENT));
    db::ClientRecord client = db::CurrentClient();
    client.SetPrefix(code.substr(0, 2));
    client.SetFileNumber(code.substr(2, 6));
    client.SetPersonDigit(code.substr(8, 1));
    client.SetName(name);
    client.SetCivilityCode(civility);
    client.SetAddressLine1(line1);
    client.SetAddressLine2(line2);
    client.SetPostcode(postcode);
    client.SetCity(city);
    db::Hajoute("CLIENT");
  }
  // A person with a first name (identity text "0000B").
  void AddPerson(std::string_view code, std::string_view civility, std::string_view first_name,
                 std::string_view name, std::string_view line1, std::string_view postcode) {
    AddClient(code, name, civility, line1, "", postcode, "LYON");
    db::Hlitrecherche("CLIENT", "CODCLI", code);
    db::ClientRecord client = db::CurrentClient();
    client.SetIdentityTextB(first_name);
    db::Hmodifie("CLIENT");
  }
  void AddHouseholdAddress(std::string_view household, std::string_view number,
                           std::string_view line1, std::string_view postcode,
                           std::string_view city) {
    std::memset(db::RecordBuffer(FileId::ADRESSES), 0, db::RecordBufferSize(FileId::ADRESSES));
    db::AddressRecord address = db::CurrentAddress();
    address.SetPrefix(household.substr(0, 2));
    address.SetFileNumber(household.substr(2, 6));
    address.SetAddressNumber(number);
    address.SetLine(0, line1);
    address.SetPostcode(postcode);
    address.SetCity(city);
    db::Hajoute("ADRESSES");
  }
  void AddSelected(std::string_view code, std::string_view name, std::string_view postcode,
                   std::string_view city) {
    std::memset(db::RecordBuffer(FileId::SELECTES), 0, db::RecordBufferSize(FileId::SELECTES));
    db::SelectedRecord record = db::CurrentSelected();
    record.SetClientCode(code);
    record.SetName(name);
    record.SetPostcode(postcode);
    record.SetCity(city);
    record.SetMarker("E");
    db::Hajoute("SELECTES");
  }
  // n clients, each selected, postcodes 75001, 75002, ...
  void AddSelectedClients(int n) {
    for (int i = 1; i <= n; ++i) {
      char code[16];
      char postcode[16];
      std::snprintf(code, sizeof code, "01%06d1", i);
      std::snprintf(postcode, sizeof postcode, "%05d", 75000 + i);
      AddClient(code, "CLIENT" + std::to_string(i), "1", "1 rue Haute", "", postcode, "PARIS");
      AddSelected(code, "CLIENT", postcode, "PARIS");
    }
  }

  fs::path LabelsPdf() const { return data_ / "ETIQUETTES" / (std::string(kQuery) + ".pdf"); }

  vz::testing::TemporaryInstallation installation_{
      "result_window", vz::testing::InstallationOptions().SharedWithRuntime().WithDataDirectory()};
  const fs::path& root_ = installation_.root();
  const fs::path& data_ = installation_.data_directory();
  std::unique_ptr<runtime::Transcript> transcript_;
  std::unique_ptr<runtime::Session> session_;
};

TEST_F(ResultWindowTest, TemplatesOfTheDataDirectoryAreListedSortedWithoutRegardToCase) {
  for (const char* name :
       {"relance.txt", "Invitation.RTF", "BILAN.HTM", "voeux.Html", "contrat.fodt", "notes.doc",
        "image.rtf.bak", "rtf", ".txt", "Lettre été.rtf", "\xE6\xA8\xA1.rtf", "Entretien.docx",
        "bilan.ODT", "macro.docm", "ancien.odt.bak"}) {
    Touch(data_ / name);
  }
  fs::create_directories(data_ / "dossier.rtf");
  EXPECT_EQ(LetterTemplates(data_),
            (std::vector<std::string>{"BILAN.HTM", "bilan.ODT", "contrat.fodt", "Entretien.docx",
                                      "Invitation.RTF", os::Cp1252("Lettre été.rtf"), "relance.txt",
                                      "voeux.Html"}));
  EXPECT_TRUE(LetterTemplates(root_ / "nowhere").empty());
}

TEST_F(ResultWindowTest, OpeningFillsTheTemplateListAndSelectsTheFirst) {
  Touch(data_ / "RELANCE.TXT");
  Touch(data_ / "INVITATION.RTF");
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  const runtime::Field* list = session.CurrentWindow()->FindField("Nom_Lettre");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->entries, (std::vector<std::string>{"INVITATION.RTF", "RELANCE.TXT"}));
  EXPECT_EQ(session.Execute("ECRAN,RECUPERE,Nom_Lettre").text, "INVITATION.RTF");
  EXPECT_EQ(session.Execute("ECRAN,RECUPERE,PREMIERE").text, "1");
  // The adviser's choice is what the program reads.
  EXPECT_EQ(session.Execute("AFFICHE,Nom_Lettre=RELANCE.TXT").value, 0);
  EXPECT_EQ(session.Execute("ECRAN,RECUPERE,Nom_Lettre").text, "RELANCE.TXT");

  // Opened again, the list is filled afresh (no entry twice, a new template
  // seen) and the template chosen stays chosen.
  session.Execute("Ferme");
  Touch(data_ / "BILAN.HTM");
  OpenResultWindow(session);
  EXPECT_EQ(session.CurrentWindow()->FindField("Nom_Lettre")->entries,
            (std::vector<std::string>{"BILAN.HTM", "INVITATION.RTF", "RELANCE.TXT"}));
  EXPECT_EQ(session.Execute("ECRAN,RECUPERE,Nom_Lettre").text, "RELANCE.TXT");
  // A chosen template that has gone leaves the first one chosen.
  session.Execute("Ferme");
  fs::remove(data_ / "RELANCE.TXT");
  OpenResultWindow(session);
  EXPECT_EQ(session.Execute("ECRAN,RECUPERE,Nom_Lettre").text, "BILAN.HTM");
}

// The template the adviser picks in the list is the one the merge button uses.
TEST_F(ResultWindowTest, TheChosenTemplateIsTheOneTheLettersAreMergedWith) {
  Touch(data_ / "INVITATION.TXT", "Invitation\n");
  Touch(data_ / "RELANCE.TXT", "Relance\n");
  AddSelectedClients(1);
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  ASSERT_EQ(session.Execute("AFFICHE,Nom_Lettre=RELANCE.TXT").value, 0);
  session.Execute("Execute,BOUTON1.CLIC");
  const fs::path letters = data_ / "LETTRES";
  const fs::path letter = letters / (std::string(kQuery) + "-RELANCE") / "0001-010000011.TXT";
  EXPECT_FALSE(fs::exists(letter)) << "in place when the pass ends";
  session.Execute("Execute,BOUTON1.FIN");
  ASSERT_TRUE(fs::is_regular_file(letter));
  ASSERT_FALSE(front.messages.empty());
  EXPECT_EQ(front.messages.back().first, runtime::MessageKind::kInfo);
  EXPECT_EQ(front.messages.back().second.rfind(
                os::Cp1252("1 lettre écrite. Le document à imprimer : "), 0),
            0u)
      << front.messages.back().second;
  EXPECT_EQ(FileBytes(letter), "Relance\n");
  EXPECT_FALSE(fs::exists(letters / (std::string(kQuery) + "-INVITATION")));
}

TEST_F(ResultWindowTest, OpeningWithNoTemplateLeavesTheListEmpty) {
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  EXPECT_EQ(session.CurrentWindow()->FindField("Nom_Lettre")->ItemCount(), 0);
  EXPECT_EQ(session.Execute("ECRAN,RECUPERE,Nom_Lettre").text, "");
}

TEST_F(ResultWindowTest, LabelAddressesFollowTheMailingRuleInPostcodeOrder) {
  AddClient("010000011", "DURAND", "1", "ancienne rue", "", "75011", "PARIS");
  AddHouseholdAddress("01000001", "001", "12 rue des Lilas", "13001", "MARSEILLE");
  AddHouseholdAddress("01000002", "002", "adresse secondaire", "33000", "BORDEAUX");
  AddClient("010000022", "MARTIN", "2", "", "3 place Bellecour", "69002", "LYON");
  AddSelected("010000022", "MARTIN", "69002", "LYON");
  AddSelected("010000011", "DURAND", "13001", "MARSEIL");
  // Selected, then removed from the client file: the label keeps what was extracted.
  AddSelected("010000031", "PETIT", "06000", "NICE");

  const std::vector<LabelAddress> addresses =
      ReadLabelAddresses(ProjectDataForContext(installation_.runtime_context()));
  ASSERT_EQ(addresses.size(), 3u);
  EXPECT_EQ(addresses[0].client_code, "010000031");
  EXPECT_EQ(LabelLines(addresses[0]), (std::vector<std::string>{"PETIT", "06000 NICE"}));
  EXPECT_EQ(addresses[1].client_code, "010000011");
  EXPECT_EQ(LabelLines(addresses[1]),
            (std::vector<std::string>{"Monsieur DURAND", "12 rue des Lilas", "13001 MARSEILLE"}));
  // Only address "001" replaces the client's own.
  EXPECT_EQ(LabelLines(addresses[2]),
            (std::vector<std::string>{"Madame MARTIN", "3 place Bellecour", "69002 LYON"}));
  // The program's records are left where they were.
  EXPECT_EQ(db::CurrentClient().Name(), "MARTIN");
}

TEST_F(ResultWindowTest, ThirtyClientsOnThreeByEightLabelsMakeTwoPages) {
  AddSelectedClients(30);
  Touch(data_ / "ETIQUETTES.txt");  // not in the way of the labels folder
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  session.Execute("Execute,ETIQUETTES.CLIC");
  ASSERT_EQ(front.messages.size(), 1u);
  EXPECT_EQ(front.messages[0].first, MessageKind::kInfo);
  EXPECT_EQ(os::Utf8(front.messages[0].second),
            "30 étiquettes sur 2 feuilles dans le fichier " + LabelsPdf().string() + ".");
  ASSERT_TRUE(fs::is_regular_file(LabelsPdf()));
  EXPECT_EQ(FileBytes(LabelsPdf()).substr(0, 5), "%PDF-");
  EXPECT_EQ(PageCount(LabelsPdf()), 2u);
  // No temporary file is left beside it.
  EXPECT_EQ(
      std::distance(fs::directory_iterator(LabelsPdf().parent_path()), fs::directory_iterator()),
      1);

  // Starting at label 24, the same clients need three sheets.
  session.Execute("AFFICHE,PREMIERE=24");
  session.Execute("Execute,ETIQUETTES.CLIC");
  ASSERT_EQ(front.messages.size(), 2u);
  EXPECT_NE(os::Utf8(front.messages[1].second).find("30 étiquettes sur 3 feuilles"),
            std::string::npos);
  EXPECT_EQ(PageCount(LabelsPdf()), 3u);
}

TEST_F(ResultWindowTest, RefusalsShowWhatToPutRightAndKeepThePreviousFile) {
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  // No extraction yet.
  session.Execute("Execute,ETIQUETTES.CLIC");
  ASSERT_EQ(front.messages.size(), 1u);
  EXPECT_EQ(front.messages[0],
            std::make_pair(MessageKind::kError,
                           os::Cp1252("Aucune personne extraite pour cette requête. Lancez "
                                      "d'abord la requête.")));
  EXPECT_FALSE(fs::exists(data_ / "ETIQUETTES"));

  AddSelectedClients(2);
  session.Execute("Execute,ETIQUETTES.CLIC");
  ASSERT_TRUE(fs::is_regular_file(LabelsPdf()));
  const std::string printed = FileBytes(LabelsPdf());

  struct Case {
    const char* field;
    const char* value;
    const char* message;  // part of the message, UTF-8
  };
  const Case cases[] = {
      {"LARGEUR", "soixante", "« Largeur d'une étiquette » doit être un nombre"},
      {"NBETIH", "4", "dépassent la largeur de la page"},
      {"PREMIERE", "25", "« Première étiquette sur la feuille »"},
      {"REQUETE", "", "Aucune requête n'est associée à cette fenêtre"},
      // A code that cannot name the labels file alone: "0100:001" would have
      // printed into 0100_001.pdf, another query's file.
      {"REQUETE", "0100:001", "Le code de requête « 0100:001 » ne peut pas nommer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    OpenResultWindow(session);
    session.Execute(std::string("AFFICHE,") + c.field + "=" + c.value);
    const size_t before = front.messages.size();
    session.Execute("Execute,ETIQUETTES.CLIC");
    ASSERT_EQ(front.messages.size(), before + 1);
    EXPECT_EQ(front.messages.back().first, MessageKind::kError);
    EXPECT_NE(os::Utf8(front.messages.back().second).find(c.message), std::string::npos)
        << os::Utf8(front.messages.back().second);
    EXPECT_EQ(FileBytes(LabelsPdf()), printed);
    session.Execute("Ferme");
  }
}

TEST_F(ResultWindowTest, AFolderThatCannotBeWrittenIsReported) {
  AddSelectedClients(1);
  Touch(data_ / "ETIQUETTES");  // a file where the folder should be
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  session.Execute("Execute,ETIQUETTES.CLIC");
  ASSERT_EQ(front.messages.size(), 1u);
  EXPECT_EQ(front.messages[0].first, MessageKind::kError);
  EXPECT_NE(os::Utf8(front.messages[0].second)
                .find("Le fichier des étiquettes n'a pas pu être écrit : " + LabelsPdf().string()),
            std::string::npos);
  EXPECT_EQ(FileBytes(data_ / "ETIQUETTES"), "x");
}

// A labels folder or file planted as a link to somewhere outside the data
// directory is refused, and nothing is written there.
TEST_F(ResultWindowTest, LabelsLeadingOutsideTheDataDirectoryAreRefused) {
  AddSelectedClients(1);
  const fs::path outside = root_ / "ailleurs";
  fs::create_directories(outside);
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  for (const bool whole_folder : {true, false}) {
    SCOPED_TRACE(whole_folder ? "folder" : "file");
    fs::remove_all(data_ / "ETIQUETTES");
    if (whole_folder) {
      fs::create_symlink(outside, data_ / "ETIQUETTES");
    } else {
      fs::create_directories(data_ / "ETIQUETTES");
      fs::create_symlink(outside / "vole.pdf", LabelsPdf());
    }
    OpenResultWindow(session);
    const size_t before = front.messages.size();
    session.Execute("Execute,ETIQUETTES.CLIC");
    ASSERT_EQ(front.messages.size(), before + 1);
    EXPECT_EQ(front.messages.back().first, MessageKind::kError);
    EXPECT_NE(os::Utf8(front.messages.back().second).find("mène hors du répertoire des données"),
              std::string::npos)
        << os::Utf8(front.messages.back().second);
    EXPECT_TRUE(fs::is_empty(outside));
    session.Execute("Ferme");
  }
}

// A data directory written in the parameter file with an accent keeps its
// cp1252 bytes on disk; the message shows it as the adviser wrote it.
TEST_F(ResultWindowTest, TheMessageNamesADataDirectoryWrittenWithAccents) {
  AddSelectedClients(1);
  const std::string accented = (root_ /
                                "DONN\xC9"
                                "ES")
                                   .string();
  config::SetDataDirectory(accented);
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  session.Execute("Execute,ETIQUETTES.CLIC");
  ASSERT_EQ(front.messages.size(), 1u);
  EXPECT_EQ(front.messages[0].second, "1 " +
                                          os::Cp1252("étiquette sur 1 feuille dans le fichier ") +
                                          accented + "/ETIQUETTES/" + kQuery + ".pdf.");
  EXPECT_TRUE(fs::is_regular_file(fs::path(accented) / "ETIQUETTES" / "01000042.pdf"));
}

// The adviser's round in the result window, played by a scenario.
TEST_F(ResultWindowTest, TheAdviserPrintsLabelsFromTheResultWindow) {
  AddSelectedClients(3);
  const std::string shown = LabelsPdf().string();
  auto load = runtime::ParseScenario(
      "input RESULTAT\n"
      "  type PREMIERE 2\n"
      "  click ETIQUETTES\n"
      "  press ESC\n",
      "labels.scn");
  ASSERT_TRUE(load.scenario) << load.error;
  runtime::ScriptedFrontEnd front(std::move(*load.scenario), *transcript_);
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  session.Execute("Ecran,Saisie");
  EXPECT_EQ(session.return_code(), "ESC");
  EXPECT_EQ(front.Finish(), "");
  EXPECT_EQ(PageCount(LabelsPdf()), 1u);
  // The message box the adviser saw.
  EXPECT_NE(FileBytes(root_ / "transcript.txt")
                .find("message info \"3 étiquettes sur 1 feuille dans le fichier " + shown + ".\""),
            std::string::npos);
}

// One label per household: two persons at one address share a label; two
// at two addresses, or one whose partner is not selected, keep their own.
TEST_F(ResultWindowTest, OneLabelPerHouseholdAtOneAddress) {
  AddPerson("010000011", "1", "Paul", "DUPONT", "ancienne rue", "69001");
  AddPerson("010000012", "2", "Anne", "DUPONT", "ancienne rue", "69001");
  AddHouseholdAddress("01000001", "001", "12 rue des Lilas", "69003", "LYON");
  AddPerson("010000021", "2", "Anne", "DUPONT", "1 rue Haute", "69004");  // two addresses
  AddPerson("010000022", "1", "Paul", "MARTIN", "9 rue Basse", "69005");
  AddPerson("010000031", "2", "Anne", "DUPONT", "5 quai Sud", "69006");  // one address, two names
  AddPerson("010000032", "1", "Paul", "MARTIN", "5 quai Sud", "69006");
  AddPerson("010000041", "1", "Jean", "PETIT", "7 cours Nord", "69007");  // partner not selected
  AddPerson("010000042", "2", "Lise", "PETIT", "7 cours Nord", "69007");
  for (const char* code : {"010000012", "010000011", "010000021", "010000022", "010000031",
                           "010000032", "010000041"}) {
    AddSelected(code, "X", "69000", "LYON");
  }
  db::RecordSession& data = ProjectDataForContext(installation_.runtime_context());
  const std::vector<LabelAddress> each = ReadLabelAddresses(data);
  ASSERT_EQ(each.size(), 7u);
  EXPECT_EQ(LabelLines(each[0])[0], "Madame Anne DUPONT");  // the first name is on the label
  const std::vector<LabelAddress> households = OneLabelPerHousehold(data, each);
  std::vector<std::string> first_lines;
  for (const LabelAddress& address : households) first_lines.push_back(LabelLines(address)[0]);
  EXPECT_EQ(first_lines,
            (std::vector<std::string>{
                "Monsieur et Madame DUPONT", "Madame Anne DUPONT", "Monsieur Paul MARTIN",
                "Madame Anne DUPONT et Monsieur Paul MARTIN", "Monsieur Jean PETIT"}));
  EXPECT_EQ(
      LabelLines(households[0]),
      (std::vector<std::string>{"Monsieur et Madame DUPONT", "12 rue des Lilas", "69003 LYON"}));

  // The window's switch, off by default, gives the same count to the print.
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  EXPECT_EQ(session.Execute("ECRAN,RECUPERE,FOYER").text, "0");
  session.Execute("Execute,ETIQUETTES.CLIC");
  session.Execute("AFFICHE,FOYER=1");
  session.Execute("Execute,ETIQUETTES.CLIC");
  ASSERT_EQ(front.messages.size(), 2u);
  EXPECT_EQ(front.messages[0].second.rfind("7 ", 0), 0u) << front.messages[0].second;
  EXPECT_EQ(front.messages[1].second.rfind("5 ", 0), 0u) << front.messages[1].second;
}

// The outline test sheet: one page with the label borders and no text.
TEST_F(ResultWindowTest, TheOutlineSheetDrawsTheBordersOnly) {
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  session.Execute("Execute,CONTOUR.CLIC");
  const fs::path pdf = data_ / "ETIQUETTES" / kOutlineSheetName;
  ASSERT_EQ(front.messages.size(), 1u);
  EXPECT_EQ(front.messages[0].first, MessageKind::kInfo);
  EXPECT_NE(os::Utf8(front.messages[0].second).find("contours des 24 étiquettes"),
            std::string::npos);
  EXPECT_EQ(PageCount(pdf), 1u);
  EXPECT_EQ(FileBytes(pdf).find("/Type /Font"), std::string::npos);  // no text, borders only

  // A layout wider than the page is refused with the sheet's reason.
  session.Execute("AFFICHE,LARGEUR=75");
  session.Execute("Execute,CONTOUR.CLIC");
  ASSERT_EQ(front.messages.size(), 2u);
  EXPECT_EQ(front.messages[1].first, MessageKind::kError);
  EXPECT_NE(os::Utf8(front.messages[1].second).find("largeur de la page"), std::string::npos);
}

// "Imprimer" with the scripted front end: the labels' PDF goes to the file
// the scenario names; a document not made yet is refused.
TEST_F(ResultWindowTest, PrintingSendsTheChosenDocumentToTheScenariosFile) {
  AddSelectedClients(3);
  const fs::path printed = root_ / "imprime.pdf";
  auto load = runtime::ParseScenario(
      "input RESULTAT\n"
      "  choose IMPRESSION 2\n"
      "  print \"" +
          printed.string() +
          "\"\n"
          "  click IMPRIMER\n"
          "  click ETIQUETTES\n"
          "  click IMPRIMER\n"
          "  choose IMPRESSION 1\n"
          "  click IMPRIMER\n"
          "  press ESC\n",
      "print.scn");
  ASSERT_TRUE(load.scenario) << load.error;
  runtime::ScriptedFrontEnd front(std::move(*load.scenario), *transcript_);
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  session.Execute("Ecran,Saisie");
  EXPECT_EQ(front.Finish(), "");
  EXPECT_EQ(FileBytes(printed), FileBytes(LabelsPdf()));
  const std::string transcript = FileBytes(root_ / "transcript.txt");
  EXPECT_NE(transcript.find("ne sont pas encore faites"), std::string::npos);
  EXPECT_NE(transcript.find("envoyé à l'impression"), std::string::npos);
  EXPECT_NE(transcript.find("Aucun document des lettres"), std::string::npos);
}

}  // namespace
}  // namespace vz::project

#include "platform/os/whole_file.h"
#include "project/letter_keywords.h"

namespace vz::project {
namespace {

// "Mots-clés" shows every keyword of the template guide with an example.
TEST_F(ResultWindowTest, TheKeywordsButtonListsTheKeywordsOfTheTemplateGuide) {
  std::string guide;
  ASSERT_TRUE(
      os::ReadWholeFile(std::string(VZ_PROJECT_DIR) + "/../docs/letter-templates.md", &guide));
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  session.Execute("Execute,MOTSCLES.CLIC");
  ASSERT_EQ(front.messages.size(), 1u);
  EXPECT_EQ(front.messages[0].first, MessageKind::kInfo);
  const std::string shown = os::Utf8(front.messages[0].second);
  for (const LetterKeyword& keyword : LetterKeywords()) {
    EXPECT_NE(shown.find(std::string(keyword.code) + " : "), std::string::npos) << keyword.code;
    EXPECT_NE(guide.find(std::string(keyword.code)), std::string::npos)
        << keyword.code << " is missing from docs/letter-templates.md";
  }
  EXPECT_NE(shown.find("#0000A : nom (DUPONT)"), std::string::npos) << shown;
}

}  // namespace
}  // namespace vz::project

#include "src/util/run_log.h"
#include "tests/support/faulty_output_files.h"

namespace vz::project {
namespace {

// The labels PDF on a full disk (or any failing write): the adviser is told,
// the failure logged, the previous PDF left whole.
TEST_F(ResultWindowTest, ALabelsPdfThatCannotBeWrittenKeepsThePreviousOne) {
  AddSelectedClients(3);
  runtime::FakeFrontEnd front;
  runtime::Session& session = StartSession(front);
  OpenResultWindow(session);
  session.Execute("Execute,ETIQUETTES.CLIC");
  ASSERT_TRUE(fs::is_regular_file(LabelsPdf()));
  const std::string printed = FileBytes(LabelsPdf());
  using Fault = vz::testing::FaultyOutputFiles::Fault;
  for (Fault fault : {Fault::kFull, Fault::kSyncError, Fault::kRenameError}) {
    SCOPED_TRACE(static_cast<int>(fault));
    vz::testing::FaultyOutputFiles failing(fault, ".pdf");
    front.messages.clear();
    session.Execute("Execute,ETIQUETTES.CLIC");
    ASSERT_EQ(front.messages.size(), 1u);
    EXPECT_EQ(front.messages[0].first, MessageKind::kError);
    EXPECT_NE(os::Utf8(front.messages[0].second).find("n'a pas pu être écrit"), std::string::npos);
    EXPECT_EQ(FileBytes(LabelsPdf()), printed);
  }
  EXPECT_NE(FileBytes(util::RunLogPath(data_.string())).find("ETIQUETTES"), std::string::npos);
}

}  // namespace
}  // namespace vz::project
