// Backup and restore over a real demo installation: a restore brings back
// every record exactly, keeps what it replaced, and refuses a damaged backup
// without touching the data.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "platform/os/profile_file.h"
#include "tools/veriroru/backup.h"
#include "tools/veriroru/backup_check.h"
#include "tools/veriroru/database_file.h"
#include "tools/veriroru/manifest.h"
#include "tools/veriroru/restore.h"
#include "tools/veriroru/tool_actions.h"
#include "tools/veriroru/unfinished_backups.h"
#include "tools/veriroru/veriroru_test_support.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;
using testing::DumpDirectory;
using ::testing::ElementsAre;
using testing::ExecSql;
using testing::FileBytes;
using testing::FixedTime;
using ::testing::HasSubstr;
using testing::WriteBytes;

class BackupRestoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(installation_.ok()) << installation_.error();
    analysis_ = LoadToolAnalysis(paths());
    ASSERT_TRUE(analysis_.has_value());
  }
  const ToolPaths& paths() const { return installation_.paths(); }
  std::string Data() const { return paths().data_directory; }

  std::string BackUpAt(int second) {
    BackupResult backup = RunBackup(paths(), FixedTime(second));
    EXPECT_TRUE(backup.ok) << backup.message;
    return backup.folder;
  }
  RestoreResult RestoreAt(const std::string& folder, int second) {
    return RunRestore(paths(), &*analysis_, folder, FixedTime(second));
  }

  // Entries of a folder, names only, sorted; the side files that SQLite's
  // readers leave beside a file (the records are compared on their own) are
  // not counted, nor the lock files that stay once made.
  static std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
      const std::string name = e.path().filename();
      const bool side =
          name.ends_with("-wal") || name.ends_with("-shm") || name.ends_with(".verrou");
      if (!side) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::DemoInstallation installation_;
  std::optional<vz::engine::Analysis> analysis_;
};

TEST_F(BackupRestoreTest, RestoreBringsBackEveryRecordAndKeepsWhatItReplaced) {
  const auto before = DumpDirectory(Data());
  ASSERT_GT(before.size(), 10u);
  const std::string parameters_before = FileBytes(paths().parameter_file);
  const std::string folder = BackUpAt(30);
  EXPECT_EQ(folder, Data() + "/SAUVEGARDES/20261208-102030");

  // The adviser works on: records deleted and changed, a new selection file,
  // the query counter moved on.
  ASSERT_TRUE(
      ExecSql(installation_.DataFile("CLIENT.vzdb"), "DELETE FROM records WHERE recno < 5"));
  ASSERT_TRUE(ExecSql(installation_.DataFile("REVENUS.vzdb"), "UPDATE records SET data = x'00'"));
  fs::copy_file(installation_.DataFile("CLIENT.vzdb"), installation_.DataFile("01000099.vzdb"));
  ASSERT_TRUE(
      vz::os::WriteProfileString(paths().parameter_file, "COMPOSANTS", "NUMREQ", "000099,"));
  const auto worked = DumpDirectory(Data());

  RestoreResult restore = RestoreAt(folder, 45);
  ASSERT_TRUE(restore.ok) << restore.message;
  EXPECT_EQ(DumpDirectory(Data()), before);
  EXPECT_EQ(FileBytes(paths().parameter_file), parameters_before);
  EXPECT_EQ(restore.kept_folder, Data() + "/SAUVEGARDES/avant-restauration-20261208-102045");
  EXPECT_THAT(restore.message, HasSubstr("08/12/2026 à 10:20:30"));

  // What was replaced is kept whole, with a manifest, and can be restored in turn.
  EXPECT_EQ(DumpDirectory(restore.kept_folder), worked);
  EXPECT_TRUE(fs::exists(restore.kept_folder + "/PARAM.DTA"));
  std::vector<BackupEntry> backups = ListBackups(Data());
  ASSERT_EQ(backups.size(), 2u);
  EXPECT_EQ(backups[0].name, "avant-restauration-20261208-102045");
  EXPECT_EQ(backups[1].name, "20261208-102030");
  EXPECT_THAT(backups[0].readable, HasSubstr("avant la restauration du 08/12/2026"));
  RestoreResult back = RestoreAt(restore.kept_folder, 50);
  ASSERT_TRUE(back.ok) << back.message;
  EXPECT_EQ(DumpDirectory(Data()), worked);
  EXPECT_THAT(vz::os::ReadProfileString(paths().parameter_file, "COMPOSANTS", "NUMREQ"), "000099,");
}

