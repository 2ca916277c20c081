// The form of the records of the server's files: new files keep each
// record's compact form (format 2) and give back the exact bytes, whatever
// wrote them (one add, a batch, a rewrite); files of format 1 are read and
// written plain as before; a stored value that does not expand is reported
// as damage of the file with its record number, by a read and by the check.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/engine_test_support.h"
#include "platform/engine/pg_connection.h"
#include "platform/engine/pg_storage.h"
#include "platform/engine/pg_test_support.h"
#include "platform/engine/record_codec.h"

namespace vz::engine {
namespace {

using testing::TestSchema;
using testing::TestServerConninfo;
using testing::WalkFile;

// Records as the rubric files hold them: mostly zeros and blanks.
std::vector<std::string> SampleRecords() {
  std::string rubric(20000, '\0');
  rubric.replace(0, 8, "C0001234");
  rubric.replace(100, 30, std::string(30, ' '));
  rubric.replace(19990, 4, "FIN.");
  std::string trailing = "DUPONT";
  trailing.append(500, '\0');
  return {"A", "", rubric, trailing, std::string(300, ' ') + "x", std::string(64, '\x01')};
}

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

class PgRecordFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestServerConninfo().empty()) GTEST_SKIP() << "no test server (VZ_TEST_PG)";
    schema_ = std::make_unique<TestSchema>();
    ASSERT_TRUE(schema_->ok());
    entry_.name = "T";
    entry_.physical_name = "T";
    entry_.keys.resize(1);
    entry_.keys[0].name = "K";
    entry_.keys[0].components = {{1, 0}};
  }

  std::unique_ptr<DataFile> Open(PgStorage& storage) {
    std::unique_ptr<DataFile> file;
    std::string why;
    EXPECT_EQ(storage.Open("T", entry_, true, attempts_, &file, &why), Storage::OpenResult::kOpen)
        << why;
    return file;
  }

  // The first value of `sql` on the server, as text; "" when it fails.
  std::string Value(const std::string& sql) {
    PgConnection conn(PQconnectdb(schema_->conninfo().c_str()));
    PgResult result(PQexec(conn.get(), sql.c_str()));
    EXPECT_TRUE(PgSucceeded(result.get())) << sql << ": " << PgError(result.get(), conn.get());
    if (!PgSucceeded(result.get()) || PQntuples(result.get()) == 0) return "";
    return PQgetvalue(result.get(), 0, 0);
  }

  // Every record, in key order then record number (the key is the record's
  // first byte, or "" for an empty record).
  std::vector<std::string> Walk(DataFile& file) { return WalkFile(file, 0, nullptr, attempts_); }

  // Adds the sample records: the first half one by one, the rest in a batch;
  // then rewrites the first with its own bytes. Returns them in key order.
  std::vector<std::string> AddSamples(DataFile& file) {
    const std::vector<std::string> records = SampleRecords();
    for (std::size_t i = 0; i < records.size(); ++i) {
      const bool batch = i >= records.size() / 2;
      EXPECT_GT(file.Add(records[i], {records[i].substr(0, 1)}, attempts_, batch), 0) << i;
    }
    EXPECT_TRUE(file.EndBatch(attempts_));
    EXPECT_TRUE(file.Modify(1, records[0], {records[0].substr(0, 1)}, attempts_, false));
    std::vector<std::string> ordered = records;
    std::stable_sort(
        ordered.begin(), ordered.end(),
        [](const std::string& a, const std::string& b) { return a.substr(0, 1) < b.substr(0, 1); });
    return ordered;
  }

  std::unique_ptr<TestSchema> schema_;
  FileEntry entry_;
  Attempts attempts_{3, 20};
};

