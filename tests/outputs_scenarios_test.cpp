// End-to-end sessions of the outputs on a generated installation: from the
// main menu, a saved query with rubric lines is run from the query list
// (selection, then extraction), its results are opened, the letters of a
// sample template are produced and the address labels printed; the session
// leaves with Escape and quits. The files are then read back: the selection
// file, the merge file, the SELECTES records (through the record engine), one
// letter per client with the client's own values, the PDF of the letters and
// the labels PDF.
//
// Run with VZ_TEST_STORE=postgresql (ctest's vz_outputs_scenarios_test_pg),
// the generated installation is first copied to the test server and the
// program works on the server; that run also plays one session on each store
// over the same records and compares the selection and merge files byte for
// byte.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/engine/pg_test_support.h"
#include "platform/os/cp1252.h"
#include "platform/os/profile_file.h"
#include "src/db/layouts/selectes.h"
#include "src/outputs/letter_package.h"
#include "tests/support/output_files.h"
#include "tests/support/program_run.h"
#include "tests/support/test_installation.h"

namespace vz {
namespace {

namespace fs = std::filesystem;
using testing::FileLines;
using testing::FileNames;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ProgramRunResult;
using testing::ReadWholeFile;

constexpr char kIncomeQuery[] = "01000001";  // income criterion, rubric lines 40000 and 0000A
constexpr int kClients = 300;

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// One SELECTES record, decoded.
struct Selected {
  std::string code;
  std::string name;
  std::string postcode;
  int sequence = 0;
  std::string marker;
};

std::vector<Selected> Decode(const std::vector<std::string>& records) {
  std::vector<Selected> out;
  for (std::string bytes : records) {
    db::SelectedRecord record{reinterpret_cast<uint8_t*>(bytes.data())};
    out.push_back({std::string(record.ClientCode()), Trimmed(record.Name()),
                   std::string(record.Postcode()), record.Sequence(),
                   std::string(record.Marker())});
  }
  return out;
}

// A generated demo installation instead of the minimal one; runs of up to
// five minutes.
class OutputsScenarioTest : public testing::ProgramScenarioTest {
 protected:
  OutputsScenarioTest()
      : ProgramScenarioTest("e2e_outputs_", VZ_PROGRAM_PATH, VZ_PROJECT_DIR, 300) {}

  void SetUp() override {
    testing::GenerateDemoInstallation(installation_, kClients, 7,
                                      fs::path(VZ_PROJECT_DIR) / "templates", VZ_PROJECT_DIR);
    testing::IgnoreFontCacheInLeakReports(installation_);
    if (engine::testing::EngineTestsOnServer()) {
      if (engine::testing::TestServerConninfo().empty()) {
        GTEST_SKIP() << "VZ_TEST_STORE=postgresql but no test server (VZ_TEST_PG)";
      }
      schema_ = std::make_unique<engine::testing::TestSchema>();
      ASSERT_TRUE(schema_->ok());
      ASSERT_TRUE(testing::MoveDemoInstallationToServer(installation_, schema_->conninfo()));
    }
  }

  // Names the store of the installation's parameter file ("SQLITE" or
  // "POSTGRESQL"), for the program and for this process.
  void UseStore(const char* store) {
    ASSERT_TRUE(os::WriteProfileString((installation_.root() / "FIC01" / "PARAM.DTA").string(),
                                       "COMPOSANTS", "BASEDONNEES", store));
    testing::UseInstallationStoreInThisProcess(installation_);
  }

  std::unique_ptr<engine::testing::TestSchema> schema_;  // the server's run only

  static std::string Describe(const ProgramRunResult& result) {
    return testing::DescribeRun(result, 6000);
  }