TEST_F(BackupRestoreTest, BackupFilesStandAloneAndMatchTheirManifest) {
  const std::string folder = BackUpAt(30);
  std::string text = FileBytes(folder + "/MANIFESTE.TXT");
  Manifest manifest;
  std::string why;
  ASSERT_TRUE(ParseManifest(text, &manifest, &why)) << why;
  EXPECT_EQ(manifest.data_directory, Data());
  EXPECT_EQ(manifest.items.size(), DataFileNames(Data()).size() + 1);  // and PARAM.DTA
  for (const std::string& name : Names(folder)) {
    EXPECT_EQ(name.find("-wal"), std::string::npos) << name;
    EXPECT_EQ(name.find("-shm"), std::string::npos) << name;
  }
  const ManifestItem* client = manifest.Find("CLIENT.vzdb");
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(client->records, 24);
  EXPECT_TRUE(CheckBackup(folder, &*analysis_).ok);
}

// Another program of the suite has the file open: what it committed is still
// in its write-ahead log, and it is in the middle of another transaction.
TEST_F(BackupRestoreTest, BackupOfAFileInUseHoldsWhatWasCommitted) {
  const std::string path = installation_.DataFile("CLIENT.vzdb");
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other,
                         "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                         "DELETE FROM records WHERE recno = 1;",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  const std::string committed = testing::DumpRecords(path);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM records WHERE recno = 2;", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);

  const std::string folder = BackUpAt(30);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(testing::DumpRecords(folder + "/CLIENT.vzdb"), committed);
  EXPECT_FALSE(fs::exists(folder + "/CLIENT.vzdb-wal"));
  EXPECT_TRUE(CheckBackup(folder, &*analysis_).ok);
}

TEST_F(BackupRestoreTest, SecondBackupInTheSameSecondGetsItsOwnFolder) {
  const std::string first = BackUpAt(30);
  const std::string first_manifest = FileBytes(first + "/MANIFESTE.TXT");
  ASSERT_TRUE(ExecSql(installation_.DataFile("CLIENT.vzdb"), "DELETE FROM records"));
  const std::string second = BackUpAt(30);
  EXPECT_EQ(second, first + "-2");
  EXPECT_EQ(FileBytes(first + "/MANIFESTE.TXT"), first_manifest);
  EXPECT_EQ(BackUpAt(30), first + "-3");
}

TEST_F(BackupRestoreTest, RestoreKeepsTheDataDirectoryInUse) {
  const std::string folder = BackUpAt(30);
  // The installation moved: its parameter file now names the data another way.
  ASSERT_TRUE(vz::os::WriteProfileString(paths().parameter_file, "COMPOSANTS", "REPERTOIREF",
                                         Data() + ","));
  ASSERT_TRUE(RestoreAt(folder, 40).ok);
  EXPECT_EQ(vz::os::ReadProfileString(paths().parameter_file, "COMPOSANTS", "REPERTOIREF"),
            Data() + ",");
}

TEST_F(BackupRestoreTest, DamagedDataFileStopsTheBackupAndLeavesNoFolder) {
  WriteBytes(installation_.DataFile("PROFES.vzdb"), std::string(8192, 'x'));
  BackupResult backup = RunBackup(paths(), FixedTime(30));
  EXPECT_FALSE(backup.ok);
  EXPECT_THAT(backup.message, HasSubstr("PROFES.vzdb"));
  EXPECT_TRUE(ListBackups(Data()).empty());
  EXPECT_FALSE(fs::exists(Data() + "/SAUVEGARDES/20261208-102030"));
}

