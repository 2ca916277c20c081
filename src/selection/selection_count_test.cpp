// Counting a query being edited against the real engine and the recording
// screen runtime: the count equals the lines of the selection file the run
// writes for the same criteria, for elementary queries held in memory and
// for combined ones, and counting writes no file and changes no record.
#include "src/selection/selection_count.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/selection/selection_facts.h"
#include "src/selection/selection_run_test_support.h"
#include "tests/support/recording_runtime.h"

namespace vz::selection {
namespace {

namespace fs = std::filesystem;
using vz::testing::RecordingRuntime;

std::set<std::string> FilesIn(const fs::path& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.insert(entry.path().filename().string() + ":" +
                 std::to_string(entry.is_regular_file() ? fs::file_size(entry.path()) : 0));
  }
  return names;
}

int CommandsStartingWith(std::string_view prefix) {
  int found = 0;
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    if (command.starts_with(prefix)) ++found;
  }
  return found;
}

class SelectionCountTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.AddClient("100000011", "(ARCHIVE", "75001");
    db_.AddClient("100000021", "ALPHA", "75012");
    db_.AddClient("100000022", "BRAVO", "69003");
    db_.AddClient("100000031", "*DOUBLON", "75002");
    db_.AddClient("100000041", "CHARLIE", "75999");
    db_.AddClient("100000051", "DELTA", "76000");
  }
  void AddQuery(std::string_view code, const std::vector<CriteriaEntry>& lines) {
    db_.AddElementaryQuery(code);
    for (const CriteriaEntry& line : lines) db_.AddQueryLine(code, line.key, line.text);
  }
  SelectionTestDatabase db_;
};

TEST_F(SelectionCountTest, ElementaryCountsEqualTheRunsSelectionFiles) {
  struct Case {
    const char* name;
    std::vector<CriteriaEntry> lines;
  };
  const Case cases[] = {
      {"no criterion: every client not skipped", {}},
      {"a name range", {{"NOMCLI******", "B\tD\t"}}},
      {"a postcode range", {{"CODPOST*****", "75000\t75999\t"}}},
      {"two criteria", {{"NOMCLI******", "A\tC\t"}, {"CODPOST*****", "75000\t75999\t"}}},
      {"nobody", {{"NOMCLI******", "Z\t\t"}}},
      {"reversed bounds", {{"CODPOST*****", "76000\t75000\t"}}},
  };
  int number = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string code = "0100010" + std::to_string(number++);
    AddQuery(code, c.lines);
    ASSERT_TRUE(db_.RunWithinStepLimit(code));
    const size_t selected = db_.SelectionLines(code).size();

    // The same criteria held in memory, in another order, with a removed line
    // and the title line of a query not saved yet.
    std::vector<CriteriaEntry> edited(c.lines.rbegin(), c.lines.rend());
    edited.push_back({"", "ignored\t\t"});
    edited.push_back({"TITRE*******", "20260309\tBrouillon\t\t\t\t\t\t\t\t"});
    RecordingRuntime::Get().Reset();
    const auto before = FilesIn(db_.data_directory());
    const std::optional<int64_t> counted = CountQueryLines(edited);
    ASSERT_TRUE(counted.has_value());
    EXPECT_EQ(*counted, static_cast<int64_t>(selected));
    EXPECT_EQ(FilesIn(db_.data_directory()), before);
    // One pass under the progress window, closed after it; nothing else shown.
    EXPECT_EQ(CommandsStartingWith("Ouvre,EX_attente"), 1);
    EXPECT_EQ(CommandsStartingWith("Ferme"), 1);
    EXPECT_EQ(CommandsStartingWith("Erreur,"), 0);
  }
}

