// The tools program on an installation whose files are on the test server:
// a backup copies the server's files into a backup folder of the usual form,
// the check reads every file of the server (and finds a missing key index),
// and a restore puts the backup's records back on the server after keeping
// what it replaces.
#include "tools/veriroru/server_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/engine/pg_test_support.h"
#include "platform/os/profile_file.h"
#include "tools/datatool/installation.h"
#include "tools/datatool/store_transfer.h"
#include "tools/veriroru/backup.h"
#include "tools/veriroru/manifest.h"
#include "tools/veriroru/restore.h"
#include "tools/veriroru/tool_actions.h"
#include "tools/veriroru/verification.h"
#include "tools/veriroru/veriroru_test_support.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;
using testing::DumpDirectory;
using testing::FixedTime;

// SQL that runs `statement` (with %I for the table) on the table of file
// `physical` in the server's catalogue.
std::string OnTableOf(const std::string& physical, const std::string& statement) {
  return "DO $$ BEGIN EXECUTE format('" + statement +
         "', 'vz_r' || (SELECT file_no FROM vz_files WHERE name = convert_to('" + physical +
         "', 'LATIN1'))); END $$";
}

class ServerStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (engine::testing::TestServerConninfo().empty()) {
      GTEST_SKIP() << "no PostgreSQL server for the tests (VZ_TEST_PG, ctest fixture "
                      "vz_pg_cluster)";
    }
    ASSERT_TRUE(installation_.ok()) << installation_.error();
    ASSERT_TRUE(schema_.ok());
    datatool::Installation located;
    std::string error;
    ASSERT_TRUE(datatool::LocateInstallation(installation_.root() + "/SUITE", &located, &error))
        << error;
    ASSERT_TRUE(os::WriteProfileString(located.parameter_file, "COMPOSANTS", "CONNEXIONBASE",
                                       schema_.conninfo()));
    std::ostringstream copied;
    ASSERT_TRUE(
        datatool::CopyInstallation(located, datatool::CopyDirection::kToServer, copied, &error))
        << error;
    ASSERT_TRUE(
        os::WriteProfileString(located.parameter_file, "COMPOSANTS", "BASEDONNEES", "POSTGRESQL"));
    analysis_ = LoadToolAnalysis(paths());
    ASSERT_TRUE(analysis_.has_value());
  }
  const ToolPaths& paths() const { return installation_.paths(); }

  testing::DemoInstallation installation_;
  engine::testing::TestSchema schema_;
  std::optional<engine::Analysis> analysis_;
};

TEST_F(ServerStoreTest, BackupCheckAndRestoreWorkOnTheServersFiles) {
  ASSERT_EQ(ServerConnection(paths()), schema_.conninfo());
  // Local files that are no longer used must not be what is saved.
  fs::remove(paths().data_directory + "/CLIENT.vzdb");

  const BackupResult backup = RunBackup(paths(), FixedTime(10));
  ASSERT_TRUE(backup.ok) << backup.message;
  const std::map<std::string, std::string> saved = DumpDirectory(backup.folder);
  ASSERT_EQ(saved.count("CLIENT.vzdb"), 1u);
  EXPECT_NE(saved.at("CLIENT.vzdb"), "");
  EXPECT_TRUE(fs::exists(backup.folder + "/" + kManifestName));

  // Every file of the server is checked and sound.
  VerificationResult check = RunVerification(paths(), &*analysis_, FixedTime(15));
  EXPECT_TRUE(check.ok) << check.report;
  EXPECT_NE(check.report.find("CLIENT (serveur)"), std::string::npos) << check.report;

  // The clients lost on the server, and a key index of theirs: the check
  // makes the index again; the restore brings every record back.
  ASSERT_TRUE(schema_.Exec(OnTableOf("CLIENT", "DELETE FROM %I")));
  ASSERT_TRUE(schema_.Exec(OnTableOf("CLIENT", "DROP INDEX %I_k1")));
  check = RunVerification(paths(), &*analysis_, FixedTime(20));
  EXPECT_TRUE(check.ok) << check.report;
  EXPECT_NE(check.report.find("clés et index reconstruits"), std::string::npos) << check.report;

  const RestoreResult restored = RunRestore(paths(), &*analysis_, backup.folder, FixedTime(30));
  ASSERT_TRUE(restored.ok) << restored.message;
  EXPECT_NE(restored.message.find("sur le serveur"), std::string::npos) << restored.message;
  // What was replaced is kept, as a backup of its own.
  EXPECT_TRUE(fs::exists(restored.kept_folder + "/CLIENT.vzdb")) << restored.kept_folder;

  const BackupResult again = RunBackup(paths(), FixedTime(40));
  ASSERT_TRUE(again.ok) << again.message;
  EXPECT_EQ(DumpDirectory(again.folder), saved);
  check = RunVerification(paths(), &*analysis_, FixedTime(45));
  EXPECT_TRUE(check.ok) << check.report;
}

// The server's files are compact: a stored value that does not expand is
// named by the check with its file and record number, and left as it is.
TEST_F(ServerStoreTest, ADamagedCompactRecordOnTheServerIsReportedByNumber) {
  ASSERT_TRUE(schema_.Exec(OnTableOf("CLIENT", "UPDATE %I SET data = ''\\x07'' WHERE recno = 2")));
  const VerificationResult check = RunVerification(paths(), &*analysis_, FixedTime(60));
  EXPECT_FALSE(check.ok);
  EXPECT_NE(check.report.find("record 2: damaged compact record"), std::string::npos)
      << check.report;
  EXPECT_EQ(check.report.find("clés non reconstruites"), std::string::npos) << check.report;
  ASSERT_TRUE(schema_.Exec(
      OnTableOf("CLIENT",
                "DO $x$ BEGIN IF (SELECT count(*) FROM %I WHERE data = ''\\x07'') <> 1 "
                "THEN RAISE EXCEPTION ''changed''; END IF; END $x$")));
}

TEST_F(ServerStoreTest, AnUnreachableServerIsSaidInFrench) {
  ASSERT_TRUE(os::WriteProfileString(paths().parameter_file, "COMPOSANTS", "CONNEXIONBASE",
                                     "host=/nowhere dbname=none"));
  const BackupResult backup = RunBackup(paths(), FixedTime(50));
  EXPECT_FALSE(backup.ok);
  EXPECT_NE(backup.message.find("le serveur de base de données ne peut pas être utilisé"),
            std::string::npos)
      << backup.message;
  const VerificationResult check = RunVerification(paths(), &*analysis_, FixedTime(55));
  EXPECT_FALSE(check.ok);
  EXPECT_NE(check.report.find("Vérification impossible"), std::string::npos) << check.report;
}

}  // namespace
}  // namespace vz::veriroru
