// The storage interface's contract (storage.h), checked on every store the
// engine has: key order, search, read next after a delete, duplicates,
// record numbers, batches. A new store joins the list in Stores(). Then what
// SQLite files alone show: locks, damage, the integrity check. The server's
// own cases (locks of other sessions, settings refused, server unreachable)
// are in pg_storage_test.cpp.
#include "platform/engine/storage.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/pg_storage.h"
#include "platform/engine/pg_test_support.h"
#include "platform/engine/sqlite_handles.h"
#include "platform/engine/sqlite_storage.h"

namespace vz::engine {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::TestSchema;
using testing::TestServerConninfo;
using testing::WalkFile;
using testing::WriteFile;

struct StoreMaker {
  const char* name;
  bool server;  // needs the test server, in a schema of the test's own
  std::function<std::unique_ptr<Storage>(const std::string& conninfo)> make;
};

// Another program's connection to a SQLite file.
Connection OpenConnection(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  return Connection(db);
}

void PrintTo(const StoreMaker& store, std::ostream* out) {
  *out << store.name;
}

StoreMaker Sqlite() {
  return {"sqlite", false, [](const std::string&) { return std::make_unique<SqliteStorage>(); }};
}

StoreMaker Postgres() {
  return {"postgresql", true,
          [](const std::string& conninfo) { return std::make_unique<PgStorage>(conninfo); }};
}

std::vector<StoreMaker> Stores() {
  return {Sqlite(), Postgres()};
}

class StorageTest : public ::testing::TestWithParam<StoreMaker> {
 protected:
  void SetUp() override {
    if (GetParam().server) {
      if (TestServerConninfo().empty()) GTEST_SKIP() << "no test server (VZ_TEST_PG)";
      schema_ = std::make_unique<TestSchema>();
      ASSERT_TRUE(schema_->ok());
    }
    storage_ = GetParam().make(schema_ != nullptr ? schema_->conninfo() : "");
    entry_.name = "T";
    entry_.directory = "D:\\DATA";
    entry_.physical_name = "T";
    entry_.keys.resize(2);
    entry_.keys[0].name = "K";
    entry_.keys[0].components = {{1, 0}};
    entry_.keys[1].name = "L";
    entry_.keys[1].components = {{2, 0}};
    path_ = storage_->Locate(dir_.path(), "T");
  }

  std::unique_ptr<DataFile> Open(bool create) {
    std::unique_ptr<DataFile> file;
    std::string why;
    EXPECT_EQ(storage_->Open(path_, entry_, create, attempts_, &file, &why),
              Storage::OpenResult::kOpen)
        << why;
    return file;
  }

  // Adds a record whose bytes are `data`, with these key values.
  int64_t Add(DataFile& file, const std::string& data, const std::string& k,
              const std::string& l = "") {
    return file.Add(data, {k, l}, attempts_, false);
  }

  std::vector<std::string> Walk(DataFile& file, int key, const char* first = nullptr) {
    return WalkFile(file, key, first, attempts_);
  }

