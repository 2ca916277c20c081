// Check and reindex of files kept in the compact form: sound files need
// nothing, wrong keys are rewritten from the expanded records, and a record
// that does not expand is reported with its file and record number while
// the file is left as it is.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/engine/first_key_index_test_support.h"
#include "platform/engine/sqlite_record_form.h"
#include "tools/veriroru/backup.h"
#include "tools/veriroru/file_check.h"
#include "tools/veriroru/restore.h"
#include "tools/veriroru/tool_actions.h"
#include "tools/veriroru/verification.h"
#include "tools/veriroru/veriroru_test_support.h"

namespace vz::veriroru {
namespace {

using testing::DumpRecords;
using ::testing::ElementsAre;
using testing::ExecSql;
using ::testing::HasSubstr;
using vz::engine::testing::FirstKeyIndexCarries;

class CompactCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(installation_.ok()) << installation_.error();
    analysis_ = LoadToolAnalysis(installation_.paths());
    ASSERT_TRUE(analysis_.has_value());
    for (const char* name : {"CLIENT.vzdb", "REVENUS.vzdb"}) {
      vz::engine::RecordFormChange change;
      std::string why;
      ASSERT_TRUE(vz::engine::ChangeRecordForm(installation_.DataFile(name),
                                               vz::engine::RecordForm::kCompact, &change, &why))
          << why;
      ASSERT_TRUE(change.changed) << name;
    }
  }
  FileCheckResult Check(const std::string& name) {
    return CheckAndReindexFile(installation_.DataFile(name), &*analysis_);
  }

  testing::DemoInstallation installation_;
  std::optional<vz::engine::Analysis> analysis_;
};

TEST_F(CompactCheckTest, SoundCompactFilesNeedNothingAndWrongKeysAreRewritten) {
  const std::string path = installation_.DataFile("CLIENT.vzdb");
  const std::string before = DumpRecords(path);
  FileCheckResult result = Check("REVENUS.vzdb");
  EXPECT_TRUE(result.sound()) << ::testing::PrintToString(result.problems);
  EXPECT_EQ(result.keys_rebuilt, 0);
  ASSERT_TRUE(ExecSql(path, "UPDATE records SET k1 = x'41' WHERE recno IN (2, 5)"));
  result = Check("CLIENT.vzdb");
  EXPECT_TRUE(result.sound()) << ::testing::PrintToString(result.problems);
  EXPECT_EQ(result.keys_rebuilt, 2);
  EXPECT_EQ(DumpRecords(path), before);
}

TEST_F(CompactCheckTest, DamagedCompactRecordsAreReportedByNumber) {
  const std::string path = installation_.DataFile("REVENUS.vzdb");
  ASSERT_TRUE(ExecSql(path,
                      "UPDATE records SET data = x'0101' || substr(data, 4) WHERE recno = 3;"
                      "UPDATE records SET data = substr(data, 1, length(data) - 1) "
                      "WHERE recno = 7;"
                      "UPDATE records SET data = x'09' || substr(data, 2) WHERE recno = 11;"));
  const std::string damaged = DumpRecords(path);
  FileCheckResult result = Check("REVENUS.vzdb");
  EXPECT_THAT(result.problems,
              ElementsAre("enregistrement 3 endommagé : forme compacte illisible "
                          "(longueur incorrecte)",
                          "enregistrement 7 endommagé : forme compacte illisible (suite tronquée)",
                          "enregistrement 11 endommagé : forme compacte illisible "
                          "(version inconnue)"));
  EXPECT_EQ(DumpRecords(path), damaged);  // records are never changed

  VerificationResult verification =
      RunVerification(installation_.paths(), &*analysis_, testing::FixedTime(30));
  EXPECT_THAT(verification.report, HasSubstr("REVENUS.vzdb : "));
  EXPECT_THAT(verification.report,
              HasSubstr("problème : enregistrement 7 endommagé : forme compacte illisible"));
  EXPECT_THAT(verification.report, HasSubstr("1 fichier avec des problèmes"));
}

// A compact file's first key's index carries its records: the check makes a
// missing one again in that shape, and so does its rebuild of changed keys.
TEST_F(CompactCheckTest, TheFirstKeyIndexIsMadeAgainCarryingTheRecords) {
  const std::string path = installation_.DataFile("REVENUS.vzdb");
  ASSERT_TRUE(FirstKeyIndexCarries(path));
  const std::string before = DumpRecords(path);
  ASSERT_TRUE(ExecSql(path, "DROP INDEX records_k1"));
  FileCheckResult result = Check("REVENUS.vzdb");
  EXPECT_TRUE(result.sound()) << ::testing::PrintToString(result.problems);
  EXPECT_TRUE(FirstKeyIndexCarries(path));

  ASSERT_TRUE(ExecSql(path,
                      "UPDATE vz_info SET value = 'OLD 1:9' WHERE name = 'key1';"
                      "UPDATE records SET k1 = x'30'"));
  result = Check("REVENUS.vzdb");
  EXPECT_TRUE(result.sound()) << ::testing::PrintToString(result.problems);
  EXPECT_EQ(result.keys_rebuilt, result.records);
  EXPECT_TRUE(FirstKeyIndexCarries(path));
  EXPECT_EQ(DumpRecords(path), before);
}

// A backup of compact files passes the restore's check and brings them back.
TEST_F(CompactCheckTest, CompactFilesAreBackedUpAndRestored) {
  const std::string path = installation_.DataFile("REVENUS.vzdb");
  const std::string before = DumpRecords(path);
  const BackupResult backup = RunBackup(installation_.paths(), testing::FixedTime(30));
  ASSERT_TRUE(backup.ok) << backup.message;
  ASSERT_TRUE(ExecSql(path, "DELETE FROM records WHERE recno < 5"));
  const RestoreResult restore =
      RunRestore(installation_.paths(), &*analysis_, backup.folder, testing::FixedTime(31));
  EXPECT_TRUE(restore.ok) << restore.message;
  EXPECT_EQ(DumpRecords(path), before);
}

}  // namespace
}  // namespace vz::veriroru