  fs::path Data() const { return testing::DemoDataDirectory(installation_); }
};

// The whole session: run, results, letters, labels on a 3 x 8 sheet whose
// first four positions are already used.
constexpr char kFullSession[] =
    "input MENU press T01\n"
    "input LSTSEL\n"
    "  pick REQUETES CODE \"01000001\"\n"
    "  press LAN\n"
    "input LSTSEL press RES\n"
    "input RESULTAT\n"
    "  pick Nom_Lettre \"RELANCE.TXT\"\n"
    "  press LET\n"
    "input RESULTAT\n"
    "  type MHAUTE \"13\"\n"
    "  type MGAUCHE \"5\"\n"
    "  type ESPV \"0\"\n"
    "  type ESPH \"2,5\"\n"
    "  type HAUTEUR \"34\"\n"
    "  type LARGEUR \"65\"\n"
    "  type NBETIH \"3\"\n"
    "  type NBETIV \"8\"\n"
    "  type PREMIERE \"5\"\n"
    "  click ETIQUETTES\n"
    "  press ESC\n"
    "input LSTSEL press T02\n"
    "input MENU press ESC\n"
    "answer yes \"Désirez vous quitter le logiciel ?\"\n";

TEST_F(OutputsScenarioTest, RunResultsLettersAndLabelsFromTheMainMenu) {
  const ProgramRunResult result = Run(kFullSession);
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd ! "))) << Describe(result);

  // The selection file: sorted, distinct client codes.
  const std::vector<std::string> selection = FileLines(Data() / "01000001.EXT");
  ASSERT_FALSE(selection.empty());
  EXPECT_LT(selection.size(), static_cast<size_t>(kClients)) << "the criterion selects";
  EXPECT_TRUE(std::is_sorted(selection.begin(), selection.end()));
  EXPECT_TRUE(std::adjacent_find(selection.begin(), selection.end()) == selection.end());
  for (const std::string& code : selection) EXPECT_EQ(code.size(), 9u) << code;
  const size_t n = selection.size();

  // SELECTES: one record per selected client, sequence numbers in
  // selection order from 2, in postcode order when read by CODPTT.
  const std::vector<Selected> selected =
      Decode(testing::SelectedRecords(installation_, kIncomeQuery));
  ASSERT_EQ(selected.size(), n);
  std::map<std::string, Selected> by_code;
  std::vector<int> sequences;
  for (size_t i = 0; i < selected.size(); ++i) {
    by_code[selected[i].code] = selected[i];
    sequences.push_back(selected[i].sequence);
    EXPECT_EQ(selected[i].marker, "E");
    if (i > 0) {
      EXPECT_LE(selected[i - 1].postcode, selected[i].postcode);
    }
  }
  ASSERT_EQ(by_code.size(), n);
  for (size_t i = 0; i < n; ++i) {
    ASSERT_EQ(by_code.count(selection[i]), 1u) << selection[i];
    EXPECT_EQ(by_code[selection[i]].sequence, static_cast<int>(i) + 2) << selection[i];
  }

  // The merge file: a header naming the two columns (identity name, then
  // income total), then one line per client in selection order, each value
  // followed by a TAB; the name is the client's.
  const std::vector<std::string> merge = FileLines(Data() / "01000001.MEM");
  ASSERT_EQ(merge.size(), n + 1);
  const std::string& header = merge[0];
  ASSERT_GE(header.size(), 4u + 16u);
  EXPECT_EQ(header.substr(4, 5), "0000A");
  EXPECT_EQ(header.substr(11, 1), "\t");
  EXPECT_EQ(header.substr(12, 5), "40000");
  EXPECT_EQ(header.substr(17, 2), "08");
  const int width = std::stoi(header.substr(9, 2));
  EXPECT_EQ(std::stoi(header.substr(0, 4)), width + 1 + 8 + 1 + 2);
  for (size_t i = 0; i < n; ++i) {
    const std::string& line = merge[i + 1];
    ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
    EXPECT_EQ(line.rfind(by_code[selection[i]].name, 0), 0u) << selection[i] << ": " << line;
    const std::string amount = line.substr(line.find('\t') + 1, 8);
    EXPECT_EQ(amount.size(), 8u);
    EXPECT_NE(Trimmed(amount), "") << "the query asks for an income: " << line;
  }

  // One letter per client, numbered in the postcode order of SELECTES, each
  // with the client's name; the text letters also make one PDF, a page each.
  const fs::path letters = Data() / "LETTRES" / "01000001-RELANCE";
  std::set<std::string> expected = {"lettres.pdf"};
  for (size_t i = 0; i < n; ++i) {
    char number[24];
    std::snprintf(number, sizeof number, "%04zu", i + 1);
    const std::string file = std::string(number) + "-" + selected[i].code + ".TXT";
    expected.insert(file);
    const std::string letter = ReadWholeFile(letters / file);
    // The sample template is UTF-8, and so are its letters.
    EXPECT_THAT(letter, HasSubstr(os::Utf8(selected[i].name))) << file;
    EXPECT_THAT(letter, Not(HasSubstr("\n,"))) << file << ": a salutation without civility";
    EXPECT_THAT(letter, Not(HasSubstr("#0000"))) << file;
  }
  EXPECT_EQ(FileNames(letters), expected);
  EXPECT_EQ(testing::PdfPageCount(ReadWholeFile(letters / "lettres.pdf")), static_cast<int>(n));

  // Labels: 24 to a sheet, the first sheet from position 5.
  const size_t sheets = (n + 4 + 23) / 24;
  const std::string labels = ReadWholeFile(Data() / "ETIQUETTES" / "01000001.pdf");
  ASSERT_EQ(labels.rfind("%PDF-", 0), 0u) << Describe(result);
  EXPECT_EQ(testing::PdfPageCount(labels), static_cast<int>(sheets));
  EXPECT_THAT(result.transcript,
              HasSubstr(std::to_string(n) + " étiquettes sur " + std::to_string(sheets) +
                        (sheets > 1 ? " feuilles" : " feuille")));
  EXPECT_EQ(FileNames(Data() / "ETIQUETTES"), std::set<std::string>{"01000001.pdf"});
}

// Two queries run one after the other: the results of the first still work
// on its own extraction, not on the last one made. A query never run has no
// extraction: its labels are refused with a message and it gets no letters.
TEST_F(OutputsScenarioTest, ResultsOfEachQueryWorkOnItsOwnExtraction) {
  const ProgramRunResult result =
      Run("input MENU press T01\n"
          "input LSTSEL\n"
          "  pick REQUETES CODE \"01000001\"\n"
          "  press LAN\n"
          "input LSTSEL\n"
          "  pick REQUETES CODE \"01000003\"\n"
          "  press LAN\n"
          "input LSTSEL\n"
          "  pick REQUETES CODE \"01000001\"\n"
          "  press RES\n"
          "input RESULTAT\n"
          "  pick Nom_Lettre \"BILAN.HTM\"\n"
          "  press LET\n"
          "input RESULTAT press ESC\n"
          "input LSTSEL\n"
          "  pick REQUETES CODE \"01000005\"\n"
          "  press RES\n"
          "input RESULTAT\n"
          "  type MHAUTE \"0\"\n"
          "  type MGAUCHE \"0\"\n"
          "  type ESPV \"0\"\n"
          "  type ESPH \"0\"\n"
          "  type HAUTEUR \"37\"\n"
          "  type LARGEUR \"70\"\n"
          "  type NBETIH \"3\"\n"
          "  type NBETIV \"8\"\n"
          "  click ETIQUETTES\n"
          "  pick Nom_Lettre \"RELANCE.TXT\"\n"
          "  press LET\n"
          "input RESULTAT press ESC\n"
          "input LSTSEL press T02\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd ! "))) << Describe(result);

