// The extraction run end to end on a hand-made installation: the merge file
// and SELECTES of a query, the progress window, a client missing from CLIENT,
// empty and missing selection files, a query without rubric lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/db/layouts/rubric_files.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/outputs/extraction_test_support.h"
#include "tests/support/recording_runtime.h"

namespace vz::outputs {
namespace {

using db::FileId;
using testing::RecordingRuntime;

constexpr std::string_view kQuery = "01000007";

class ExtractionRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_.database().AddElementaryQuery(kQuery);
    data_.AddClient("010000011", "DURAND-LEFEBVRE", [](db::ClientRecord& c) {
      c.SetPostcode("69001");
      c.SetCity("LYON-VILLEURBANNE");
    });
    data_.AddClient("010000021", "MARTIN", [](db::ClientRecord& c) { c.SetPostcode("13001"); });
    data_.AddAddress("01000002", "3 quai du Port", "", "13002", "MARSEILLE");
  }
  // The program's own commands, without the window hooks the bridge adds.
  std::vector<std::string> Commands() const {
    std::vector<std::string> commands = RecordingRuntime::Get().Commands();
    std::erase_if(commands, [](const std::string& c) {
      return c.starts_with(
          "EX\xE9"
          "CUTE(");
    });
    return commands;
  }

  ExtractionTestData data_;
};

TEST_F(ExtractionRunTest, OneLineAndOneRecordPerClientInSelectionOrder) {
  data_.AddRubricLine(kQuery, "40001", '2');
  data_.AddRubricLine(kQuery, "0000A", '*');
  data_.AddRubric(FileId::REVENUS, "010000021", "40001", "001", 1234.6f);
  data_.WriteSelection(kQuery, {"010000021", "010000011"});
  RunExtractionDispatch(kQuery);

  EXPECT_EQ(data_.MergeLines(kQuery),
            (std::vector<std::string>{"0018"
                                      "0000A06\t"
                                      "4000108\t",
                                      "MARTIN\t    1235\t", "DURAND-LEFEBVRE\t        \t"}));
  const std::vector<SelectedRow> rows = data_.Selected(kQuery);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].code, "010000021");
  EXPECT_EQ(rows[0].name, "MARTIN");
  EXPECT_EQ(rows[0].postcode, "13002");  // the household's address
  EXPECT_EQ(rows[0].city, "MARSEILL");
  EXPECT_EQ(rows[0].sequence, 2);
  EXPECT_EQ(rows[0].marker, "E");
  EXPECT_EQ(rows[0].last_field, 0);
  EXPECT_EQ(rows[1].code, "010000011");
  EXPECT_EQ(rows[1].name, "DURAND-L");
  EXPECT_EQ(rows[1].postcode, "69001");  // the client record's address
  EXPECT_EQ(rows[1].city, "LYON-VIL");
  EXPECT_EQ(rows[1].sequence, 3);
  EXPECT_TRUE(data_.DataFilesEndingWith(".tmp").empty());
}

TEST_F(ExtractionRunTest, ProgressWindowAnnouncesTheSelectionSizeAndNamesEachClient) {
  data_.WriteSelection(kQuery, {"010000011", "010000021"});
  RunExtractionDispatch(kQuery);
  const std::vector<std::string> commands = Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.front(), "Ouvre,EX_attente");
  EXPECT_EQ(commands.back(), "Ferme");
  const auto has = [&](const std::string& command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
  };
  EXPECT_TRUE(has(os::Cp1252("AFFICHE,INTITULE=Extraction des rubriques.")));
  EXPECT_TRUE(has("AFFICHE,NBTOTAL=2"));
  EXPECT_TRUE(has("AFFICHE,NOM=DURAND-LEFEBVRE"));
  EXPECT_TRUE(has("AFFICHE,NOM=MARTIN"));
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "EXECUTE,NbTraite.entree"), 2);
}

TEST_F(ExtractionRunTest, NoRubricLineGivesTheShortHeaderAndEmptyLines) {
  data_.WriteSelection(kQuery, {"010000011", "010000021"});
  RunExtractionDispatch(kQuery);
  EXPECT_EQ(data_.MergeFile(kQuery), "0002\r\n\r\n\r\n");
  EXPECT_EQ(data_.Selected(kQuery).size(), 2u);
}

