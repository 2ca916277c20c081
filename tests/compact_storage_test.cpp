// Records stored compactly change no output: on a generated installation the
// selection and the extraction of three saved queries write the same selection
// and merge files, byte for byte, before and after `vzdata compact`, and
// `vzdata expand` gives back the records' bytes as they were stored.
//
// The runs are driven in this process (the selection run and the extraction
// dispatch over the recording screen runtime), as the query list runs them.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/engine/record_codec.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/selection/selection_run_test_support.h"
#include "tests/support/file_bytes.h"
#include "tools/datatool/demo_installation.h"
#include "tools/datatool/installation.h"
#include "tools/datatool/record_form_migration.h"

namespace vz {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;  // name -> bytes

// The saved queries run: an income criterion, an estate one, an identity one.
const char* const kQueries[] = {"01000001", "01000002", "01000003"};

// The stored form ("1" or "2") and every record (number and data column as
// stored) of a data file, one text.
std::string StoredRecords(const fs::path& path, std::string* format) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  std::string out;
  sqlite3_stmt* row = nullptr;
  sqlite3_prepare_v2(db, "SELECT value FROM vz_info WHERE name='format'", -1, &row, nullptr);
  if (row != nullptr && sqlite3_step(row) == SQLITE_ROW) {
    *format = reinterpret_cast<const char*>(sqlite3_column_text(row, 0));
  }
  sqlite3_finalize(row);
  sqlite3_prepare_v2(db, "SELECT recno, data FROM records ORDER BY recno", -1, &row, nullptr);
  while (row != nullptr && sqlite3_step(row) == SQLITE_ROW) {
    const char* data = static_cast<const char*>(sqlite3_column_blob(row, 1));
    out += std::to_string(sqlite3_column_int64(row, 0)) + ":" +
           std::string(data != nullptr ? data : "",
                       static_cast<std::size_t>(sqlite3_column_bytes(row, 1))) +
           "\n";
  }
  sqlite3_finalize(row);
  sqlite3_close(db);
  return out;
}

class CompactStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vz_compact_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    datatool::DemoInstallationOptions options;
    options.data.clients = 400;
    options.data.seed = 5;
    options.data.queries = true;
    datatool::GenerateStats stats;
    std::string error;
    ASSERT_TRUE(datatool::CreateDemoInstallation((folder_ / "suite").string(), options, nullptr,
                                                 &stats, &error))
        << error;
    ASSERT_TRUE(datatool::LocateInstallation((folder_ / "suite").string(), &installation_, &error))
        << error;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  fs::path Data() const { return installation_.data_directory; }

  // Runs the selection then the extraction of each query; their files.
  Files RunQueries() {
    Files outputs;
    selection::SelectionTestDatabase db(installation_.analysis_file, Data());
    for (const char* query : kQueries) {
      fs::remove(Data() / (std::string(query) + ".EXT"));
      fs::remove(Data() / (std::string(query) + ".MEM"));
      EXPECT_TRUE(db.RunWithinStepLimit(query)) << query;
      outputs::RunExtractionDispatch(query);
      for (const char* suffix : {".EXT", ".MEM"}) {
        const std::string name = std::string(query) + suffix;
        outputs[name] = vz::testing::FileBytes(Data() / name);
        EXPECT_FALSE(outputs[name].empty()) << name;
      }
    }
    return outputs;
  }

  // The stored records of every data file that the runs do not write (the
  // query file and the per-query files of the extraction are rewritten by
  // every run), and whether each is in `format`.
  Files RecordsOfClientFiles(const std::string& format) {
    Files records;
    for (const fs::directory_entry& entry : fs::directory_iterator(Data())) {
      const std::string name = entry.path().filename().string();
      if (entry.path().extension() != ".vzdb" || name == "REQUETES.vzdb" ||
          (name[0] >= '0' && name[0] <= '9')) {
        continue;
      }
      std::string stored_format;
      records[name] = StoredRecords(entry.path(), &stored_format);
      EXPECT_EQ(stored_format, format) << name;
    }
    return records;
  }

  void Migrate(engine::RecordForm form) {
    std::ostringstream out, errors;
    std::string error;
    EXPECT_TRUE(datatool::MigrateRecordForm(installation_, form, out, errors, &error))
        << error << "\n"
        << errors.str();
  }

  fs::path folder_;
  datatool::Installation installation_;
};

TEST_F(CompactStorageTest, SelectionAndMergeFilesAreTheSameOnCompactRecords) {
  const Files plain_outputs = RunQueries();
  const Files plain_records = RecordsOfClientFiles(engine::kPlainFormat);
  ASSERT_GT(plain_records.at("REVENUS.vzdb").size(), 0U);

  Migrate(engine::RecordForm::kCompact);
  const Files compact_records = RecordsOfClientFiles(engine::kCompactFormat);
  EXPECT_LT(compact_records.at("REVENUS.vzdb").size(), plain_records.at("REVENUS.vzdb").size());
  const Files compact_outputs = RunQueries();
  for (const auto& [name, bytes] : plain_outputs) {
    EXPECT_TRUE(compact_outputs.at(name) == bytes) << name << " differs on compact records";
  }

  Migrate(engine::RecordForm::kPlain);
  EXPECT_TRUE(RecordsOfClientFiles(engine::kPlainFormat) == plain_records)
      << "the records' bytes are not given back";
  EXPECT_TRUE(RunQueries() == plain_outputs);
}

}  // namespace
}  // namespace vz
