// The progress the three actions report: every data file once, in order,
// before it is handled, with the count done and the count in all; a failure
// stops the report at the file at fault, and a refused restore never
// reaches its copy.
#include "tools/veriroru/progress.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "tools/veriroru/backup.h"
#include "tools/veriroru/backup_check.h"
#include "tools/veriroru/database_file.h"
#include "tools/veriroru/restore.h"
#include "tools/veriroru/tool_actions.h"
#include "tools/veriroru/verification.h"
#include "tools/veriroru/veriroru_test_support.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::FixedTime;
using testing::WriteBytes;
using P = ProgressPhase;

class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(installation_.ok()) << installation_.error(); }
  const ToolPaths& paths() const { return installation_.paths(); }
  std::string Data() const { return paths().data_directory; }
  ProgressReport Recorder() {
    return [this](const ProgressStep& step) { steps_.push_back(step); };
  }
  // The steps of one phase.
  std::vector<ProgressStep> Of(ProgressPhase phase) const {
    std::vector<ProgressStep> of;
    for (const ProgressStep& s : steps_) {
      if (s.phase == phase) of.push_back(s);
    }
    return of;
  }
  // The phases in the order they came, each once per run of steps.
  std::vector<ProgressPhase> PhaseOrder() const {
    std::vector<ProgressPhase> order;
    for (const ProgressStep& s : steps_) {
      if (order.empty() || order.back() != s.phase) order.push_back(s.phase);
    }
    return order;
  }
  // Every step of `phase` names the expected files in order, counts them
  // from 0 and gives their number.
  void ExpectEveryFile(ProgressPhase phase, const std::vector<std::string>& files) {
    const std::vector<ProgressStep> of = Of(phase);
    ASSERT_EQ(of.size(), files.size());
    for (std::size_t i = 0; i < of.size(); ++i) {
      EXPECT_EQ(of[i].file, files[i]);
      EXPECT_EQ(of[i].done, i);
      EXPECT_EQ(of[i].total, files.size());
    }
  }

  testing::DemoInstallation installation_;
  std::vector<ProgressStep> steps_;
};

struct ActionCase {
  const char* name;
  std::function<ActionOutcome(const ToolPaths&, const ProgressReport&)> run;
  std::vector<ProgressPhase> phases;
};

class ActionProgressTest : public ProgressTest, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(ActionProgressTest, TellsEveryDataFileOnceInOrder) {
  const std::vector<std::string> files = DataFileNames(Data());
  ASSERT_GT(files.size(), 5u);
  // A restore needs a backup to restore, made without a report.
  ASSERT_TRUE(BackUp(paths()).ok);
  ActionOutcome outcome = GetParam().run(paths(), Recorder());
  EXPECT_TRUE(outcome.ok) << outcome.message;
  EXPECT_EQ(PhaseOrder(), GetParam().phases);
  for (ProgressPhase phase : GetParam().phases) ExpectEveryFile(phase, files);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ActionProgressTest,
    ::testing::Values(ActionCase{"Backup",
                                 [](const ToolPaths& p, const ProgressReport& r) {
                                   return BackUp(p, r);
                                 },
                                 {P::kBackup}},
                      ActionCase{"Restore",
                                 [](const ToolPaths& p, const ProgressReport& r) {
                                   return Restore(p, ListBackups(p.data_directory).at(0).name, r);
                                 },
                                 {P::kBackupCheck, P::kRestoreCopy}},
                      ActionCase{"Check",
                                 [](const ToolPaths& p, const ProgressReport& r) {
                                   return CheckAndReindex(p, r);
                                 },
                                 {P::kCheckAndIndex}}),
    [](const ::testing::TestParamInfo<ActionCase>& info) { return std::string(info.param.name); });

TEST_F(ProgressTest, BackupTellsAFileBeforeCopyingIt) {
  const std::string folder = Data() + "/SAUVEGARDES/20261208-102030";
  std::vector<std::string> copied_when_told;
  BackupResult backup = RunBackup(paths(), FixedTime(30), [&](const ProgressStep& step) {
    copied_when_told.push_back(fs::exists(folder + "/" + step.file) ? "copied" : "not yet");
    if (step.done > 0) {
      const std::string previous = DataFileNames(Data()).at(step.done - 1);
      EXPECT_TRUE(fs::exists(folder + "/" + previous)) << previous;
    }
  });
  ASSERT_TRUE(backup.ok) << backup.message;
  EXPECT_EQ(backup.folder, folder);
  EXPECT_THAT(copied_when_told, ::testing::Each(std::string("not yet")));
  EXPECT_EQ(copied_when_told.size(), DataFileNames(Data()).size());
}