TEST_F(ExtractionRunTest, EmptyOrMissingSelectionGivesEmptyOutputsReplacingOldOnes) {
  data_.AddRubricLine(kQuery, "0000A", '*');
  data_.WriteSelection(kQuery, {"010000011"});
  RunExtractionDispatch(kQuery);
  ASSERT_EQ(data_.Selected(kQuery).size(), 1u);

  data_.WriteSelection(kQuery, {});
  RunExtractionDispatch(kQuery);
  EXPECT_TRUE(data_.MergeFileExists(kQuery));
  EXPECT_EQ(data_.MergeFile(kQuery), "");
  EXPECT_TRUE(data_.Selected(kQuery).empty());

  data_.WriteSelection(kQuery, {"010000011"});
  RunExtractionDispatch(kQuery);
  std::filesystem::remove(data_.database().data_directory() / "01000007.EXT");
  RecordingRuntime::Get().Reset();
  RunExtractionDispatch(kQuery);
  EXPECT_EQ(data_.MergeFile(kQuery), "");
  EXPECT_TRUE(data_.Selected(kQuery).empty());
  const std::vector<std::string> commands = Commands();
  EXPECT_NE(std::find(commands.begin(), commands.end(), "AFFICHE,NBTOTAL=0"), commands.end());
}

TEST_F(ExtractionRunTest, AClientMissingFromTheClientFileIsStillWritten) {
  data_.AddRubricLine(kQuery, "0000A", '*');
  data_.AddRubricLine(kQuery, "40001", '2');
  data_.AddRubricLine(kQuery, "2000A", ' ');
  // The vanished client's income records are still there.
  data_.AddRubric(FileId::REVENUS, "010000015", "40001", "001", 700);
  // "010000015" sorts between the two clients: every search lands on MARTIN.
  data_.WriteSelection(kQuery, {"010000015", "010000021"});
  RunExtractionDispatch(kQuery);
  const std::vector<std::string> lines = data_.MergeLines(kQuery);
  ASSERT_EQ(lines.size(), 3u);
  // Blank identity (width 0 from this first client), income loaded by code.
  EXPECT_EQ(lines[1], "\t     700\t        \t");
  EXPECT_EQ(lines[2].substr(0, 7), "MARTIN\t");
  const std::vector<SelectedRow> rows = data_.Selected(kQuery);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].code, "010000015");
  EXPECT_EQ(rows[0].name, "");  // not the neighbour the retirement loader read
  EXPECT_EQ(rows[0].sequence, 2);
  EXPECT_EQ(rows[1].name, "MARTIN");
}

TEST_F(ExtractionRunTest, AddressLinesShareTheirCodeAndDamagedLinesAreRead) {
  data_.AddRubricLine(kQuery, "0000C", '*');
  data_.AddRubricLine(kQuery, "0000D", '*');
  // A blank line, a line longer than a code and no final line end.
  data_.database().WriteSelectionFile(kQuery, "010000021\r\n\r\n010000011XYZ\r\n010000021");
  RunExtractionDispatch(kQuery);
  const std::vector<std::string> lines = data_.MergeLines(kQuery);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0],
            "0130"
            "0000C60\t"
            "0000C60\t"
            "0000D05\t" +
                std::string(100, ' '));
  EXPECT_EQ(lines[1],
            "3 quai du Port" + std::string(46, ' ') + "\t" + std::string(60, ' ') + "\t13002\t");
  const std::vector<SelectedRow> rows = data_.Selected(kQuery);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].code, "010000011");
  EXPECT_EQ(rows[2].sequence, 4);
}