TEST_F(SelectionCountTest, CombinedCountsEqualTheRunAndWriteNothing) {
  AddQuery("01000001", {{"NOMCLI******", "A\tC\t"}});          // ALPHA BRAVO
  AddQuery("01000002", {{"NOMCLI******", "B\tE\t"}});          // BRAVO CHARLIE DELTA
  AddQuery("01000003", {{"NOMCLI******", "DELTA\tDELTA\t"}});  // DELTA
  db_.AddCombinedQuery("01000010", "01000001", "ET", "01000002");
  db_.AddCombinedQuery("01000011", "01000003", "OU", "01000010");
  struct Case {
    const char* first;
    const char* op;
    const char* second;
  };
  const Case cases[] = {
      {"01000001", "OU", "01000002"},  // 4 clients
      {"01000001", "ET", "01000002"},  // BRAVO
      {"01000011", "OU", "01000001"},  // nested two deep: ALPHA BRAVO DELTA
      {"01000011", "ET", "01000011"},  // the same query twice
      {"01000001", "XX", "01000003"},  // any other operator intersects: nobody
  };
  int number = 20;
  for (const Case& c : cases) {
    const std::string code = "010000" + std::to_string(number++);
    SCOPED_TRACE(code);
    const std::string title =
        std::string("20260309\tT\t\t\t\tC\t") + c.first + "\t" + c.op + "\t" + c.second + "\t";
    db_.AddCombinedQuery(code, c.first, c.op, c.second);
    ASSERT_TRUE(db_.RunWithinStepLimit(code));
    const size_t selected = db_.SelectionLines(code).size();

    // A fresh installation state for the count: the run's files are removed.
    for (const auto& entry : fs::directory_iterator(db_.data_directory())) {
      if (entry.path().extension() == ".EXT") fs::remove(entry.path());
    }
    RecordingRuntime::Get().Reset();
    const auto before = FilesIn(db_.data_directory());
    const std::string state = db_.TitleState("01000010");
    const std::optional<int64_t> counted = CountQueryLines({{"TITRE*******", title}});
    ASSERT_TRUE(counted.has_value());
    EXPECT_EQ(*counted, static_cast<int64_t>(selected));
    EXPECT_EQ(FilesIn(db_.data_directory()), before);
    EXPECT_EQ(db_.TitleState("01000010"), state);
  }
}

TEST_F(SelectionCountTest, OperandsMissingOrRefusedAreSaidAndNothingIsCounted) {
  db_.AddCombinedQuery("01000010", "01000010", "OU", "01000010");  // encloses itself
  const struct {
    const char* title;
    const char* error;
  } cases[] = {
      {"20260309\tT\t\t\t\tC\t\tOU\t01000001\t",
       "Erreur,Choisissez les deux requêtes à combiner avant de compter."},
      {"20260309\tT\t\t\t\tC\t01000001\tET\t..\t",
       "Erreur,Choisissez les deux requêtes à combiner avant de compter."},
      {"20260309\tT\t\t\t\tC\t01000010\tOU\t01000001\t", nullptr},  // the cycle's own message
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    RecordingRuntime::Get().Reset();
    EXPECT_FALSE(CountQueryLines({{"TITRE*******", c.title}}).has_value());
    EXPECT_EQ(CommandsStartingWith("Erreur,"), 1);
    if (c.error != nullptr) {
      EXPECT_EQ(CommandsStartingWith(os::Cp1252(c.error)), 1);
    }
    EXPECT_EQ(CommandsStartingWith("Ouvre,EX_attente"), 0);
  }
}

TEST_F(SelectionCountTest, FactsOfTheLastRunAreItsLinesAndTime) {
  AddQuery("01000001", {{"NOMCLI******", "A\tC\t"}});
  EXPECT_FALSE(ReadSelectionFileFacts("01000001").has_value());  // never run
  EXPECT_FALSE(ReadSelectionFileFacts("../x").has_value());      // no file name
  ASSERT_TRUE(db_.RunWithinStepLimit("01000001"));
  const std::optional<SelectionFileFacts> facts = ReadSelectionFileFacts("01000001");
  ASSERT_TRUE(facts.has_value());
  EXPECT_EQ(facts->clients, 2);
  ASSERT_EQ(facts->written.size(), 16u);  // dd/mm/yyyy hh:mm
  EXPECT_EQ(facts->written[2], '/');
  EXPECT_EQ(facts->written[10], ' ');
  EXPECT_EQ(ClientRecordCount(), 6);
}

}  // namespace
}  // namespace vz::selection
