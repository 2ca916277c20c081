// Files rewritten in the compact form and back: what the engine reads stays
// the same bytes, record numbers and order; new writes follow the file's
// form; a damaged compact record is reported as damage of the file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/first_key_index_test_support.h"
#include "platform/engine/le_api.h"
#include "platform/engine/record_codec.h"
#include "platform/engine/sqlite_record_form.h"
#include "platform/engine/sqlite_storage.h"
#include "platform/engine/store_copy.h"

namespace vz::engine::testing {
namespace {

struct Row {
  int64_t recno;
  std::string data;
  bool operator==(const Row&) const = default;
};

// The data column of every record, in record-number order, as stored.
std::vector<Row> StoredRows(const std::string& path) {
  std::vector<Row> rows;
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* select = nullptr;
  sqlite3_prepare_v2(db, "SELECT recno, data FROM records ORDER BY recno", -1, &select, nullptr);
  while (select != nullptr && sqlite3_step(select) == SQLITE_ROW) {
    const char* data = static_cast<const char*>(sqlite3_column_blob(select, 1));
    rows.push_back({sqlite3_column_int64(select, 0),
                    std::string(data != nullptr ? data : "",
                                static_cast<std::size_t>(sqlite3_column_bytes(select, 1)))});
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
  return rows;
}

bool ExecOn(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

class RecordFormTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (OnServer()) GTEST_SKIP() << "the SQLite files themselves";
    for (int i = 1; i <= 30; ++i) {
      const std::string client = "010000" + std::to_string(10 + i) + "1";
      ASSERT_TRUE(AddClient(client, "NOM" + std::to_string(i), static_cast<int16_t>(i)));
      ASSERT_TRUE(AddRevenu(client, "40000", "001", static_cast<int16_t>(i % 3 == 0 ? 0 : i)));
      ASSERT_TRUE(AddRevenu(client, "40000", "002", 0));
    }
    // The highest number deleted: it must never be given again.
    ASSERT_EQ(LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "01000040140000002", 0), 1);
    ASSERT_EQ(LE_Hsupprime(ctx_, "REVENUS", 0), 1);
    LE_Hferme(ctx_, "");
  }

  // Every record of REVENUS in key order as the engine reads it.
  std::vector<Row> EngineRows() {
    std::vector<Row> rows;
    for (int found = LE_Hlitpremier(ctx_, "REVENUS", "CODCLEF", 0); found == 1;
         found = LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0)) {
      LE_Hinfogene(ctx_, "REVENUS");
      rows.push_back({LE_Hnumenr(ctx_), std::string(reinterpret_cast<char*>(revenus_.data()),
                                                    revenus_.described_size())});
    }
    return rows;
  }

  RecordFormChange Change(const std::string& file, RecordForm form, bool carry_records = true) {
    RecordFormChange change;
    std::string why;
    EXPECT_TRUE(ChangeRecordForm(DataPath(file), form, &change, &why, carry_records)) << why;
    EXPECT_FALSE(FileExists(RecordFormWorkPath(DataPath(file))));
    return change;
  }
};

TEST_F(RecordFormTest, CompactThenPlainKeepsEveryRecordByteForByte) {
  const std::vector<Row> stored = StoredRows(DataPath("REVENUS.vzdb"));
  const std::vector<Row> read = EngineRows();
  ASSERT_EQ(read.size(), 59U);
  LE_Hferme(ctx_, "");

  const RecordFormChange compacted = Change("REVENUS.vzdb", RecordForm::kCompact);
  EXPECT_TRUE(compacted.changed);
  EXPECT_EQ(compacted.records, 59);
  const std::vector<Row> compact_rows = StoredRows(DataPath("REVENUS.vzdb"));
  ASSERT_EQ(compact_rows.size(), stored.size());
  for (std::size_t i = 0; i < stored.size(); ++i) {
    EXPECT_EQ(compact_rows[i].recno, stored[i].recno);
    EXPECT_LT(compact_rows[i].data.size(), stored[i].data.size());
  }
  EXPECT_EQ(EngineRows(), read);  // same bytes, same numbers, same key order
  EXPECT_FALSE(Change("REVENUS.vzdb", RecordForm::kCompact).changed);  // already compact

  // Writes to a compact file: a new record takes the next number, never
  // the deleted one, and a rewritten record reads back as written.
  ASSERT_TRUE(AddRevenu("010000099", "40000", "001", 7));
  LE_Hinfogene(ctx_, "REVENUS");
  EXPECT_EQ(LE_Hnumenr(ctx_), 61);
  revenus_.SetInt16(4, 1234);
  ASSERT_EQ(LE_Hmodifie(ctx_, "REVENUS", 0), 1);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "010000099", 0), 1);
  EXPECT_EQ(revenus_.Int16(4), 1234);
  ASSERT_EQ(LE_Hsupprime(ctx_, "REVENUS", 0), 1);
  LE_Hferme(ctx_, "");

  EXPECT_TRUE(Change("REVENUS.vzdb", RecordForm::kPlain).changed);
  EXPECT_EQ(StoredRows(DataPath("REVENUS.vzdb")), stored);
  EXPECT_EQ(EngineRows(), read);
}