  std::unique_ptr<TestSchema> schema_;
  TempDir dir_;
  std::unique_ptr<Storage> storage_;
  FileEntry entry_;
  std::string path_;
  Attempts attempts_{2, 1};
};

TEST_P(StorageTest, KeysInByteOrderWithDuplicatesInInsertionOrder) {
  std::unique_ptr<DataFile> file = Open(true);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(Walk(*file, 0).empty());
  for (const char* key : {"b", "a", "ab", "\xFF", "a", "", "\x01", "a"}) {
    ASSERT_GT(Add(*file, std::string("rec") + std::to_string(file->Count(attempts_)), key), 0);
  }
  // By bytes, unsigned, a prefix first; equal keys by record number.
  EXPECT_EQ(Walk(*file, 0), (std::vector<std::string>{"rec5", "rec6", "rec1", "rec4", "rec7",
                                                      "rec2", "rec0", "rec3"}));
  struct Case {
    const char* value;
    const char* first;  // nullptr: nothing at or above it
  } cases[] = {{"", "rec5"},   {"\x01", "rec6"}, {"a", "rec1"},    {"aa", "rec2"},
               {"ab", "rec2"}, {"abc", "rec0"},  {"\x80", "rec3"}, {"\xFF\x01", nullptr}};
  for (const Case& c : cases) {
    std::vector<std::string> walk = Walk(*file, 0, c.value);
    EXPECT_EQ(walk.empty() ? "none" : walk.front(), c.first != nullptr ? c.first : "none")
        << c.value;
  }
  EXPECT_EQ(file->Count(attempts_), 8);
}

TEST_P(StorageTest, ReadNextGoesOnAfterADeletedOrRewrittenRecordAndInAnotherKey) {
  std::unique_ptr<DataFile> file = Open(true);
  ASSERT_NE(file, nullptr);
  const int64_t a = Add(*file, "A", "1", "z");
  const int64_t b = Add(*file, "B", "2", "y");
  Add(*file, "C", "2", "x");
  Add(*file, "D", "3", "w");
  Cursor* cursor = file->CursorOf(7);
  RecordView record;
  ReadRequest next;
  next.kind = ReadKind::kNext;
  next.key = 0;
  next.value = "2";
  next.recno = b;
  ASSERT_TRUE(file->Delete(b, attempts_, false));
  EXPECT_FALSE(file->Delete(b, attempts_, false));  // no such record any more
  ASSERT_EQ(file->Read(*cursor, next, attempts_, &record), ReadResult::kFound);
  EXPECT_EQ(record.data, "C");  // the equal key added after it
  // Rewritten with a new key, the record keeps its number and moves.
  ASSERT_TRUE(file->Modify(a, "A2", {"9", "v"}, attempts_, false));
  EXPECT_FALSE(file->Modify(b, "B2", {"0", "u"}, attempts_, false));
  next.value = "1";
  next.recno = a;
  ASSERT_EQ(file->Read(*cursor, next, attempts_, &record), ReadResult::kFound);
  EXPECT_EQ(record.data, "C");
  EXPECT_EQ(Walk(*file, 0), (std::vector<std::string>{"C", "D", "A2"}));
  EXPECT_EQ(Walk(*file, 1), (std::vector<std::string>{"A2", "D", "C"}));
  // From a position in one key, the next record in the other key's order.
  next.key = 1;
  next.value = "w";
  next.recno = 4;
  ASSERT_EQ(file->Read(*cursor, next, attempts_, &record), ReadResult::kFound);
  EXPECT_EQ(record.data, "C");
  EXPECT_EQ(record.keys[0], "2");
  EXPECT_EQ(record.keys[1], "x");
}

TEST_P(StorageTest, RecordNumbersAreNeverGivenTwiceUntilTheFileIsCleared) {
  std::unique_ptr<DataFile> file = Open(true);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Add(*file, "A", "a"), 1);
  EXPECT_EQ(Add(*file, "B", "b"), 2);
  ASSERT_TRUE(file->Delete(2, attempts_, false));
  EXPECT_EQ(Add(*file, "C", "c"), 3);  // not the deleted highest one
  file.reset();
  file = Open(false);  // and not after a close either
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Add(*file, "D", "d"), 4);
  ASSERT_TRUE(file->Clear(attempts_, false));
  EXPECT_EQ(file->Count(attempts_), 0);
  EXPECT_EQ(Add(*file, "E", "e"), 1);
}

// A reader of the file through another DataFile sees the batch at its end.
TEST_P(StorageTest, ABatchIsSeenByItsFileAndByOthersOnlyOnceEnded) {
  std::unique_ptr<DataFile> writer = Open(true);
  ASSERT_NE(writer, nullptr);
  ASSERT_GT(Add(*writer, "w", "w"), 0);
  std::unique_ptr<DataFile> reader = Open(false);
  ASSERT_NE(reader, nullptr);
  for (const char* key : {"x", "y", "z"}) {
    ASSERT_GT(writer->Add(key, {key, ""}, attempts_, true), 0);
  }
  EXPECT_EQ(Walk(*writer, 0), (std::vector<std::string>{"w", "x", "y", "z"}));
  EXPECT_EQ(reader->Count(attempts_), 1);
  ASSERT_TRUE(writer->EndBatch(attempts_));
  EXPECT_EQ(reader->Count(attempts_), 4);
  EXPECT_TRUE(writer->EndBatch(attempts_));  // none open: nothing to do
}

