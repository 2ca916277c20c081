// Helpers for the engine's tests: a temporary folder, a record buffer built
// from field sizes and types, and a fixture with a small hand-written
// analysis (CLIENT, REVENUS, SELECTES, CHARSOC) described in one context.
//
// The fixture's files live in <temp>/DATA; the analysis is
// <temp>/HSF/vestra.wdd and places every file in "D:\VESTRA". With
// VZ_TEST_STORE=postgresql (pg_test_support.h) the files are on the test
// server instead, in a schema of the test's own; the tests that look at the
// SQLite files themselves skip there (OnServer).
#ifndef VZ_PLATFORM_ENGINE_ENGINE_TEST_SUPPORT_H_
#define VZ_PLATFORM_ENGINE_ENGINE_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/pg_test_support.h"
#include "platform/engine/storage.h"

namespace vz::engine::testing {

// A folder under the system's temporary directory, removed with its content.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
std::vector<std::string> ReadLines(const std::string& path);

// The bytes of a data file's records in the order of key `key`, from `first`
// (a search for that value when given, else the first record) to the end, by
// read next from each record found.
std::vector<std::string> WalkFile(DataFile& file, int key, const char* first,
                                  const Attempts& attempts);

// Points VZ_ENGINE_LOG at a file for the life of the object.
class ScopedEngineLog {
 public:
  explicit ScopedEngineLog(const std::string& path);
  ~ScopedEngineLog();
};

// The program's record buffer for one described file, with guard bytes after
// the described fields (filled with 0xAB) to catch reads that write too far.
class Record {
 public:
  static constexpr std::size_t kGuard = 16;
  Record(std::vector<int32_t> sizes, std::string types);

  // Calls LE_HDecritEnregistrement; `declared_size` 0 means the described size.
  int32_t Describe(int32_t ctx, const char* file, int32_t declared_size = 0);
  void Clear();  // zero bytes over the described fields
  void SetText(int field, const std::string& text);
  std::string Text(int field) const;
  void SetInt16(int field, int16_t value);
  int16_t Int16(int field) const;
  uint8_t* Field(int field);  // 1-based
  const uint8_t* Field(int field) const;
  std::size_t FieldSize(int field) const { return static_cast<std::size_t>(sizes_[field - 1]); }
  std::size_t described_size() const { return described_; }
  bool GuardIntact() const;
  uint8_t* data() { return bytes_.data(); }

 private:
  std::vector<int32_t> sizes_;
  std::string types_;
  std::vector<std::size_t> offsets_;
  std::size_t described_ = 0;
  std::vector<uint8_t> bytes_;
};

// CLIENT: 1 prefix(2) 2 number(6) 3 person(1) 4 key slot 5 name(20) 6 int16.
//   keys CODCLI 1:2 2:6 3:1 SLOT 4 ; NOMCLI 5:8 (engine only)
// REVENUS: 1 client(9) 2 rubric(5) 3 line(3) 4 amount(int16) 5 key slot.
//   key CODCLEF 1:9 2:5 3:3 SLOT 5
// SELECTES: 1 client(9) 2 postcode(5). key CODPTT 2:5 (engine only)
// CHARSOC: 1 a(4) 2 b(12) 3 c(12). key CLE 1:0 2:9 3:10 NOPAD
extern const char kTestAnalysis[];

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens a second context on the same analysis and data folder, with its own
  // buffers (described like the first), sharing the first one's store when
  // `share` is true.
  int32_t OpenSecondContext(bool share, Record* client, Record* revenus);

  // CLIENT helpers.
  static void FillClient(Record& r, const std::string& code9, const std::string& name,
                         int16_t value = 0);
  static std::string ClientCode(const Record& r);
  bool AddClient(const std::string& code9, const std::string& name, int16_t value = 0);
  bool AddRevenu(const std::string& client, const std::string& rubric, const std::string& line,
                 int16_t amount);
  int32_t Count(const char* file);
  std::string DataPath(const std::string& physical) const { return data_dir_ + "/" + physical; }

  // True when the files are on the server: a test of the SQLite files
  // themselves then skips (GTEST_SKIP).
  bool OnServer() const { return schema_ != nullptr; }
  // True when the store holds the physical file `physical` (upper case).
  bool Stored(const std::string& physical) const;

  TempDir temp_;
  std::unique_ptr<TestSchema> schema_;  // the test's schema on the server, if any
  std::string data_dir_;
  std::string analysis_path_;
  int32_t ctx_ = 0;
  Record client_{{3, 7, 2, 11, 21, 2}, "111412"};
  Record revenus_{{10, 6, 4, 2, 19}, "11124"};
  Record selectes_{{10, 6}, "11"};
  Record charsoc_{{5, 13, 13}, "111"};
};

}  // namespace vz::engine::testing

#endif  // VZ_PLATFORM_ENGINE_ENGINE_TEST_SUPPORT_H_