TEST_F(RecordFormTest, FilesNeverWrittenAndUnknownFilesAreLeftAlone) {
  WriteFile(DataPath("EMPTY.vzdb"), "");
  RecordFormChange change;
  std::string why;
  EXPECT_TRUE(ChangeRecordForm(DataPath("EMPTY.vzdb"), RecordForm::kCompact, &change, &why));
  EXPECT_FALSE(change.changed);
  EXPECT_FALSE(ChangeRecordForm(DataPath("NONE.vzdb"), RecordForm::kCompact, &change, &why));
  WriteFile(DataPath("JUNK.vzdb"), std::string(4096, 'x'));
  EXPECT_FALSE(ChangeRecordForm(DataPath("JUNK.vzdb"), RecordForm::kCompact, &change, &why));
  EXPECT_EQ(ReadFile(DataPath("JUNK.vzdb")), std::string(4096, 'x'));
  ASSERT_TRUE(ExecOn(DataPath("CLIENT.vzdb"), "UPDATE vz_info SET value='9' WHERE name='format'"));
  EXPECT_FALSE(ChangeRecordForm(DataPath("CLIENT.vzdb"), RecordForm::kCompact, &change, &why));
  EXPECT_NE(why.find("unknown format 9"), std::string::npos) << why;
}

TEST_F(RecordFormTest, ALeftOverWorkFileIsReplacedAndTheOldFileKeptOnFailure) {
  const std::string path = DataPath("REVENUS.vzdb");
  WriteFile(RecordFormWorkPath(path), "half a file from a killed run");
  Change("REVENUS.vzdb", RecordForm::kCompact);
  // A damaged compact record stops the way back: the compact file stays.
  ASSERT_TRUE(ExecOn(path, "UPDATE records SET data=x'01FF' WHERE recno=5"));
  const std::vector<Row> before = StoredRows(path);
  RecordFormChange change;
  std::string why;
  EXPECT_FALSE(ChangeRecordForm(path, RecordForm::kPlain, &change, &why));
  EXPECT_NE(why.find("damaged compact record"), std::string::npos) << why;
  EXPECT_EQ(StoredRows(path), before);
  EXPECT_FALSE(FileExists(RecordFormWorkPath(path)));
}

TEST_F(RecordFormTest, ADamagedCompactRecordIsDamageOfTheFile) {
  Change("REVENUS.vzdb", RecordForm::kCompact);
  ASSERT_TRUE(ExecOn(DataPath("REVENUS.vzdb"), "UPDATE records SET data=x'07' WHERE recno=2"));
  ASSERT_EQ(LE_Hlitpremier(ctx_, "REVENUS", "CODCLEF", 0), 1);  // record 1 is sound
  LE_ClearFileError(ctx_);
  EXPECT_EQ(LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0), 0);
  char name[64], path[512], why[512];
  EXPECT_EQ(LE_LastFileError(ctx_, name, sizeof name, path, sizeof path, why, sizeof why), 2);
  EXPECT_STREQ(name, "REVENUS");
  EXPECT_STREQ(why, "record 2: damaged compact record (unknown version)");
}