  const size_t income = FileLines(Data() / "01000001.EXT").size();
  const size_t seniors = FileLines(Data() / "01000003.EXT").size();
  ASSERT_GT(income, 0u);
  ASSERT_GT(seniors, 0u);
  ASSERT_NE(income, seniors) << "the two queries must differ for this test to tell them apart";
  EXPECT_EQ(FileLines(Data() / "01000003.MEM").size(), seniors + 1);

  const fs::path letters = Data() / "LETTRES" / "01000001-BILAN";
  EXPECT_EQ(FileNames(letters).size(), income + 1) << "letters of 01000001 and their PDF";
  EXPECT_EQ(testing::PdfPageCount(ReadWholeFile(letters / "lettres.pdf")),
            static_cast<int>(income));
  EXPECT_EQ(FileNames(Data() / "LETTRES"), std::set<std::string>{})
      << "only folders of letters in LETTRES";
  std::set<std::string> folders;
  for (const fs::directory_entry& entry : fs::directory_iterator(Data() / "LETTRES"))
    folders.insert(entry.path().filename().string());
  EXPECT_EQ(folders, std::set<std::string>{"01000001-BILAN"}) << "no letters for 01000005";

  EXPECT_THAT(result.transcript,
              HasSubstr("Aucune personne extraite pour cette requête. Lancez d'abord la requête."));
  EXPECT_FALSE(fs::exists(Data() / "ETIQUETTES" / "01000005.pdf"));
}