TEST_F(ExtractionRunTest, PersonsOfAHouseholdShareItsAddressButNotEachOthersOwn) {
  // 01000002 has an address record; 01000005 has none: each person keeps
  // the postcode and city of their own CLIENT record.
  data_.AddClient("010000022", "MARTIN", [](db::ClientRecord& c) { c.SetPostcode("13009"); });
  data_.AddClient("010000051", "PETIT", [](db::ClientRecord& c) {
    c.SetPostcode("33000");
    c.SetCity("BORDEAUX");
  });
  data_.AddClient("010000052", "PETIT", [](db::ClientRecord& c) {
    c.SetPostcode("64200");
    c.SetCity("BIARRITZ");
  });
  data_.AddRubricLine(kQuery, "0000D", '*');
  data_.WriteSelection(
      kQuery, {"010000011", "010000021", "010000022", "010000051", "010000052", "010000022"});
  RunExtractionDispatch(kQuery);
  struct Expected {
    const char* code;
    const char* postcode;
    const char* city;  // as SELECTES keeps it
  };
  const Expected expected[] = {
      {"010000011", "69001", "LYON-VIL"}, {"010000021", "13002", "MARSEILL"},
      {"010000022", "13002", "MARSEILL"}, {"010000051", "33000", "BORDEAUX"},
      {"010000052", "64200", "BIARRITZ"}, {"010000022", "13002", "MARSEILL"},
  };
  const std::vector<SelectedRow> rows = data_.Selected(kQuery);
  const std::vector<std::string> lines = data_.MergeLines(kQuery);
  ASSERT_EQ(rows.size(), std::size(expected));
  ASSERT_EQ(lines.size(), std::size(expected) + 1);
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(expected[i].code);
    EXPECT_EQ(rows[i].code, expected[i].code);
    EXPECT_EQ(rows[i].postcode, expected[i].postcode);
    EXPECT_EQ(rows[i].city, expected[i].city);
    EXPECT_EQ(lines[i + 1], std::string(expected[i].postcode) + "\t");
  }
}

// A code that cannot name its own SELECTES must not write into the SELECTES of
// the query extracted before it: the engine refuses "0100:001" as physical
// name (SELECTES would keep the other query's), and folds "0100a001" onto
// 0100A001. Nothing is written and the adviser is told.
TEST_F(ExtractionRunTest, ACodeThatCannotNameItsFilesLeavesAnotherQuerysFilesUntouched) {
  struct Case {
    std::string other;
    std::string refused;
  };
  for (const Case& c : {Case{std::string(kQuery), "0100:001"}, Case{"0100A001", "0100a001"}}) {
    SCOPED_TRACE(c.refused);
    data_.WriteSelection(c.other, {"010000011", "010000021"});
    RunExtractionDispatch(c.other);
    ASSERT_EQ(data_.Selected(c.other).size(), 2u);
    const std::string merge = data_.MergeFile(c.other);
    data_.database().AddElementaryQuery(c.refused);
    data_.WriteSelection(c.refused, {"010000021"});
    RecordingRuntime::Get().Reset();
    RunExtractionDispatch(c.refused);
    const std::vector<std::string> commands = Commands();
    EXPECT_EQ(data_.Selected(c.other).size(), 2u);
    EXPECT_EQ(data_.MergeFile(c.other), merge);
    EXPECT_FALSE(data_.MergeFileExists(c.refused));
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_TRUE(commands[0].starts_with("Erreur,")) << commands[0];
    EXPECT_NE(commands[0].find(os::Cp1252("« ") + c.refused + os::Cp1252(" »")), std::string::npos);
  }
}

// A merge file that cannot be written keeps its earlier contents and is
// named in an error box once the progress window has closed.
TEST_F(ExtractionRunTest, AMergeFileThatCannotBeWrittenIsReported) {
  data_.WriteSelection(kQuery, {"010000011"});
  const std::filesystem::path blocked =
      data_.database().data_directory() / (std::string(kQuery) + ".MEM");
  std::filesystem::create_directories(blocked / "inside");
  RunExtractionDispatch(kQuery);
  const std::vector<std::string> commands = Commands();
  ASSERT_GE(commands.size(), 2u);
  EXPECT_EQ(commands[commands.size() - 2], "Ferme");
  EXPECT_EQ(commands.back(), os::Cp1252("Erreur,Le fichier de fusion 01000007.MEM n'a pas pu "
                                        "être écrit dans le répertoire des données."));
  EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
  EXPECT_EQ(data_.Selected(kQuery).size(), 1u);
  EXPECT_TRUE(data_.DataFilesEndingWith(".tmp").empty());
}

}  // namespace
}  // namespace vz::outputs
