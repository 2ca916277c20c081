// Moving an installation between SQLite and the server and back: every file
// of the analysis and the per-query files found, foreign files left out,
// record bytes and the order of duplicates kept in every key.
#include "platform/engine/store_copy.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/pg_test_support.h"
#include "platform/engine/sqlite_storage.h"

namespace vz::engine {
namespace {

using testing::TempDir;
using testing::TestSchema;
using testing::TestServerConninfo;

FileEntry Entry(const char* name, int keys) {
  FileEntry entry;
  entry.name = name;
  entry.physical_name = name;
  entry.directory = "D:\\VESTRA";
  entry.keys.resize(static_cast<std::size_t>(keys));
  for (int i = 0; i < keys; ++i) {
    entry.keys[static_cast<std::size_t>(i)].name = "K" + std::to_string(i);
    entry.keys[static_cast<std::size_t>(i)].components = {{i + 1, 0}};
  }
  return entry;
}

// Every record's bytes and keys, in the order of each key.
std::string Dump(Storage& storage, const std::string& path, const FileEntry& entry) {
  std::unique_ptr<DataFile> file;
  std::string why;
  if (storage.Open(path, entry, false, Attempts{}, &file, &why) != Storage::OpenResult::kOpen) {
    return "missing: " + why;
  }
  std::string dump;
  for (int key = 0; key < static_cast<int>(entry.keys.size()); ++key) {
    Cursor* cursor = file->CursorOf(key);
    ReadRequest request;
    request.key = key;
    RecordView record;
    std::string position;
    while (file->Read(*cursor, request, Attempts{}, &record) == ReadResult::kFound) {
      dump += std::string(record.data) + "/" + std::string(record.keys[0]) + "/" +
              std::string(record.keys[1]) + ";";
      position.assign(record.keys[static_cast<std::size_t>(key)]);
      request.kind = ReadKind::kNext;
      request.value = position;
      request.recno = record.recno;
      request.at_cursor = true;
    }
    dump += "|";
  }
  return dump;
}

TEST(StoreCopyTest, AnInstallationGoesToTheServerAndBackWithItsRecordsAsTheyWere) {
  if (TestServerConninfo().empty()) GTEST_SKIP() << "no test server (VZ_TEST_PG)";
  TestSchema schema;
  ASSERT_TRUE(schema.ok());
  Analysis analysis;
  analysis.files = {Entry("CLIENT", 2), Entry("SELECTES", 2)};
  TempDir local;
  SqliteStorage sqlite;
  PgStorage server(schema.conninfo());
  // CLIENT with duplicates in both keys and a deleted record; a per-query
  // SELECTES file; a file of no file of the analysis.
  const Attempts attempts;
  {
    std::unique_ptr<DataFile> client;
    std::string why;
    ASSERT_EQ(sqlite.Open(sqlite.Locate(local.path(), "CLIENT"), analysis.files[0], true, attempts,
                          &client, &why),
              Storage::OpenResult::kOpen);
    const char* rows[][3] = {{"\x01\xFFz", "b", "2"}, {"second", "a", "2"}, {"gone", "c", "1"},
                             {"third", "a", "1"},     {"", "b", "2"},       {"last", "a", "2"}};
    for (const auto& row : rows)
      ASSERT_GT(client->Add(row[0], {row[1], row[2]}, attempts, false), 0);
    ASSERT_TRUE(client->Delete(3, attempts, false));
    std::unique_ptr<DataFile> query;
    FileEntry selectes = analysis.files[1];
    ASSERT_EQ(sqlite.Open(sqlite.Locate(local.path(), "01000042"), selectes, true, attempts, &query,
                          &why),
              Storage::OpenResult::kOpen);
    ASSERT_GT(query->Add("010000011", {"75001", ""}, attempts, false), 0);
    FileEntry other = Entry("OTHER", 1);
    std::unique_ptr<DataFile> foreign;
    ASSERT_EQ(
        sqlite.Open(sqlite.Locate(local.path(), "OTHER"), other, true, attempts, &foreign, &why),
        Storage::OpenResult::kOpen);
    ASSERT_GT(foreign->Add("x", {"x"}, attempts, false), 0);
  }
  std::vector<std::string> skipped;
  std::vector<StoredFile> files = SqliteFilesIn(local.path(), analysis, &skipped);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].physical_name, "01000042");
  EXPECT_EQ(files[0].entry, &analysis.files[1]);
  EXPECT_EQ(files[1].physical_name, "CLIENT");
  EXPECT_EQ(skipped, std::vector<std::string>{"OTHER.vzdb"});

  TempDir back;
  for (const StoredFile& file : files) {
    SCOPED_TRACE(file.physical_name);
    int64_t records = 0;
    std::string why;
    const std::string local_path = sqlite.Locate(local.path(), file.physical_name);
    const std::string server_path = server.Locate("", file.physical_name);
    ASSERT_TRUE(
        CopyStoredFile(sqlite, local_path, server, server_path, *file.entry, &records, &why))
        << why;
    EXPECT_EQ(Dump(server, server_path, *file.entry), Dump(sqlite, local_path, *file.entry));
    // Copied again: the target is replaced, not added to.
    ASSERT_TRUE(
        CopyStoredFile(sqlite, local_path, server, server_path, *file.entry, &records, &why));
    const std::string back_path = sqlite.Locate(back.path(), file.physical_name);
    ASSERT_TRUE(CopyStoredFile(server, server_path, sqlite, back_path, *file.entry, &records, &why))
        << why;
    EXPECT_EQ(Dump(sqlite, back_path, *file.entry), Dump(sqlite, local_path, *file.entry));
    EXPECT_EQ(records, file.physical_name == "CLIENT" ? 5 : 1);
  }
  std::string why;
  std::vector<StoredFile> on_server = ServerFiles(server, analysis, &skipped, &why);
  ASSERT_EQ(on_server.size(), 2u) << why;
  EXPECT_EQ(on_server[0].physical_name, "01000042");
  EXPECT_EQ(on_server[0].entry, &analysis.files[1]);
  // A file missing from the source is not made in the target.
  int64_t records = 0;
  EXPECT_FALSE(CopyStoredFile(sqlite, sqlite.Locate(local.path(), "NONE"), server, "NONE",
                              analysis.files[0], &records, &why));
  EXPECT_FALSE(schema.HoldsFile("NONE"));
}

}  // namespace
}  // namespace vz::engine
