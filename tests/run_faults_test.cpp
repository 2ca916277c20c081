// Faults of data files in the middle of a selection and of an extraction: the
// run stops with an error box naming the file, commits nothing, leaves the
// previous outputs whole and writes the failure to the run log. Faults come
// from real damage (a text file in place of a data file) and from the
// fault-injecting storage (disk full, read-only, I/O error, damaged pages);
// faults of the outputs from the calls under the file writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/engine/faulty_storage.h"
#include "platform/engine/process_storage.h"
#include "platform/os/whole_file.h"
#include "src/db/layouts/rubric_files.h"
#include "src/db/record_ops.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/outputs/extraction_test_support.h"
#include "src/selection/selection_run.h"
#include "src/util/run_log.h"
#include "tests/support/faulty_output_files.h"
#include "tests/support/recording_runtime.h"
#include "tests/support/file_bytes.h"

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;
using db::FileId;
using engine::FileFault;
using engine::testing::FaultPlan;
using engine::testing::FaultyStorage;
using vz::testing::FileBytes;
using vz::testing::RecordingRuntime;

constexpr std::string_view kQuery = "01000007";

// A fault of a data file injected from its `from`-th engine operation on, and
// words the adviser's message must hold.
struct FileFaultCase {
  FileFault fault;
  const char* file;
  int64_t from;
  const char* words;
};

std::string Described(const FileFaultCase& c) {
  return std::string(c.file) + " fault " + std::to_string(static_cast<int>(c.fault)) + " from " +
         std::to_string(c.from);
}

class RunFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Clients with incomes between 1,000 and 5,000 are selected.
    data_.database().AddElementaryQuery(kQuery);
    data_.database().AddQueryLine(kQuery, "40001******2", "1000\t5000");
    data_.AddRubricLine(kQuery, "40001", '2');
    for (int i = 1; i <= 9; ++i) {
      const std::string code = "0100000" + std::to_string(i) + "1";
      data_.AddClient(code, "CLIENT " + std::to_string(i));
      data_.AddRubric(FileId::REVENUS, code, "40001", "001", 1000.0f * static_cast<float>(i));
    }
    ASSERT_TRUE(selection::RunSelection(kQuery));
    RunExtractionDispatch(kQuery);
    previous_selection_ = data_.database().ReadSelectionFile(kQuery);
    previous_merge_ = data_.MergeFile(kQuery);
    previous_selected_ = data_.Selected(kQuery).size();
    ASSERT_EQ(data_.database().SelectionLines(kQuery).size(), 5u);
    ASSERT_EQ(previous_selected_, 5u);
    // The next runs would write different outputs.
    data_.AddRubric(FileId::REVENUS, "010000091", "40001", "002", -8000.0f);
    data_.WriteSelection(kQuery, {"010000011", "010000021"});
    previous_selection_ = data_.database().ReadSelectionFile(kQuery);
    RecordingRuntime::Get().Reset();
  }
  void TearDown() override {
    db::Hferme("");
    engine::UseStorage(nullptr);
  }

  // The error boxes shown since SetUp.
  static std::vector<std::string> Errors() {
    std::vector<std::string> errors;
    for (const std::string& command : RecordingRuntime::Get().Commands()) {
      if (command.starts_with("Erreur,")) errors.push_back(command);
    }
    return errors;
  }
  std::string RunLog() {
    return FileBytes(util::RunLogPath(data_.database().data_directory().string()));
  }
  // One error box naming `file` and `words`, and the same failure logged.
  void ExpectReported(std::string_view file, std::string_view words) {
    const std::vector<std::string> errors = Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(std::string(file)), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find(std::string(words)), std::string::npos) << errors[0];
    EXPECT_NE(RunLog().find(std::string(file)), std::string::npos) << RunLog();
  }
  void ExpectPreviousOutputs() {
    EXPECT_EQ(data_.database().ReadSelectionFile(kQuery), previous_selection_);
    EXPECT_EQ(data_.MergeFile(kQuery), previous_merge_);
    EXPECT_EQ(data_.Selected(kQuery).size(), previous_selected_);
    EXPECT_TRUE(data_.DataFilesEndingWith(".tmp").empty());
  }

  ExtractionTestData data_;
  std::string previous_selection_;
  std::string previous_merge_;
  size_t previous_selected_ = 0;
};

