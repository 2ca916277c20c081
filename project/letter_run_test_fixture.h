// The letter-run tests' fixture: a temporary installation sharing its
// engine context with a project session over a small window library (the
// result window RESULTAT and the letters' progress window EX_LETTRES), and
// the program's side of the letters: SELECTES filled as the extraction
// does, INTERFA "EX**" records written and "Execute,BOUTON1.CLIC" sent for
// each client. Real engine; everything lives in the test's temporary folder.
#ifndef VZ_PROJECT_LETTER_RUN_TEST_FIXTURE_H_
#define VZ_PROJECT_LETTER_RUN_TEST_FIXTURE_H_

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/os/cp1252.h"
#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/runtime_test_files.h"
#include "platform/runtime/session.h"
#include "platform/runtime/transcript.h"
#include "project/letter_run.h"
#include "src/db/describe.h"
#include "src/db/layouts/interfa.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "tests/support/project_session.h"
#include "tests/support/temporary_installation.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using db::FileId;
using os::Cp1252;

const char kLibrary[] = R"(library LETTRES
window RESULTAT title="Résultat" w=760 h=560 default=BT_FERMER escape=ESC
  text    REQUETE    x=20 y=56  w=340 h=26 length=8 label="Requête" state=-
  list    Nom_Lettre x=20 y=128 w=530 h=92 label="Modèle"
  button  BOUTON1    x=20 y=504 w=36 h=36 label="Fusionner" event=CLIC state=I
  button  BT_FERMER  x=580 y=500 w=160 h=40 label="Fermer" code=ESC
end
window EX_LETTRES title="Lettres en cours" w=560 h=330 default=BT_ARRET escape=STP
  text    Nom_Lettre x=20 y=56 w=520 h=24 length=60 label="Modèle" state=-
  text    REQUETE    x=20 y=86 w=300 h=24 length=8 label="Requête" state=-
  button  BOUTON1    x=20 y=280 w=36 h=36 label="Fusionner" event=CLIC state=I
  table   VALEURS    x=60 y=280 w=120 h=36 label="Valeurs" state=I
    column MOT    title="Champ"  w=60
    column VALEUR title="Valeur" w=60
  button  BT_ARRET   x=200 y=276 w=160 h=40 label="Arrêter" code=STP
end
)";

[[maybe_unused]] std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

[[maybe_unused]] int PdfPageCount(const std::string& pdf) {
  int pages = 0;
  for (size_t at = pdf.find("/Type /Page"); at != std::string::npos;
       at = pdf.find("/Type /Page", at + 1)) {
    if (at + 11 >= pdf.size() || pdf[at + 11] != 's') ++pages;
  }
  return pages;
}

[[maybe_unused]] std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file()) names.push_back(fs::relative(it->path(), folder).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct Client {
  std::string code;
  std::string postcode;
  std::string name;  // cp1252
};

class LetterRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(installation_.ready());
    runtime::WriteFile(root_ / "lettres.wdl", kLibrary);
    transcript_ = std::make_unique<runtime::Transcript>((root_ / "transcript.txt").string());
    StartSession();
  }

  void TearDown() override {
    session_.reset();
    transcript_.reset();
  }

  void StartSession() {
    // The window's opening code starts the run, as the result window does.
    session_ = vz::testing::NewProjectSession(
        front_, *transcript_, installation_.runtime_context(), root_,
        [](runtime::CodeRegistry& registry) {
          registry.AddWindowCode(
              "RESULTAT", "RESULTAT", "OUVERTURE",
              [](runtime::CodeContext& context, runtime::Window&) { StartLetterRun(context); });
        });
    ASSERT_TRUE(vz::testing::OpenLibraryAndProject(*session_, "lettres.wdl", ""));
  }

  // The extraction of query `query`: SELECTES under that physical name.
  void Extract(std::string_view query, const std::vector<Client>& clients) {
    db::Hsubstnom("SELECTES", query);
    db::Hcreation("SELECTES");
    int16_t sequence = 1;
    for (const Client& client : clients) {
      uint8_t* buffer = db::RecordBuffer(FileId::SELECTES);
      std::memset(buffer, 0, db::RecordBufferSize(FileId::SELECTES));
      db::SelectedRecord record{buffer};
      record.SetClientCode(client.code);
      record.SetName(client.name);
      record.SetPostcode(client.postcode);
      record.SetSequence(++sequence);
      record.SetMarker("E");
      db::Hajoute("SELECTES");
    }
  }

  void OpenResult(std::string_view query, std::string_view template_name) {
    ASSERT_EQ(session_->Execute("Ouvre,RESULTAT").value, 0);
    session_->CurrentWindow()->FindField("REQUETE")->value = std::string(query);
    // The template list as the window's opening code fills it, the one chosen selected.
    runtime::Field* list = session_->CurrentWindow()->FindField("Nom_Lettre");
    list->entries = {"AUTRE.TXT", std::string(template_name)};
    list->selected = 2;
  }

  // What the program does for one client: its INTERFA records, then the click.
  void ProgramMerges(const std::vector<std::pair<std::string, std::string>>& fields) {
    db::Hlitrecherche("INTERFA", "MOTCLEF", "EX**");
    db::InterfaceRecord record = db::CurrentInterface();
    while (!db::Hendehors() && record.Keyword().substr(0, 4) == "EX**") {
      db::Hsupprime("INTERFA");
      db::Hlitsuivant("INTERFA", "MOTCLEF");
    }
    for (const auto& [keyword, value] : fields) {
      std::memset(record.data, 0, db::RecordBufferSize(FileId::INTERFA));
      record.SetKeyword("EX**" + keyword);
      record.SetLineText(value + "\t");
      db::Hajoute("INTERFA");
    }
    EXPECT_EQ(session_->Execute("Execute,BOUTON1.CLIC").value, 0);
  }

  // The program's letters over the extraction: one click per client in
  // postcode order, with the client's name as the value of #0000A.
  void ProgramProducesLetters(const std::vector<Client>& clients_in_postcode_order) {
    for (const Client& client : clients_in_postcode_order)
      ProgramMerges({{"0000A", client.name}, {"0000D", client.postcode}});
  }

  std::vector<std::string> Notes() { return runtime::ReadLines(root_ / "transcript.txt"); }

  vz::testing::TemporaryInstallation installation_{
      "letters", vz::testing::InstallationOptions().SharedWithRuntime().WithDataDirectory()};
  const fs::path& root_ = installation_.root();
  const fs::path& data_ = installation_.data_directory();
  runtime::FakeFrontEnd front_;
  std::unique_ptr<runtime::Transcript> transcript_;
  std::unique_ptr<runtime::Session> session_;
};

const std::vector<Client> kClients = {
    {"010000011", "91000", Cp1252("ÉTIENNE")},
    {"010000021", "13001", "MARTIN"},
    {"010000031", "75011", Cp1252("D'ARC & CIE")},
};
// The same clients in postcode order.
const std::vector<Client> kByPostcode = {kClients[1], kClients[2], kClients[0]};

}  // namespace
}  // namespace vz::project

#endif  // VZ_PROJECT_LETTER_RUN_TEST_FIXTURE_H_
