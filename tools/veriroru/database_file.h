// One data file of the record engine (a SQLite database, docs/storage.md)
// opened by the tools program itself, outside the engine: integrity check,
// record count, the stored file name and format, and an online copy.
//
// A DatabaseFile owns its connection and closes it in its destructor. A
// missing file is never created: Open fails instead. Every failure is
// reported as false with a French reason; nothing here throws. Locks met on
// the file are waited for a few seconds before giving up.
#ifndef VZ_TOOLS_VERIRORU_DATABASE_FILE_H_
#define VZ_TOOLS_VERIRORU_DATABASE_FILE_H_

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vz::veriroru {

class DatabaseFile {
 public:
  enum class Mode { kReadOnly, kReadWrite };

  // REQUIRES: `path` names an existing file (else false, `why` set).
  static std::unique_ptr<DatabaseFile> Open(const std::string& path, Mode mode, std::string* why);
  ~DatabaseFile();
  DatabaseFile(const DatabaseFile&) = delete;
  DatabaseFile& operator=(const DatabaseFile&) = delete;

  sqlite3* handle() { return db_; }

  // Runs SQL without results; false and `why` on failure.
  bool Exec(const std::string& sql, std::string* why);

  // SQLite's own check of every page and index. Empty when the file is
  // sound; otherwise the problems (at most `limit`). A file SQLite cannot
  // read at all gives one problem saying why.
  std::vector<std::string> IntegrityProblems(int limit = 20);

  // The value of `name` in vz_info; nullopt when the table or row is missing.
  std::optional<std::string> Info(const std::string& name);

  bool HasRecordsTable();
  // Number of records; -1 when they cannot be counted.
  int64_t RecordCount();

 private:
  explicit DatabaseFile(sqlite3* db) : db_(db) {}
  sqlite3* db_;
};

// Copies the database at `source` into a new file `destination` through
// SQLite's online backup, so that the copy is consistent even while another
// program has the file open; the write-ahead log is folded into the copy and
// the copy is left in rollback-journal mode with no side files.
// `copied`, when given, is told the share of the pages copied so far (0 to 1)
// after each slice of `pages_per_slice` pages and once more (1) when the copy
// is complete; the copy is one consistent snapshot all the same (the source's
// read transaction is held from the first slice to the last, so writes made
// meanwhile by other programs are not in it).
inline constexpr int kPagesPerSlice = 512;  // 16 MB of 32 KB pages
bool CopyDatabase(const std::string& source, const std::string& destination, std::string* why,
                  const std::function<void(double)>& copied = nullptr,
                  int pages_per_slice = kPagesPerSlice);

// Waits until the file's bytes are on the disk; false on failure.
bool FlushToDisk(const std::string& path);

// CRC-32 (the polynomial of zip and PNG) and size of a file's bytes.
bool ChecksumFile(const std::string& path, uint32_t* crc, uint64_t* size);
uint32_t Crc32(uint32_t crc, const void* data, std::size_t size);

// "1a2b3c4d", eight lower-case hexadecimal digits.
std::string HexCrc(uint32_t crc);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_DATABASE_FILE_H_