TEST_F(RunFaultsTest, ATextFileInPlaceOfARubricFileStopsTheSelection) {
  db::Hferme("");
  const fs::path revenus = data_.database().data_directory() / "REVENUS.vzdb";
  fs::remove(revenus.string() + "-wal");
  fs::remove(revenus.string() + "-shm");
  std::ofstream(revenus, std::ios::binary | std::ios::trunc) << "CODCLI;MONTANT\n010000011;2000\n";
  EXPECT_FALSE(selection::RunSelection(kQuery));
  ExpectReported("REVENUS", "ne peut pas \xEAtre utilis\xE9");
  ExpectPreviousOutputs();
  EXPECT_EQ(data_.database().TitleState(kQuery), "O");  // from the run before, unchanged
  EXPECT_EQ(RecordingRuntime::Get().Commands().back().rfind("Erreur,", 0), 0u);
}

TEST_F(RunFaultsTest, InjectedFaultsInTheMiddleOfASelection) {
  const FileFaultCase cases[] = {
      // A few clients in.
      {FileFault::kDamaged, "REVENUS", 12, "endommag\xE9"},
      {FileFault::kIoError, "CLIENT", 12, "erreur du disque"},
      {FileFault::kIoError, "REVENUS", 12, "erreur du disque"},
  };
  FaultyStorage faulty(engine::DefaultStorage());
  engine::UseStorage(&faulty);
  for (const FileFaultCase& c : cases) {
    SCOPED_TRACE(Described(c));
    db::Hferme("");
    RecordingRuntime::Get().Reset();
    faulty.Arm(FaultPlan{c.fault, c.file, c.from, false, 0});
    EXPECT_FALSE(selection::RunSelection(kQuery));
    faulty.Disarm();
    ExpectReported(c.file, c.words);
    ExpectPreviousOutputs();
  }
}

TEST_F(RunFaultsTest, AReadOnlyQueryFileIsReportedAtTheEndOfTheSelection) {
  FaultyStorage faulty(engine::DefaultStorage());
  engine::UseStorage(&faulty);
  db::Hferme("");
  faulty.Arm(FaultPlan{FileFault::kReadOnly, "REQUETES", 1, false, 0});
  EXPECT_FALSE(selection::RunSelection(kQuery));
  faulty.Disarm();
  ExpectReported("REQUETES", "lecture seule");
}

TEST_F(RunFaultsTest, InjectedFaultsInTheMiddleOfAnExtraction) {
  const FileFaultCase cases[] = {
      {FileFault::kFull, "SELECTES", 2, "disque est plein"},
      {FileFault::kReadOnly, "SELECTES", 1, "lecture seule"},
      {FileFault::kDamaged, "CLIENT", 3, "endommag\xE9"},
      {FileFault::kIoError, "REVENUS", 3, "erreur du disque"},
  };
  FaultyStorage faulty(engine::DefaultStorage());
  engine::UseStorage(&faulty);
  for (const FileFaultCase& c : cases) {
    SCOPED_TRACE(Described(c));
    db::Hferme("");
    RecordingRuntime::Get().Reset();
    faulty.Arm(FaultPlan{c.fault, c.file, c.from, false, 0});
    RunExtractionDispatch(kQuery);
    faulty.Disarm();
    ExpectReported(c.file, c.words);
    ExpectPreviousOutputs();
  }
  // Once the disk is sound again, the extraction replaces both outputs.
  db::Hferme("");
  RecordingRuntime::Get().Reset();
  RunExtractionDispatch(kQuery);
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(data_.Selected(kQuery).size(), 2u);
}

}  // namespace
}  // namespace vz::outputs

