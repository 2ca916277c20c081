// The result list read back from a query's selection and merge files with the
// real engine: identity from CLIENT and the mailing address, extracted values
// under their RUBRIQUE labels, and what a stale or missing file gives.
#include "src/outputs/result_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/os/cp1252.h"
#include "src/db/record_session.h"
#include "tests/support/temporary_installation.h"
#include "tests/support/test_records.h"

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;
using db::FileId;
using Rows = std::vector<std::vector<std::string>>;

constexpr char kQuery[] = "01000042";

class ResultListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(installation_.ready());
    testing::AddClient("010000011", "DUPONT", [](db::ClientRecord& c) {
      c.SetIdentityTextB(os::Cp1252("Hélène"));
      c.SetPostcode("33000");
      c.SetCity("Bordeaux");
    });
    testing::AddClient("010000012", "DUPONT",
                       [](db::ClientRecord& c) { c.SetIdentityTextB("Marc"); });
    testing::AddAddress("01000001", "1 rue de la Paix", "", "75011", "Paris");
    testing::AddClient("010000021", os::Cp1252("LEFÈVRE"), [](db::ClientRecord& c) {
      c.SetIdentityTextB("Anne");
      c.SetPostcode("69001");
      c.SetCity("Lyon");
    });
    testing::AddCodeLabel(FileId::RUBRIQUE, "40000", "Revenus");
    testing::AddCodeLabel(FileId::RUBRIQUE, "0000C", "Adresse");
    testing::AddCodeLabel(FileId::RUBRIQUE, "0000I", "Date de naissance");
  }

  void Write(std::string_view extension, std::string_view bytes) {
    std::ofstream(installation_.data_directory() / (std::string(kQuery) + std::string(extension)),
                  std::ios::binary)
        << bytes;
  }

  void WriteSelection() { Write(".EXT", "010000011\r\n010000012\r\n010000021\r\n010000091\r\n"); }

  // Columns 0000C (twice), 0000I, 40000, SC00A; one line per client.
  void WriteMergeFile(int clients) {
    const char* lines[] = {
        "1 rue de la Paix\t\t19610325\t   45000\t  120000\t",
        "1 rue de la Paix\t\t00000000\t        \t        \t",
        "3 quai Gailleton\tB\xE2t. A\t19800101\t 1234567\t        \t",
        "\t\t\t        \t        \t",
    };
    std::string bytes =
        "0068"
        "0000C16\t"
        "0000C00\t"
        "0000I08\t"
        "4000008\t"
        "SC00A08\t" +
        std::string(23, ' ') + "\r\n";
    for (int i = 0; i < clients; ++i) bytes += std::string(lines[i]) + "\r\n";
    Write(".MEM", bytes);
  }

  ResultList Load() { return LoadResultList(db::ProgramSession(), kQuery); }

  testing::TemporaryInstallation installation_{"result_list",
                                               testing::InstallationOptions().WithDataDirectory()};
};

std::vector<std::string> Titles(const ResultList& list) {
  std::vector<std::string> titles;
  for (const auto& column : list.columns) titles.push_back(os::Utf8(column.title));
  return titles;
}

TEST_F(ResultListTest, ListsTheSelectedClientsWithTheirExtractedValues) {
  WriteSelection();
  WriteMergeFile(4);
  const ResultList list = Load();
  EXPECT_EQ(list.problem, "");
  EXPECT_EQ(Titles(list), (std::vector<std::string>{
                              "Code client", "Nom", "Prénom", "Code postal", "Ville", "Adresse (1)",
                              "Adresse (2)", "Date de naissance", "Revenus", "Rubrique SC00A"}));
  EXPECT_EQ(list.columns[7].kind, ValueKind::kDate);
  EXPECT_EQ(list.columns[8].kind, ValueKind::kAmount);
  EXPECT_EQ(list.columns[5].kind, ValueKind::kText);
  EXPECT_EQ(
      list.rows,
      (Rows{
          // The household's address "001" wins over the client's own.
          {"010000011", "DUPONT", os::Cp1252("Hélène"), "75011", "Paris", "1 rue de la Paix", "",
           "19610325", "45000", "120000"},
          {"010000012", "DUPONT", "Marc", "75011", "Paris", "1 rue de la Paix", "", "", "", ""},
          {"010000021", os::Cp1252("LEFÈVRE"), "Anne", "69001", "Lyon", "3 quai Gailleton",
           "B\xE2t. A", "19800101", "1234567", ""},
          // No longer in CLIENT: its code and its extracted values only.
          {"010000091", "", "", "", "", "", "", "", "", ""},
      }));
}

TEST_F(ResultListTest, AStaleOrMissingMergeFileLeavesTheClientsWithoutExtractedColumns) {
  WriteSelection();
  for (int clients : {-1, 3}) {
    SCOPED_TRACE(clients);
    fs::remove(installation_.data_directory() / (std::string(kQuery) + ".MEM"));
    if (clients >= 0) WriteMergeFile(clients);
    const ResultList list = Load();
    EXPECT_EQ(list.columns.size(), kFixedResultColumns);
    ASSERT_EQ(list.rows.size(), 4u);
    EXPECT_EQ(list.rows[2][1], os::Cp1252("LEFÈVRE"));
    EXPECT_NE(os::Utf8(list.problem).find("relancez l'extraction"), std::string::npos);
  }
}