// A rewrite killed at any moment leaves the file either as it was or
// rewritten whole, and the next run finishes the work.
TEST_F(RecordFormTest, AKilledRewriteLeavesTheOldFileOrTheNewOne) {
  LE_BeginBatch(ctx_);
  for (int i = 0; i < 3000; ++i) {
    ASSERT_TRUE(AddRevenu("0200" + std::to_string(10000 + i), "40000", "001", 5));
  }
  LE_EndBatch(ctx_);
  LE_Hferme(ctx_, "");
  const std::string path = DataPath("REVENUS.vzdb");
  const std::vector<Row> plain = StoredRows(path);
  for (int delay_ms : {0, 1, 3, 6, 10, 20, 40}) {
    SCOPED_TRACE(delay_ms);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RecordFormChange change;
      std::string why;
      _exit(ChangeRecordForm(path, RecordForm::kCompact, &change, &why) ? 0 : 1);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::vector<Row> now = StoredRows(path);
    ASSERT_EQ(now.size(), plain.size());
    std::string expanded;
    for (std::size_t i = 0; i < now.size(); ++i) {
      if (now[i].data != plain[i].data) {
        ASSERT_EQ(ExpandRecord(now[i].data, &expanded), CompactFault::kNone);
        now[i].data = expanded;
      }
    }
    EXPECT_EQ(now, plain);
    // Back to the plain form for the next kill; the left-over file goes.
    RecordFormChange change;
    std::string why;
    ASSERT_TRUE(ChangeRecordForm(path, RecordForm::kPlain, &change, &why)) << why;
    EXPECT_FALSE(FileExists(RecordFormWorkPath(path)));
    EXPECT_EQ(StoredRows(path), plain);
  }
}

// A read loop stops on the next client's first record; a search for that
// client then gives the record's bytes again, whatever the program wrote into
// the buffer meanwhile, and the bytes written when the record itself was
// rewritten in between.
TEST_F(RecordFormTest, ASearchOnTheRecordALoopStoppedOnGivesItsBytesAgain) {
  const std::vector<Row> read = EngineRows();
  LE_Hferme(ctx_, "");
  Change("REVENUS.vzdb", RecordForm::kCompact);
  const auto buffer = [this] {
    return std::string(reinterpret_cast<char*>(revenus_.data()), revenus_.described_size());
  };
  // The first two clients hold two records each, in key order.
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "010000111", 0), 1);
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0), 1);
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0), 1);
  ASSERT_EQ(buffer(), read[2].data);
  revenus_.SetInt16(4, 4321);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "010000121", 0), 1);
  EXPECT_EQ(buffer(), read[2].data);

  ASSERT_EQ(LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0), 1);
  ASSERT_EQ(LE_Hlitsuivant(ctx_, "REVENUS", "CODCLEF", 0), 1);
  ASSERT_EQ(buffer(), read[4].data);
  revenus_.SetInt16(4, 1234);
  ASSERT_EQ(LE_Hmodifie(ctx_, "REVENUS", 0), 1);
  const std::string rewritten = buffer();
  ASSERT_NE(rewritten, read[4].data);
  revenus_.SetInt16(4, 99);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "010000131", 0), 1);
  EXPECT_EQ(buffer(), rewritten);
}

// Keys computed by other rules are rebuilt from the expanded records.
TEST_F(RecordFormTest, KeysOfACompactFileAreRebuiltFromItsRecords) {
  const std::vector<Row> read = EngineRows();
  LE_Hferme(ctx_, "");
  Change("REVENUS.vzdb", RecordForm::kCompact);
  ASSERT_TRUE(ExecOn(DataPath("REVENUS.vzdb"),
                     "UPDATE vz_info SET value='OTHER 1:1' WHERE name='key1';"
                     "UPDATE records SET k1=x'00'"));
  EXPECT_EQ(EngineRows(), read);
  // The rebuild keeps the first key's index carrying the records.
  LE_Hferme(ctx_, "");
  EXPECT_TRUE(FirstKeyIndexCarries(DataPath("REVENUS.vzdb")));
  EXPECT_EQ(EngineRows(), read);
}