namespace vz::outputs {
namespace {

using vz::testing::FaultyOutputFiles;

TEST_F(RunFaultsTest, AnOutputThatCannotBeWrittenKeepsThePreviousOne) {
  const FaultyOutputFiles::Fault faults[] = {
      FaultyOutputFiles::Fault::kFull, FaultyOutputFiles::Fault::kReadOnly,
      FaultyOutputFiles::Fault::kSyncError, FaultyOutputFiles::Fault::kRenameError};
  for (FaultyOutputFiles::Fault fault : faults) {
    SCOPED_TRACE(static_cast<int>(fault));
    {
      RecordingRuntime::Get().Reset();
      FaultyOutputFiles failing(fault, ".EXT");
      EXPECT_FALSE(selection::RunSelection(kQuery));
      ExpectReported(".EXT",
                     "n'a pas pu \xEAtre \xE9"
                     "crit");
    }
    {
      RecordingRuntime::Get().Reset();
      FaultyOutputFiles failing(fault, ".MEM");
      RunExtractionDispatch(kQuery);
      ExpectReported(".MEM",
                     "n'a pas pu \xEAtre \xE9"
                     "crit");
    }
    EXPECT_EQ(data_.database().ReadSelectionFile(kQuery), previous_selection_);
    EXPECT_EQ(data_.MergeFile(kQuery), previous_merge_);
    EXPECT_TRUE(data_.DataFilesEndingWith(".tmp").empty());
  }
}

}  // namespace
}  // namespace vz::outputs

#include "src/db/layouts/interfa.h"
#include "src/outputs/letters.h"

namespace vz::outputs {
namespace {

// The letters' records of INTERFA: keyword and line text.
std::vector<std::string> LetterRecords() {
  std::vector<std::string> records;
  const db::InterfaceRecord record = db::CurrentInterface();
  for (db::Hlitrecherche("INTERFA", "MOTCLEF", "EX**");
       !db::Hendehors() && record.Keyword().substr(0, 4) == "EX**";
       db::Hlitsuivant("INTERFA", "MOTCLEF")) {
    records.push_back(std::string(record.Keyword()) + "=" + std::string(record.LineText()));
  }
  return records;
}

// The letters read SELECTES, CLIENT and the rubric files: a fault of any of
// them stops the letters, the result window's code
// is told to drop the pass (its previous letters stay) and the adviser to
// which file failed, and the failure is logged.
TEST_F(RunFaultsTest, InjectedFaultsInTheMiddleOfTheLetters) {
  std::ofstream(data_.database().data_directory() / "LETTRE.TXT") << "Bonjour #0000A\n";
  const FileFaultCase cases[] = {
      {FileFault::kDamaged, "SELECTES", 1, "endommag\xE9"},
      {FileFault::kDamaged, "SELECTES", 6, "endommag\xE9"},
      {FileFault::kIoError, "CLIENT", 4, "erreur du disque"},
      {FileFault::kDamaged, "CLIENT", 9, "endommag\xE9"},
      {FileFault::kFull, "INTERFA", 1, "plein"},
      {FileFault::kIoError, "INTERFA", 30, "erreur du disque"},
  };
  // A sound run first: INTERFA holds its last client's records.
  ASSERT_TRUE(db::Hsubstnom("SELECTES", kQuery));
  RecordingRuntime::Get().Reset();
  RecordingRuntime::Get().fields()["Nom_Lettre"] = "LETTRE.TXT";
  ProduceLetters();
  const std::vector<std::string> before = LetterRecords();
  ASSERT_EQ(before.size(), 1u);
  FaultyStorage faulty(engine::DefaultStorage());
  engine::UseStorage(&faulty);
  for (const FileFaultCase& c : cases) {
    SCOPED_TRACE(Described(c));
    db::Hferme("");
    ASSERT_TRUE(db::Hsubstnom("SELECTES", kQuery));
    RecordingRuntime::Get().Reset();
    RecordingRuntime::Get().fields()["Nom_Lettre"] = "LETTRE.TXT";
    RecordingRuntime::Get().fields()["REQUETE"] = std::string(kQuery);
    faulty.Arm(FaultPlan{c.fault, c.file, c.from, false, 0});
    ProduceLetters();
    faulty.Disarm();
    ExpectReported(c.file,
                   "les lettres sont arr\xEAt\xE9"
                   "es");
    // The records of the letters written before the fault are not kept.
    EXPECT_EQ(LetterRecords(), before);
    const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "Execute,BOUTON1.FIN"), 0);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "Execute,BOUTON1.ABANDON"), 1);
  }
  // Once the disk is sound again, the letters go to their end.
  db::Hferme("");
  ASSERT_TRUE(db::Hsubstnom("SELECTES", kQuery));
  RecordingRuntime::Get().Reset();
  RecordingRuntime::Get().fields()["Nom_Lettre"] = "LETTRE.TXT";
  ProduceLetters();
  EXPECT_TRUE(Errors().empty());
  const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "Execute,BOUTON1.CLIC"), 5);
  EXPECT_EQ(commands.back(), "Execute,BOUTON1.FIN");
}

}  // namespace
}  // namespace vz::outputs

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "src/queries/query_list.h"
#include "tests/support/killed_child.h"

