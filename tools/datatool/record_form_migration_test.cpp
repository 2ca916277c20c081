// vzdata compact and expand over a generated installation: every record
// reads back the same, the command is refused while the data directory is
// in use, and a file that cannot be migrated is reported, logged and left
// as it was while the others are migrated.
#include "tools/datatool/record_form_migration.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/engine/first_key_index_test_support.h"
#include "platform/engine/sqlite_record_form.h"
#include "src/db/catalogue.h"
#include "src/db/data_directory_use.h"
#include "src/util/run_log.h"
#include "tests/support/file_bytes.h"
#include "tools/datatool/datatool_test_support.h"
#include "tools/datatool/demo_installation.h"

namespace vz::datatool {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using vz::engine::testing::FirstKeyIndexCarries;

std::string StoredFormat(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* row = nullptr;
  std::string format;
  sqlite3_prepare_v2(db, "SELECT value FROM vz_info WHERE name='format'", -1, &row, nullptr);
  if (row != nullptr && sqlite3_step(row) == SQLITE_ROW) {
    format = reinterpret_cast<const char*>(sqlite3_column_text(row, 0));
  }
  sqlite3_finalize(row);
  sqlite3_close(db);
  return format;
}

bool ExecOn(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

class RecordFormMigrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = temp_.path() + "/inst";
    DemoInstallationOptions options;
    options.data.clients = 60;
    options.data.seed = 11;
    options.data.queries = true;
    GenerateStats stats;
    std::string error;
    ASSERT_TRUE(CreateDemoInstallation(root_, options, nullptr, &stats, &error)) << error;
    ASSERT_TRUE(LocateInstallation(root_, &installation_, &error)) << error;
  }

  // The records of every file of the catalogue, as the engine reads them.
  std::map<std::string, std::vector<std::string>> AllRecords() {
    std::string error;
    auto session = EngineSession::Open(installation_, &error);
    EXPECT_NE(session, nullptr) << error;
    std::map<std::string, std::vector<std::string>> all;
    if (session == nullptr) return all;
    for (const vz::db::FileDescription& d : vz::db::Catalogue()) {
      all[std::string(d.name)] = testing::ReadAll(*session, d.id);
    }
    return all;
  }

  bool Migrate(vz::engine::RecordForm form) {
    out_.str("");
    errors_.str("");
    return MigrateRecordForm(installation_, form, out_, errors_, &error_);
  }

  std::string Data(const std::string& name) const {
    return installation_.data_directory + "/" + name;
  }

  testing::TempDir temp_;
  std::string root_;
  Installation installation_;
  std::ostringstream out_, errors_;
  std::string error_;
};

TEST_F(RecordFormMigrationTest, CompactAndBackKeepEveryRecord) {
  const auto before = AllRecords();
  ASSERT_FALSE(before.at("REVENUS").empty());
  const auto plain_size = fs::file_size(Data("REVENUS.vzdb"));

  ASSERT_TRUE(Migrate(vz::engine::RecordForm::kCompact)) << error_ << errors_.str();
  EXPECT_THAT(out_.str(), HasSubstr("REVENUS.vzdb : "));
  EXPECT_THAT(out_.str(), HasSubstr(" enregistrements compactés, "));
  EXPECT_EQ(errors_.str(), "");
  EXPECT_EQ(StoredFormat(Data("REVENUS.vzdb")), "2");
  EXPECT_EQ(StoredFormat(Data("CLIENT.vzdb")), "2");
  EXPECT_LT(fs::file_size(Data("REVENUS.vzdb")), plain_size);
  EXPECT_EQ(AllRecords(), before);

  ASSERT_TRUE(Migrate(vz::engine::RecordForm::kCompact));  // nothing left to do
  EXPECT_THAT(out_.str(), HasSubstr("REVENUS.vzdb : déjà compact ou vide"));

  ASSERT_TRUE(Migrate(vz::engine::RecordForm::kPlain)) << error_ << errors_.str();
  EXPECT_THAT(out_.str(), HasSubstr(" enregistrements décompactés, "));
  EXPECT_EQ(StoredFormat(Data("REVENUS.vzdb")), "1");
  EXPECT_EQ(fs::file_size(Data("REVENUS.vzdb")), plain_size);
  EXPECT_EQ(AllRecords(), before);
}