// The first key's index of a compact file carries the records or not, as
// asked; a file already compact is reshaped in place. Reads in key order and
// searches give the same records either way, and writes reach the copy.
TEST_F(RecordFormTest, TheFirstKeyIndexCarriesTheRecordsAsAskedAndReadsStayTheSame) {
  const std::string path = DataPath("REVENUS.vzdb");
  const std::vector<Row> read = EngineRows();
  LE_Hferme(ctx_, "");
  EXPECT_TRUE(Change("REVENUS.vzdb", RecordForm::kCompact, /*carry_records=*/false).changed);
  EXPECT_FALSE(FirstKeyIndexCarries(path));
  const std::vector<Row> compact = StoredRows(path);
  EXPECT_EQ(EngineRows(), read);
  LE_Hferme(ctx_, "");

  const RecordFormChange reshaped = Change("REVENUS.vzdb", RecordForm::kCompact);
  EXPECT_FALSE(reshaped.changed);
  EXPECT_TRUE(reshaped.index_rebuilt);
  EXPECT_TRUE(FirstKeyIndexCarries(path));
  EXPECT_EQ(StoredRows(path), compact);  // the records themselves untouched
  EXPECT_EQ(EngineRows(), read);
  const RecordFormChange again = Change("REVENUS.vzdb", RecordForm::kCompact);
  EXPECT_FALSE(again.changed || again.index_rebuilt);

  // A rewrite that keeps the key, one that moves the record to another
  // client, and an add: the copy in the index follows each.
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "010000121", 0), 1);
  revenus_.SetInt16(4, 777);
  ASSERT_EQ(LE_Hmodifie(ctx_, "REVENUS", 0), 1);
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "010000131", 0), 1);
  std::memcpy(revenus_.data() + 1, "010000999", 9);  // after its length byte
  ASSERT_EQ(LE_Hmodifie(ctx_, "REVENUS", 0), 1);
  ASSERT_TRUE(AddRevenu("010000005", "40000", "001", 5));
  LE_Hferme(ctx_, "");
  const std::vector<Row> written = EngineRows();
  LE_Hferme(ctx_, "");
  ASSERT_EQ(written.size(), read.size() + 1);
  EXPECT_EQ(written.front().data.substr(1, 9), "010000005");
  EXPECT_EQ(written.back().data.substr(1, 9), "010000999");
  ASSERT_EQ(LE_Hlitrecherche(ctx_, "REVENUS", "CODCLEF", "010000121", 0), 1);
  EXPECT_EQ(revenus_.Int16(4), 777);
  LE_Hferme(ctx_, "");

  // Back to the plain form: the short index again, the same records.
  Change("REVENUS.vzdb", RecordForm::kPlain);
  EXPECT_FALSE(FirstKeyIndexCarries(path));
  EXPECT_EQ(EngineRows(), written);
  LE_Hferme(ctx_, "");
  const RecordFormChange compacted = Change("REVENUS.vzdb", RecordForm::kCompact);
  EXPECT_TRUE(compacted.changed);
  EXPECT_TRUE(FirstKeyIndexCarries(path));
  EXPECT_EQ(EngineRows(), written);
}

// A copy to another store gives the records' bytes, not their compact form.
TEST_F(RecordFormTest, ACopyOfACompactFileHoldsThePlainBytes) {
  const std::vector<Row> stored = StoredRows(DataPath("REVENUS.vzdb"));
  Change("REVENUS.vzdb", RecordForm::kCompact);
  AnalysisError error;
  const std::optional<Analysis> analysis = LoadAnalysis(analysis_path_, &error);
  ASSERT_TRUE(analysis.has_value()) << error.message;
  SqliteStorage storage;
  int64_t records = 0;
  std::string why;
  ASSERT_TRUE(CopyStoredFile(storage, DataPath("REVENUS.vzdb"), storage, DataPath("COPY.vzdb"),
                             *analysis->FindFile("REVENUS"), &records, &why))
      << why;
  EXPECT_EQ(records, 59);
  const std::vector<Row> copied = StoredRows(DataPath("COPY.vzdb"));
  ASSERT_EQ(copied.size(), stored.size());
  for (std::size_t i = 0; i < copied.size(); ++i) EXPECT_EQ(copied[i].data, stored[i].data) << i;
}

}  // namespace
}  // namespace vz::engine::testing