TEST_F(ResultListTest, AQueryNeverRunOrWithABadCodeListsNobody) {
  ResultList list = Load();
  EXPECT_TRUE(list.rows.empty());
  EXPECT_EQ(os::Utf8(list.problem),
            "Cette requête n'a pas encore été lancée : aucun client n'est sélectionné.");
  EXPECT_TRUE(list.never_run);
  list = LoadResultList(db::ProgramSession(), "0100:001");
  EXPECT_TRUE(list.rows.empty());
  EXPECT_FALSE(list.never_run);
  EXPECT_NE(list.problem.find("0100:001"), std::string::npos);
  // A run that selected nobody: no client, nothing to report.
  Write(".EXT", "");
  Write(".MEM", "");
  list = Load();
  EXPECT_TRUE(list.rows.empty());
  EXPECT_EQ(list.problem, "");
}

// CLIENT is walked in key order beside the selection file: whatever order,
// gaps, repeats or unknown codes the selection file has, each row gets its
// own client's identity and nobody else's.
TEST_F(ResultListTest, EachRowGetsItsOwnClientWhateverTheOrderOfTheSelectionFile) {
  // Forty more clients 0200000x1, one household each, the name telling the code.
  for (int i = 10; i < 50; ++i) {
    const std::string code = "0200000" + std::to_string(i);
    testing::AddClient(code, "N" + code, [](db::ClientRecord&) {});
  }
  const auto name_of = [](const std::string& code) -> std::string {
    if (code.starts_with("0200000") && code < "020000050") return "N" + code;
    if (code == "010000011" || code == "010000012") return "DUPONT";
    if (code == "010000021") return os::Cp1252("LEFÈVRE");
    return "";
  };
  struct Case {
    const char* name;
    std::vector<std::string> codes;
  };
  const Case cases[] = {
      {"rising, every client",
       {"010000011", "010000012", "010000021", "020000010", "020000011", "020000012", "020000013",
        "020000049"}},
      {"gaps wider than a few steps", {"010000011", "020000030", "020000031", "020000049"}},
      {"falling", {"020000049", "020000030", "010000021", "010000011"}},
      {"repeated codes", {"010000021", "010000021", "020000015", "020000015", "010000012"}},
      {"unknown codes between, before and after",
       {"000000001", "010000013", "010000021", "020000099", "020000011", "999999999"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes;
    for (const std::string& code : c.codes) bytes += code + "\r\n";
    Write(".EXT", bytes);
    fs::remove(installation_.data_directory() / (std::string(kQuery) + ".MEM"));
    const ResultList list = Load();
    ASSERT_EQ(list.rows.size(), c.codes.size());
    for (size_t i = 0; i < c.codes.size(); ++i) {
      EXPECT_EQ(list.rows[i][0], c.codes[i]);
      EXPECT_EQ(list.rows[i][1], name_of(c.codes[i])) << c.codes[i];
    }
    // The household's mailing address follows its clients too.
    for (size_t i = 0; i < c.codes.size(); ++i) {
      if (c.codes[i].starts_with("01000001")) {
        EXPECT_EQ(list.rows[i][4], "Paris");
      }
    }
  }
}

TEST(DisplayValue, ShowsNumbersAndDatesAsPeopleReadThem) {
  const struct {
    ValueKind kind;
    const char* stored;
    const char* shown;
  } cases[] = {
      {ValueKind::kAmount, "1234567", "1 234 567"},
      {ValueKind::kAmount, "-3584", "-3 584"},
      {ValueKind::kAmount, "", ""},
      {ValueKind::kWholeNumber, "65", "65"},
      {ValueKind::kDate, "19610325", "25/03/1961"},
      {ValueKind::kDate, "", ""},
      {ValueKind::kDate, "1961", "1961"},
      {ValueKind::kText, "75011", "75011"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DisplayValue(c.kind, c.stored), c.shown) << c.stored;
  }
}

TEST(ToDisplayValues, ChangesEachCellAsItsColumnIsShown) {
  ResultList list;
  list.columns = {{"CODCLI", "Code client", ValueKind::kText},
                  {"40000", "Salaires", ValueKind::kAmount},
                  {"0000I", "Naissance", ValueKind::kDate},
                  {"0000H", "\xC2ge", ValueKind::kWholeNumber}};
  list.rows = {{"010000011", "1234567", "19610325", "65"},
               {"010000021", "", "", "1000"},
               {"010000031", "12"}};  // a short row keeps its length
  ToDisplayValues(list);
  EXPECT_EQ(list.rows,
            (std::vector<std::vector<std::string>>{{"010000011", "1 234 567", "25/03/1961", "65"},
                                                   {"010000021", "", "", "1 000"},
                                                   {"010000031", "12"}}));
}

TEST(SelectedCountText, GroupsThousandsAndAgrees) {
  EXPECT_EQ(SelectedCountText(0), "0 client retenu");
  EXPECT_EQ(SelectedCountText(1), "1 client retenu");
  EXPECT_EQ(SelectedCountText(2), "2 clients retenus");
  EXPECT_EQ(SelectedCountText(100000), "100 000 clients retenus");
}

}  // namespace
}  // namespace vz::outputs