// The client and rubric files carry their records in their first key's index
// once compact; SELECTES, refilled by every extraction, does not, and a
// SELECTES that did is given the short index back.
TEST_F(RecordFormMigrationTest, CompactFilesButSelectesCarryTheirRecordsInTheFirstKeyIndex) {
  {
    std::string error;
    auto session = EngineSession::Open(installation_, &error);
    ASSERT_NE(session, nullptr) << error;
    for (const char* code : {"75001", "13002"}) {
      std::memcpy(session->Buffer(db::FileId::SELECTES) + 1, code, 5);
      ASSERT_TRUE(session->Add(db::FileId::SELECTES)) << session->FileError();
    }
  }
  const auto before = AllRecords();
  ASSERT_EQ(before.at("SELECTES").size(), 2U);
  ASSERT_TRUE(Migrate(vz::engine::RecordForm::kCompact)) << error_ << errors_.str();
  EXPECT_EQ(StoredFormat(Data("SELECTES.vzdb")), "2");
  EXPECT_FALSE(FirstKeyIndexCarries(Data("SELECTES.vzdb")));
  for (const char* name : {"CLIENT.vzdb", "REVENUS.vzdb", "LIQUIDIT.vzdb"}) {
    EXPECT_TRUE(FirstKeyIndexCarries(Data(name))) << name;
  }
  EXPECT_EQ(AllRecords(), before);

  vz::engine::RecordFormChange change;
  std::string why;
  ASSERT_TRUE(vz::engine::ChangeRecordForm(Data("SELECTES.vzdb"), vz::engine::RecordForm::kCompact,
                                           &change, &why, /*carry_records=*/true))
      << why;
  ASSERT_TRUE(FirstKeyIndexCarries(Data("SELECTES.vzdb")));
  ASSERT_TRUE(Migrate(vz::engine::RecordForm::kCompact)) << error_ << errors_.str();
  EXPECT_THAT(out_.str(),
              HasSubstr("SELECTES.vzdb : déjà compact ; index de la première clé refait"));
  EXPECT_THAT(out_.str(), HasSubstr("CLIENT.vzdb : déjà compact ou vide"));
  EXPECT_FALSE(FirstKeyIndexCarries(Data("SELECTES.vzdb")));
  EXPECT_EQ(AllRecords(), before);
}

TEST_F(RecordFormMigrationTest, RefusedWhileAProgramWorksOnTheData) {
  const os::FileLock program =
      db::LockDataDirectory(installation_.data_directory, os::FileLock::Mode::kShared);
  ASSERT_TRUE(program.held());
  EXPECT_FALSE(Migrate(vz::engine::RecordForm::kCompact));
  EXPECT_THAT(error_, HasSubstr("Compactage refusé : un programme de la suite travaille sur "));
  EXPECT_EQ(StoredFormat(Data("REVENUS.vzdb")), "1");
  EXPECT_THAT(vz::testing::FileBytes(util::RunLogPath(installation_.data_directory)),
              HasSubstr("Compactage refusé"));
}

TEST_F(RecordFormMigrationTest, AFileThatCannotBeMigratedIsReportedLoggedAndLeft) {
  ASSERT_TRUE(Migrate(vz::engine::RecordForm::kCompact));
  const std::string revenus = Data("REVENUS.vzdb");
  ASSERT_TRUE(ExecOn(revenus, "UPDATE records SET data = x'07' WHERE recno = 4"));
  const std::string damaged = vz::testing::FileBytes(revenus);
  std::ofstream(vz::engine::RecordFormWorkPath(Data("CLIENT.vzdb"))) << "left by a killed run";

  EXPECT_FALSE(Migrate(vz::engine::RecordForm::kPlain));
  EXPECT_THAT(errors_.str(), HasSubstr("REVENUS.vzdb : non décompacté (damaged compact record "
                                       "(unknown version)) ; le fichier est resté tel qu'il "
                                       "était."));
  EXPECT_THAT(error_, HasSubstr("Décompactage inachevé : 1 fichier n'a pas pu être traité"));
  EXPECT_EQ(vz::testing::FileBytes(revenus), damaged);
  EXPECT_EQ(StoredFormat(revenus), "2");
  EXPECT_EQ(StoredFormat(Data("CLIENT.vzdb")), "1");  // the others went on
  EXPECT_FALSE(fs::exists(vz::engine::RecordFormWorkPath(Data("CLIENT.vzdb"))));
  EXPECT_FALSE(fs::exists(vz::engine::RecordFormWorkPath(revenus)));
  const std::string log = vz::testing::FileBytes(util::RunLogPath(installation_.data_directory));
  EXPECT_THAT(log, HasSubstr("REVENUS.vzdb : non décompacté"));
  EXPECT_THAT(log, HasSubstr("Décompactage inachevé"));
}

}  // namespace
}  // namespace vz::datatool