// Adds of a batch may be held and written many at a time: each still gets at
// once the number a plain add gives (after the highest ever given, a deleted
// one included), and every other operation of the batch sees them: reads,
// counts, rewrites and deletes of records still held, an empty-out.
TEST_P(StorageTest, AddsOfABatchAreNumberedAtOnceAndSeenByEveryOperation) {
  std::unique_ptr<DataFile> file = Open(true);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(Add(*file, "a", "a"), 1);
  ASSERT_EQ(Add(*file, "b", "b"), 2);
  ASSERT_TRUE(file->Delete(2, attempts_, false));
  std::vector<std::string> expected = {"a"};
  // Enough adds for several multi-row writes and some left over.
  constexpr int kAdds = 75;
  for (int i = 0; i < kAdds; ++i) {
    const std::string key = "k" + std::to_string(100 + i);
    ASSERT_EQ(file->Add("r" + std::to_string(i), {key, ""}, attempts_, true), 3 + i) << i;
    expected.push_back("r" + std::to_string(i));
  }
  EXPECT_EQ(file->Count(attempts_), 1 + kAdds);
  ASSERT_EQ(file->Add("held", {"k500", ""}, attempts_, true), 3 + kAdds);
  EXPECT_EQ(Walk(*file, 0, "k5"), (std::vector<std::string>{"held"}));
  ASSERT_EQ(file->Add("rewritten", {"k600", ""}, attempts_, true), 4 + kAdds);
  ASSERT_TRUE(file->Modify(4 + kAdds, "last", {"k700", ""}, attempts_, true));
  ASSERT_EQ(file->Add("gone", {"k800", ""}, attempts_, true), 5 + kAdds);
  ASSERT_TRUE(file->Delete(5 + kAdds, attempts_, true));
  ASSERT_TRUE(file->EndBatch(attempts_));
  expected.push_back("held");
  expected.push_back("last");
  EXPECT_EQ(Walk(*file, 0), expected);
  EXPECT_GT(Add(*file, "after", "k900"), 5 + kAdds);  // never a number given before

  // Emptied inside a batch, the file numbers its adds from 1 again; a
  // cancelled batch leaves nothing of its adds.
  ASSERT_TRUE(file->Clear(attempts_, true));
  ASSERT_EQ(file->Add("first", {"f", ""}, attempts_, true), 1);
  ASSERT_EQ(file->Add("second", {"g", ""}, attempts_, true), 2);
  ASSERT_TRUE(file->EndBatch(attempts_));
  EXPECT_EQ(Walk(*file, 0), (std::vector<std::string>{"first", "second"}));
  for (int i = 0; i < kAdds; ++i) {
    ASSERT_GT(file->Add("cancelled", {"h", ""}, attempts_, true), 2);
  }
  file->CancelBatch();
  EXPECT_EQ(file->Count(attempts_), 2);
}

// A search from wherever a reader stands (its cursor read ahead, stepped, or
// past its slice) finds what a fresh reader's search finds, and read next
// from there goes on as from a fresh search; across slices of any size.
TEST_P(StorageTest, SearchFromAnyPositionFindsWhatAFreshSearchFinds) {
  std::unique_ptr<DataFile> file = Open(true);
  ASSERT_NE(file, nullptr);
  // Households of 0 to 4 records, keys with shared prefixes and duplicates.
  std::vector<std::string> keys;
  unsigned seed = 7;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  for (int household = 0; household < 700; ++household) {
    const std::string code = std::to_string(100000 + household * 3);
    for (unsigned member = next() % 5; member > 0; --member)
      keys.push_back(code + "-" + std::to_string(next() % 3));
  }
  for (std::size_t i = 0; i < keys.size(); ++i) {
    ASSERT_GT(file->Add("r" + std::to_string(i), {keys[keys.size() - 1 - i], ""}, attempts_, true),
              0);
  }
  ASSERT_TRUE(file->EndBatch(attempts_));
  EXPECT_EQ(Walk(*file, 0).size(), keys.size());  // a pass across several slices

  Cursor* moving = file->CursorOf(2);
  Cursor* fresh = file->CursorOf(3);
  RecordView record;
  auto search = [&](Cursor& cursor, const std::string& value, bool at_cursor, int steps) {
    ReadRequest request;
    request.kind = ReadKind::kSearch;
    request.value = value;
    request.at_cursor = at_cursor;
    std::string found;
    std::string position;
    for (int step = 0; step <= steps; ++step) {
      if (file->Read(cursor, request, attempts_, &record) != ReadResult::kFound) {
        return found + "|end";
      }
      found += "|" + std::string(record.data);
      position.assign(record.keys[0]);
      request.kind = ReadKind::kNext;
      request.value = position;
      request.recno = record.recno;
      request.at_cursor = true;
    }
    return found;
  };
  std::string position = "0";
  for (int probe = 0; probe < 600; ++probe) {
    // Mostly a little ahead of the reader, sometimes behind or far away.
    const unsigned kind = next() % 4;
    std::string value = kind == 0 ? std::to_string(100000 + next() % 2200)
                        : kind == 1
                            ? position.substr(0, 4)
                            : std::to_string(std::stoi(position.substr(0, 6)) + next() % 12);
    if (next() % 3 == 0) value += "-" + std::to_string(next() % 3);
    const int steps = static_cast<int>(next() % 4);
    const std::string expected = search(*fresh, value, false, steps);
    file->ForgetReader(3);
    fresh = file->CursorOf(3);
    ASSERT_EQ(search(*moving, value, true, steps), expected) << value << " from " << position;
    if (expected != "|end") position = value.size() >= 6 ? value : position;
  }
}