// The letters as the adviser follows them: the progress window counts them,
// the end says how many were written and where the document to print is; the
// template chosen stays chosen when the window opens again; a stop after two
// letters puts those two in place as the pass's set, and says so.
TEST_F(OutputsScenarioTest, LettersShowTheirProgressStopAndSayWhereTheyAre) {
  const ProgramRunResult result =
      Run("input MENU press T01\n"
          "input LSTSEL\n"
          "  pick REQUETES CODE \"01000001\"\n"
          "  press LAN\n"
          "input LSTSEL press RES\n"
          "input RESULTAT\n"
          "  pick Nom_Lettre \"RELANCE.TXT\"\n"
          "  press LET\n"
          "input RESULTAT press LET\n"
          "stop after 2\n"
          "input RESULTAT press ESC\n"
          "input LSTSEL press T02\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd ! "))) << Describe(result);
  const size_t n = FileLines(Data() / "01000001.EXT").size();
  ASSERT_GT(n, 2u);
  const std::string total = std::to_string(n);
  EXPECT_THAT(result.transcript, HasSubstr("Ouvre,EX_LETTRES"));
  EXPECT_THAT(result.transcript, HasSubstr("INTITULE=Lettre 1 sur " + total));
  EXPECT_THAT(result.transcript, HasSubstr("INTITULE=Lettre " + total + " sur " + total));
  const fs::path letters = Data() / "LETTRES" / "01000001-RELANCE";
  EXPECT_THAT(result.transcript,
              HasSubstr("message info \"" + total + " lettres écrites. Le document à imprimer : " +
                        (letters / "lettres.pdf").string() + ".\""));
  // The second pass, with the template still chosen, stopped after two letters.
  EXPECT_THAT(result.transcript, HasSubstr("message info \"Lettres arrêtées : 2 lettres sur " +
                                           total + " ont été écrites ; elles remplacent"));
  std::set<std::string> names = FileNames(letters);
  EXPECT_EQ(names.size(), 3u) << "two letters and their PDF";
  EXPECT_EQ(names.count("lettres.pdf"), 1u);
  EXPECT_EQ(testing::PdfPageCount(ReadWholeFile(letters / "lettres.pdf")), 2);
  std::set<std::string> folders;
  for (const fs::directory_entry& entry : fs::directory_iterator(Data() / "LETTRES"))
    folders.insert(entry.path().filename().string());
  EXPECT_EQ(folders, std::set<std::string>{"01000001-RELANCE"}) << "no staging folder left";
}