TEST_F(PgRecordFormTest, NewFilesAreCompactAndGiveBackTheExactBytes) {
  PgStorage storage(schema_->conninfo());
  std::unique_ptr<DataFile> file = Open(storage);
  ASSERT_NE(file, nullptr);
  const std::vector<std::string> expected = AddSamples(*file);
  EXPECT_EQ(Walk(*file), expected);
  EXPECT_EQ(Value("SELECT format FROM vz_files"), kCompactFormat);
  // The rubric record (the third added) is stored in its compact form, its
  // key plainly.
  std::string compact;
  CompactRecord(SampleRecords()[2], &compact);
  EXPECT_EQ(Value("SELECT encode(data, 'hex') FROM vz_r1 WHERE recno = 3"), Hex(compact));
  EXPECT_LT(compact.size(), 100u);
  EXPECT_EQ(Value("SELECT encode(k1, 'hex') FROM vz_r1 WHERE recno = 3"), Hex("C"));
  // Another program reading the same file sees the same bytes.
  PgStorage other(schema_->conninfo());
  std::unique_ptr<DataFile> again = Open(other);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(Walk(*again), expected);
  std::vector<std::string> problems;
  EXPECT_TRUE(again->CheckIntegrity(&problems)) << ::testing::PrintToString(problems);
}

TEST_F(PgRecordFormTest, FilesOfFormatOneStayPlain) {
  PgStorage plain(schema_->conninfo());
  plain.set_compact_new_files(false);
  std::unique_ptr<DataFile> file = Open(plain);
  ASSERT_NE(file, nullptr);
  const std::vector<std::string> expected = AddSamples(*file);
  file.reset();
  EXPECT_EQ(Value("SELECT format FROM vz_files"), kPlainFormat);
  // A program whose new files are compact reads and writes this one plain.
  PgStorage storage(schema_->conninfo());
  file = Open(storage);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Walk(*file), expected);
  const std::string late = std::string(2000, '\0') + "late";
  const int64_t recno = file->Add(late, {"z"}, attempts_, false);
  ASSERT_GT(recno, 0);
  EXPECT_EQ(Value("SELECT encode(data, 'hex') FROM vz_r1 WHERE recno = " + std::to_string(recno)),
            Hex(late));
  EXPECT_EQ(Value("SELECT format FROM vz_files"), kPlainFormat);
  // A form the engine does not know is refused, never read as records.
  ASSERT_TRUE(schema_->Exec("UPDATE vz_files SET format = 3"));
  std::unique_ptr<DataFile> unknown;
  std::string why;
  EXPECT_EQ(storage.Open("T", entry_, false, attempts_, &unknown, &why),
            Storage::OpenResult::kFailed);
  EXPECT_NE(why.find("format"), std::string::npos) << why;
}

TEST_F(PgRecordFormTest, AValueThatDoesNotExpandIsDamageOfItsRecord) {
  PgStorage storage(schema_->conninfo());
  std::unique_ptr<DataFile> file = Open(storage);
  ASSERT_NE(file, nullptr);
  for (const char* data : {"A1", "B2", "C3"}) {
    ASSERT_GT(file->Add(data, {std::string(data, 1)}, attempts_, false), 0);
  }
  // A length cut off, an unknown version, a run beyond the record's length.
  for (const char* damage : {"'\\x01ff'", "'\\x07'", "'\\x010211'"}) {
    ASSERT_TRUE(schema_->Exec(std::string("UPDATE vz_r1 SET data = ") + damage +
                              "::bytea WHERE recno = 2"));
    std::unique_ptr<DataFile> reader = Open(storage);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(Walk(*reader), std::vector<std::string>{"A1"}) << damage;
    EXPECT_NE(reader->last_error().find("record 2: damaged compact record"), std::string::npos)
        << damage << ": " << reader->last_error();
    std::vector<std::string> problems;
    EXPECT_FALSE(reader->CheckIntegrity(&problems)) << damage;
    ASSERT_EQ(problems.size(), 1u) << damage;
    EXPECT_NE(problems[0].find("record 2: damaged compact record"), std::string::npos)
        << problems[0];
  }
}

}  // namespace
}  // namespace vz::engine