// The report ends at the file at fault: the adviser sees where it stopped.
TEST_F(ProgressTest, DamagedFileEndsTheBackupReportThere) {
  const std::vector<std::string> files = DataFileNames(Data());
  const std::size_t faulty = 3;
  WriteBytes(Data() + "/" + files[faulty], std::string(8192, 'x'));
  BackupResult backup = RunBackup(paths(), FixedTime(30), Recorder());
  EXPECT_FALSE(backup.ok);
  ASSERT_EQ(steps_.size(), faulty + 1);
  EXPECT_EQ(steps_.back().file, files[faulty]);
  EXPECT_EQ(steps_.back().total, files.size());
}

TEST_F(ProgressTest, RefusedRestoreStopsAtTheFaultyFileAndCopiesNothing) {
  BackupResult backup = RunBackup(paths(), FixedTime(30));
  ASSERT_TRUE(backup.ok) << backup.message;
  const std::vector<std::string> files = DataFileNames(backup.folder);
  const std::size_t faulty = 2;
  const std::string path = backup.folder + "/" + files[faulty];
  fs::resize_file(path, fs::file_size(path) / 2);

  RestoreResult restore = RunRestore(paths(), nullptr, backup.folder, FixedTime(45), Recorder());
  EXPECT_FALSE(restore.ok);
  EXPECT_THAT(restore.message, ::testing::HasSubstr(files[faulty]));
  EXPECT_EQ(PhaseOrder(), std::vector<ProgressPhase>{P::kBackupCheck});
  ASSERT_EQ(steps_.size(), faulty + 1);
  EXPECT_EQ(steps_.back().file, files[faulty]);
}

// The parameter file travels with a backup but is no data file: counts hold
// data files only, whatever the manifest's order.
TEST_F(ProgressTest, ParameterFileIsNotCounted) {
  ASSERT_FALSE(paths().parameter_file.empty());
  BackupResult backup = RunBackup(paths(), FixedTime(30));
  ASSERT_TRUE(backup.ok) << backup.message;
  const std::string manifest_path = backup.folder + "/MANIFESTE.TXT";
  ASSERT_NE(FileBytes(manifest_path).find("parametres"), std::string::npos);

  RestoreResult restore = RunRestore(paths(), nullptr, backup.folder, FixedTime(45), Recorder());
  ASSERT_TRUE(restore.ok) << restore.message;
  const std::string parameters = fs::path(paths().parameter_file).filename().string();
  for (const ProgressStep& step : steps_) {
    EXPECT_NE(step.file, parameters);
    EXPECT_EQ(step.total, DataFileNames(backup.folder).size());
  }
}

}  // namespace
}  // namespace vz::veriroru

namespace vz::veriroru {
namespace {

// Runs `sql` on the database at `path`; true when it succeeds.
bool RunSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

long long CountRows(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_stmt* statement = nullptr;
  long long rows = -1;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
      sqlite3_prepare_v2(db, "SELECT count(*) FROM t", -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    rows = sqlite3_column_int64(statement, 0);
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

// A large file is copied in slices, each telling how far the copy has gone,
// and the copy is the file as it was when the copy began: a record another
// program adds between two slices is not in it, and does not start the copy
// again.
TEST_F(ProgressTest, LargeFileIsCopiedInSlicesFromOneSnapshot) {
  const std::string source = Data() + "/GRAND.vzdb";
  const std::string copy = Data() + "/COPIE.vzdb";
  ASSERT_TRUE(RunSql(source,
                  "PRAGMA page_size=4096; PRAGMA journal_mode=WAL;"
                  "CREATE TABLE t(n INTEGER PRIMARY KEY, data BLOB);"
                  "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 300)"
                  " INSERT INTO t SELECT n, zeroblob(3000) FROM c;"));
  std::vector<double> shares;
  bool added = false;
  std::string why;
  ASSERT_TRUE(CopyDatabase(
      source, copy, &why,
      [&](double share) {
        shares.push_back(share);
        if (!added) added = RunSql(source, "INSERT INTO t VALUES(1000, zeroblob(10))");
      },
      16))
      << why;
  EXPECT_TRUE(added) << "the source stays open to other writers during the copy";
  ASSERT_GT(shares.size(), 3u) << "several slices";
  for (std::size_t i = 1; i < shares.size(); ++i) EXPECT_GT(shares[i], shares[i - 1]) << i;
  EXPECT_GT(shares.front(), 0.0);
  EXPECT_EQ(shares.back(), 1.0);
  EXPECT_EQ(CountRows(copy), 300) << "the copy is the file as the copy began";
  EXPECT_EQ(CountRows(source), 301);
}

}  // namespace
}  // namespace vz::veriroru