// The same session on the same records kept in SQLite and on the server
// gives the same selection and merge files, byte for byte, and the same
// SELECTES records.
TEST_F(OutputsScenarioTest, SelectionAndMergeFilesAreTheSameOnBothStores) {
  if (schema_ == nullptr) GTEST_SKIP() << "compares the stores in the server's run only";
  constexpr char kSession[] =
      "input MENU press T01\n"
      "input LSTSEL\n"
      "  pick REQUETES CODE \"01000001\"\n"
      "  press LAN\n"
      "input LSTSEL\n"
      "  pick REQUETES CODE \"01000003\"\n"
      "  press LAN\n"
      "input LSTSEL press T02\n"
      "input MENU press ESC\n"
      "answer yes\n";
  const std::vector<std::string> outputs = {"01000001.EXT", "01000001.MEM", "01000003.EXT",
                                            "01000003.MEM"};
  std::map<std::string, std::map<std::string, std::string>> files;  // store -> name -> bytes
  std::map<std::string, std::vector<std::string>> selected;
  for (const char* store : {"SQLITE", "POSTGRESQL"}) {
    UseStore(store);
    for (const std::string& name : outputs) fs::remove(Data() / name);
    const ProgramRunResult result = Run(kSession);
    ASSERT_EQ(result.exit_code, 0) << store << "\n" << Describe(result);
    EXPECT_THAT(result.transcript, Not(HasSubstr("wd ! "))) << store << "\n" << Describe(result);
    for (const std::string& name : outputs) files[store][name] = ReadWholeFile(Data() / name);
    selected[store] = testing::SelectedRecords(installation_, kIncomeQuery);
  }
  for (const std::string& name : outputs) {
    EXPECT_FALSE(files["SQLITE"][name].empty()) << name;
    EXPECT_TRUE(files["SQLITE"][name] == files["POSTGRESQL"][name]) << name << " differs";
  }
  EXPECT_FALSE(selected["SQLITE"].empty());
  EXPECT_EQ(selected["SQLITE"], selected["POSTGRESQL"]);
}

// Letters of the RTF, OpenDocument and Word samples from the main menu: each
// pass ends with one document to print that gathers its letters, one page
// break between two letters, and the message names it; without LibreOffice
// the message says once that no PDF of it was made.
TEST_F(OutputsScenarioTest, LettersOfEachFormatEndWithOneDocumentToPrint) {
  const ProgramRunResult result =
      Run("input MENU press T01\n"
          "input LSTSEL\n"
          "  pick REQUETES CODE \"01000001\"\n"
          "  press LAN\n"
          "input LSTSEL press RES\n"
          "input RESULTAT\n"
          "  pick Nom_Lettre \"INVITATION.RTF\"\n"
          "  press LET\n"
          "input RESULTAT\n"
          "  pick Nom_Lettre \"PATRIMOINE.ODT\"\n"
          "  press LET\n"
          "input RESULTAT\n"
          "  pick Nom_Lettre \"ENTRETIEN.DOCX\"\n"
          "  press LET\n"
          "input RESULTAT press ESC\n"
          "input LSTSEL press T02\n"
          "input MENU press ESC\n"
          "answer yes\n");
  ASSERT_EQ(result.exit_code, 0) << Describe(result);
  EXPECT_THAT(result.transcript, Not(HasSubstr("wd ! "))) << Describe(result);
  const size_t n = FileLines(Data() / "01000001.EXT").size();
  ASSERT_GT(n, 2u);
  struct Expected {
    std::string folder;
    std::string document;
    std::string page_break;
    std::string part;  // the main part inside the zip, or "" for RTF
  };
  for (const Expected& e :
       {Expected{"01000001-INVITATION", "lettres.rtf", "\\page", ""},
        Expected{"01000001-PATRIMOINE", "lettres.odt", "text:style-name=\"LettresSautDePage\"",
                 "content.xml"},
        Expected{"01000001-ENTRETIEN", "lettres.docx", "w:type=\"page\"", "word/document.xml"}}) {
    const fs::path folder = Data() / "LETTRES" / e.folder;
    EXPECT_THAT(
        result.transcript,
        HasSubstr("message info \"" + std::to_string(n) +
                  " lettres écrites. Le document à imprimer : " + (folder / e.document).string() +
                  ". LibreOffice n'est pas installé : le PDF du document n'a pas été "
                  "fait.\""))
        << e.document;
    EXPECT_EQ(FileNames(folder).size(), n + 1) << "the letters and their document";
    const std::string document = ReadWholeFile(folder / e.document);
    const std::string main =
        e.part.empty() ? document : outputs::ReadPackagePart(document, e.part).value_or("");
    size_t breaks = 0;
    for (size_t at = main.find(e.page_break); at != std::string::npos;
         at = main.find(e.page_break, at + 1)) {
      ++breaks;
    }
    EXPECT_EQ(breaks, n - 1) << e.document;
    EXPECT_EQ(main.find("#0000"), std::string::npos) << "a field left in " << e.document;
  }
}

}  // namespace
}  // namespace vz