namespace vz::outputs {
namespace {

// A data directory the adviser may read but not write (chmod, no injected
// fault). Root writes through any mode, so as root each check runs as
// "nobody" in a child process; the files stay root's. The child's exit code
// says what went wrong (0: told as it should be).
class ReadOnlyDataDirectoryTest : public RunFaultsTest {
 protected:
  void SetUp() override {
    RunFaultsTest::SetUp();
    data_directory_ = data_.database().data_directory();
    db::Hferme("");
    std::error_code ec;
    for (fs::path dir = data_directory_; dir != dir.root_path(); dir = dir.parent_path()) {
      const auto perms = fs::status(dir, ec).permissions();
      if ((perms & fs::perms::others_exec) == fs::perms::none && ::geteuid() == 0) {
        fs::permissions(dir, fs::perms::others_exec | fs::perms::others_read, fs::perm_options::add,
                        ec);
      }
    }
    fs::permissions(data_directory_,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove, ec);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(data_directory_, fs::perms::owner_write, fs::perm_options::add, ec);
    RunFaultsTest::TearDown();
  }
  // Runs `check` as a user who cannot write the data directory.
  int RunAsReader(const std::function<int()>& check) {
    return vz::testing::RunInChildKilledAt(
               0,
               [&] {
                 if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
                 RecordingRuntime::Get().Reset();
                 return check();
               })
        .exit_code;
  }
  // 0 when exactly one error box was shown and it says the directory is read-only.
  int ToldReadOnly() {
    const std::vector<std::string> errors = Errors();
    if (errors.size() != 1) return 2;
    return errors[0].find("lecture seule") != std::string::npos ? 0 : 4;
  }
  fs::path data_directory_;
};

constexpr char kCodes[] =
    "1: reported as success, 2: no single error box, 3: no user nobody, 4: the message does not "
    "say why";

// The selection stops with a message that says so and leaves the previous
// selection file.
TEST_F(ReadOnlyDataDirectoryTest, IsReportedBySelection) {
  EXPECT_EQ(RunAsReader([&] {
              if (selection::RunSelection(kQuery)) return 1;
              return ToldReadOnly();
            }),
            0)
      << kCodes;
  EXPECT_EQ(data_.database().ReadSelectionFile(kQuery), previous_selection_);
}

// The letters cannot write their values for the window code: they stop,
// the pass is dropped and the adviser is told why.
TEST_F(ReadOnlyDataDirectoryTest, IsReportedByTheLetters) {
  // Root writes the template through the directory's mode.
  std::ofstream(data_directory_ / "LETTRE.TXT") << "Bonjour #0000A\n";
  EXPECT_EQ(RunAsReader([&] {
              if (!db::Hsubstnom("SELECTES", kQuery)) return 5;
              RecordingRuntime::Get().fields()["Nom_Lettre"] = "LETTRE.TXT";
              RecordingRuntime::Get().fields()["REQUETE"] = std::string(kQuery);
              ProduceLetters();
              const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
              if (std::count(commands.begin(), commands.end(), "Execute,BOUTON1.FIN") != 0)
                return 1;
              if (std::count(commands.begin(), commands.end(), "Execute,BOUTON1.ABANDON") != 1)
                return 6;
              return ToldReadOnly();
            }),
            0)
      << kCodes << ", 5: no extraction to name, 6: the pass is not dropped";
}

// The query list still reads the queries of a directory it cannot write:
// the list is never empty without a word.
TEST_F(ReadOnlyDataDirectoryTest, StillListsTheQueries) {
  EXPECT_EQ(RunAsReader([&] {
              queries::FillQueryList("");
              const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
              const bool listed = std::any_of(
                  commands.begin(), commands.end(),
                  [](const std::string& c) { return c.rfind("Table,Ajoute,REQUETES,", 0) == 0; });
              if (listed) return Errors().empty() ? 0 : 7;
              return ToldReadOnly() == 0 ? 0 : 8;
            }),
            0)
      << "7: an error box beside a full list, 8: an empty list without a word";
}

}  // namespace
}  // namespace vz::outputs