// Ways a backup can be spoilt, and the file the refusal must name.
struct Spoil {
  const char* name;
  void (*apply)(const std::string& folder);
  const char* faulty;
};

// Rewrites the manifest consistently after `change`, as if the backup had
// been taken like that.
void Remanifest(const std::string& folder, void (*change)(Manifest&)) {
  Manifest m;
  std::string why;
  ParseManifest(FileBytes(folder + "/MANIFESTE.TXT"), &m, &why);
  change(m);
  WriteBytes(folder + "/MANIFESTE.TXT", ManifestText(m));
}

void Truncate(const std::string& folder) {
  const std::string path = folder + "/REVENUS.vzdb";
  fs::resize_file(path, fs::file_size(path) / 2);
}

void Garbage(const std::string& folder) {
  std::string bytes = FileBytes(folder + "/CLIENT.vzdb");
  for (std::size_t i = 4096; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(0xA5);
  WriteBytes(folder + "/CLIENT.vzdb", bytes);
}

// The manifest takes the file's present bytes, so that only the checks of
// the file's contents can find what is wrong with it.
void AgreeWithManifest(const std::string& folder, const std::string& name) {
  Manifest m;
  std::string why;
  ParseManifest(FileBytes(folder + "/MANIFESTE.TXT"), &m, &why);
  for (ManifestItem& item : m.items) {
    if (item.name == name) ChecksumFile(folder + "/" + name, &item.crc, &item.size);
  }
  WriteBytes(folder + "/MANIFESTE.TXT", ManifestText(m));
}

void GarbageWithMatchingManifest(const std::string& folder) {
  Garbage(folder);
  AgreeWithManifest(folder, "CLIENT.vzdb");
}

class RefusedRestoreTest : public BackupRestoreTest, public ::testing::WithParamInterface<Spoil> {};

TEST_P(RefusedRestoreTest, NamesTheFileAndTouchesNothing) {
  const std::string folder = BackUpAt(30);
  ASSERT_TRUE(
      ExecSql(installation_.DataFile("CLIENT.vzdb"), "DELETE FROM records WHERE recno = 3"));
  const auto before = DumpDirectory(Data());
  const auto names_before = Names(Data());
  const std::string parameters = FileBytes(paths().parameter_file);
  GetParam().apply(folder);

  RestoreResult restore = RestoreAt(folder, 45);
  EXPECT_FALSE(restore.ok);
  EXPECT_THAT(restore.message, HasSubstr("Restauration refusée"));
  EXPECT_THAT(restore.message, HasSubstr(GetParam().faulty));
  EXPECT_THAT(restore.message, HasSubstr("Aucun fichier n'a été remplacé"));
  EXPECT_EQ(DumpDirectory(Data()), before);
  EXPECT_EQ(Names(Data()), names_before);  // no temporary copy left behind
  EXPECT_EQ(FileBytes(paths().parameter_file), parameters);
  EXPECT_FALSE(fs::exists(Data() + "/SAUVEGARDES/avant-restauration-20261208-102045"));
}

INSTANTIATE_TEST_SUITE_P(
    Spoilt, RefusedRestoreTest,
    ::testing::Values(
        Spoil{"TruncatedFile", &Truncate, "REVENUS.vzdb"},
        Spoil{"GarbageInAFile", &Garbage, "CLIENT.vzdb"},
        Spoil{"GarbageTheManifestAgreesWith", &GarbageWithMatchingManifest, "CLIENT.vzdb"},
        Spoil{"MissingFile", [](const std::string& f) { fs::remove(f + "/PROFES.vzdb"); },
              "PROFES.vzdb"},
        Spoil{"MissingManifest", [](const std::string& f) { fs::remove(f + "/MANIFESTE.TXT"); },
              "MANIFESTE.TXT"},
        Spoil{"EditedManifest",
              [](const std::string& f) {
                std::string t = FileBytes(f + "/MANIFESTE.TXT");
                t[t.find("CLIENT.vzdb") + 20] ^= 1;
                WriteBytes(f + "/MANIFESTE.TXT", t);
              },
              "MANIFESTE.TXT"},
        Spoil{"FileTheManifestDoesNotName",
              [](const std::string& f) { fs::copy_file(f + "/CLIENT.vzdb", f + "/INTRUS.vzdb"); },
              "INTRUS.vzdb"},
        Spoil{"WrongRecordCount",
              [](const std::string& f) {
                Remanifest(f, [](Manifest& m) {
                  for (ManifestItem& item : m.items) {
                    if (item.name == "CLIENT.vzdb") item.records += 1;
                  }
                });
              },
              "CLIENT.vzdb"},
        Spoil{"FileOfAnotherProgram",
              [](const std::string& f) {
                ExecSql(f + "/ANNEXE.vzdb", "UPDATE vz_info SET value='ZZZ' WHERE name='file'");
                AgreeWithManifest(f, "ANNEXE.vzdb");
              },
              "ANNEXE.vzdb"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupRestoreTest, FileThatCannotBeReplacedPutsEverythingBack) {
  const std::string folder = BackUpAt(30);
  ASSERT_TRUE(ExecSql(installation_.DataFile("CLIENT.vzdb"), "DELETE FROM records"));
  // Where PROFES.vzdb should go lies a folder that a rename cannot replace.
  fs::remove(installation_.DataFile("PROFES.vzdb"));
  fs::create_directories(installation_.DataFile("PROFES.vzdb") + "/dedans");
  const auto before = DumpDirectory(Data());
  const auto names_before = Names(Data());

  RestoreResult restore = RestoreAt(folder, 45);
  EXPECT_FALSE(restore.ok);
  EXPECT_THAT(restore.message, HasSubstr("ne peut pas être remplacé"));
  EXPECT_EQ(DumpDirectory(Data()), before);
  EXPECT_EQ(Names(Data()), names_before);
  EXPECT_FALSE(fs::exists(Data() + "/SAUVEGARDES/avant-restauration-20261208-102045"));
  EXPECT_TRUE(UnfinishedRestores(Data()).empty());
}

TEST_F(BackupRestoreTest, RestoreStoppedHalfWayIsToldUntilARestoreEndsWell) {
  const std::string folder = BackUpAt(30);
  // What a restore killed between its renames leaves.
  const std::string kept = Data() + "/SAUVEGARDES/avant-restauration-20261208-102040";
  fs::create_directories(kept);
  fs::rename(installation_.DataFile("CLIENT.vzdb"), kept + "/CLIENT.vzdb");
  WriteBytes(kept + "/" + kUnfinishedRestoreMarker, "Restauration commencée\n");
  ASSERT_THAT(UnfinishedRestores(Data()), ElementsAre(kept));
  EXPECT_THAT(UnfinishedRestoreWarning(paths()), HasSubstr(kept));
  // Every file passes its own check, but the data are half swapped: the
  // check fails until the restore is finished.
  const ActionOutcome check = CheckAndReindex(paths());
  EXPECT_THAT(check.report, HasSubstr("une restauration a été interrompue"));
  EXPECT_FALSE(check.ok);
  EXPECT_THAT(check.message, HasSubstr("restauration interrompue"));
  EXPECT_EQ(ListBackups(Data()).size(), 1u);  // the unfinished folder is not offered

  ASSERT_TRUE(RestoreAt(folder, 50).ok);
  EXPECT_TRUE(UnfinishedRestores(Data()).empty());
  EXPECT_EQ(UnfinishedRestoreWarning(paths()), "");
  EXPECT_TRUE(CheckAndReindex(paths()).ok);
  EXPECT_TRUE(fs::exists(kept + "/CLIENT.vzdb"));  // what it kept stays kept
}

TEST_F(BackupRestoreTest, RestoreIsRefusedWhileAProgramWorksOnTheData) {
  const std::string folder = BackUpAt(30);
  ASSERT_TRUE(ExecSql(installation_.DataFile("CLIENT.vzdb"), "DELETE FROM records"));
  const auto before = DumpDirectory(Data());
  {
    // What a running program holds on its data directory.
    const vz::os::FileLock program =
        vz::db::LockDataDirectory(Data(), vz::os::FileLock::Mode::kShared);
    ASSERT_TRUE(program.held());
    RestoreResult restore = RestoreAt(folder, 45);
    EXPECT_FALSE(restore.ok);
    EXPECT_THAT(restore.message, HasSubstr("un programme de la suite travaille sur " + Data()));
    EXPECT_THAT(restore.message, HasSubstr("Aucun fichier n'a été remplacé"));
    EXPECT_EQ(DumpDirectory(Data()), before);
    EXPECT_FALSE(fs::exists(Data() + "/SAUVEGARDES/avant-restauration-20261208-102045"));
  }
  EXPECT_TRUE(RestoreAt(folder, 50).ok);  // the program has ended
}

TEST_F(BackupRestoreTest, BackupsLeftUnfinishedAreRemovedAndNothingElse) {
  const std::string finished = BackUpAt(30);
  const std::string backups = Data() + "/SAUVEGARDES";
  // What killed backups leave: dated folders with some copies, no manifest.
  for (const char* name : {"20261208-101500", "20261208-101500-2"}) {
    fs::create_directories(backups + "/" + name);
    fs::copy_file(installation_.DataFile("CLIENT.vzdb"), backups + "/" + name + "/CLIENT.vzdb");
  }
  // Not backups of ours, or not provably unfinished: they stay.
  const char* kept[] = {"avant-restauration-20261208-101000", "20261208-1015", "notes",
                        "20261208-101600"};
  for (const char* name : kept) fs::create_directories(backups + "/" + name);
  fs::create_directories(backups + "/20261208-101600/dossier");  // not plain files only

  EXPECT_EQ(BackUpAt(40), backups + "/20261208-102040");
  EXPECT_FALSE(fs::exists(backups + "/20261208-101500"));
  EXPECT_FALSE(fs::exists(backups + "/20261208-101500-2"));
  for (const char* name : kept) EXPECT_TRUE(fs::exists(backups + "/" + name)) << name;
  EXPECT_TRUE(fs::exists(finished + "/" + kManifestName));

  // While a backup runs (on this or another workstation), nothing is removed.
  fs::create_directories(backups + "/20261208-101700");
  {
    const vz::os::FileLock running = HoldBackupInProgress(Data());
    ASSERT_TRUE(running.held());
    EXPECT_EQ(RemoveUnfinishedBackups(Data()), 0);
  }
  EXPECT_EQ(RemoveUnfinishedBackups(Data()), 1);
}

TEST(BackupFolderNameTest, OnlyTheNamesABackupGives) {
  for (const char* name : {"20261208-102030", "20261208-102030-2", "20261208-102030-17"}) {
    EXPECT_TRUE(IsBackupFolderName(name)) << name;
  }
  for (const char* name :
       {"", "20261208-10203", "20261208-102030-", "20261208-102030x", "2026120a-102030",
        "avant-restauration-20261208-102030", "20261208_102030", "20261208-102030-2a"}) {
    EXPECT_FALSE(IsBackupFolderName(name)) << name;
  }
}

TEST_F(BackupRestoreTest, UnknownFolderIsRefused) {
  RestoreResult restore = RestoreAt(Data() + "/SAUVEGARDES/19990101-000000", 45);
  EXPECT_FALSE(restore.ok);
  EXPECT_THAT(restore.message, HasSubstr("n'existe pas"));
}

}  // namespace
}  // namespace vz::veriroru