// What only a file on disk shows: another program's lock, damaged bytes.
using SqliteStorageTest = StorageTest;

TEST_P(SqliteStorageTest, MissingAndDamagedFilesAndFailedWrites) {
  std::unique_ptr<DataFile> file;
  std::string why;
  EXPECT_EQ(storage_->Open(path_, entry_, false, attempts_, &file, &why),
            Storage::OpenResult::kMissing);
  EXPECT_FALSE(testing::FileExists(path_));  // nothing made
  file = Open(true);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->last_error(), "");
  std::vector<std::string> problems;
  EXPECT_TRUE(file->CheckIntegrity(&problems));
  EXPECT_TRUE(problems.empty());
  // Another program holds the write lock: the write is tried, then given up.
  ASSERT_GT(Add(*file, "A", "a"), 0);
  {
    Connection other = OpenConnection(path_);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(sqlite3_exec(other.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(Add(*file, "B", "b"), 0);
    EXPECT_NE(file->last_error().find("file locked"), std::string::npos) << file->last_error();
  }
  file.reset();
  WriteFile(path_, "not a database, not at all");
  why.clear();
  EXPECT_EQ(storage_->Open(path_, entry_, true, attempts_, &file, &why),
            Storage::OpenResult::kFailed);
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(ReadFile(path_), "not a database, not at all");  // left as it was
}

// Held adds of a batch that SQLite refuses when they are written (here a
// trigger of another program refuses one record) fail the add that wrote
// them and the whole batch: adds already answered are never silently lost.
TEST_P(SqliteStorageTest, HeldAddsThatCannotBeWrittenFailTheBatch) {
  std::unique_ptr<DataFile> file = Open(true);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(Add(*file, "before", "a"), 1);
  {
    Connection other = OpenConnection(path_);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(
        sqlite3_exec(other.get(),
                     "CREATE TRIGGER refuse BEFORE INSERT ON records WHEN NEW.data = x'626164' "
                     "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
  }
  ASSERT_EQ(file->Add("bad", {"b", ""}, attempts_, true), 2);  // held: numbered at once
  int refused = 0;
  for (int i = 0; i < 100; ++i) {
    if (file->Add("good", {"c", ""}, attempts_, true) == 0) ++refused;
  }
  EXPECT_GE(refused, 1);
  EXPECT_NE(file->last_error().find("write not done"), std::string::npos) << file->last_error();
  EXPECT_FALSE(file->EndBatch(attempts_));
  EXPECT_EQ(file->Count(attempts_), 1);
  EXPECT_EQ(Walk(*file, 0), (std::vector<std::string>{"before"}));
}

TEST_P(SqliteStorageTest, IntegrityCheckFindsDamagedPages) {
  std::unique_ptr<DataFile> file = Open(true);
  ASSERT_NE(file, nullptr);
  for (int i = 0; i < 400; ++i) {
    ASSERT_GT(Add(*file, std::string(300, static_cast<char>('a' + i % 26)), std::to_string(i)), 0);
  }
  file.reset();
  // The first key's index gets a page that is no b-tree page.
  std::size_t page = 0;
  std::size_t page_size = 0;
  {
    Connection db = OpenConnection(path_);
    ASSERT_NE(db, nullptr);
    Statement query = Prepare(db.get(),
                              "SELECT rootpage, (SELECT page_size FROM pragma_page_size) "
                              "FROM sqlite_master WHERE name='records_k1'");
    ASSERT_NE(query, nullptr);
    ASSERT_EQ(sqlite3_step(query.get()), SQLITE_ROW);
    page = static_cast<std::size_t>(sqlite3_column_int64(query.get(), 0));
    page_size = static_cast<std::size_t>(sqlite3_column_int64(query.get(), 1));
  }
  std::string bytes = ReadFile(path_);
  ASSERT_GE(bytes.size(), page * page_size);
  bytes[(page - 1) * page_size] = '\x07';
  WriteFile(path_, bytes);
  file = Open(false);
  ASSERT_NE(file, nullptr);
  std::vector<std::string> problems;
  EXPECT_FALSE(file->CheckIntegrity(&problems));
  EXPECT_FALSE(problems.empty());
}

std::string StoreName(const ::testing::TestParamInfo<StoreMaker>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(EveryStore, StorageTest, ::testing::ValuesIn(Stores()), StoreName);
INSTANTIATE_TEST_SUITE_P(Sqlite, SqliteStorageTest, ::testing::Values(Sqlite()), StoreName);

}  // namespace
}  // namespace vz::engine
