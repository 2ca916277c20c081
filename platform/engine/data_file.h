// One open physical file: a SQLite database holding the records of one file of
// the analysis (docs/storage.md), and the prepared statements used on it.
//
//   records(recno INTEGER PRIMARY KEY AUTOINCREMENT, data BLOB, k1 BLOB, ...)
//   index records_k<i> on (k<i>, recno) for every key of the analysis
//   vz_info(name, value): "format" = "1", "file", "key<i>" = the key's rule
//
// A DataFile owns its connection and every statement prepared on it,
// including the read statements of each context using it (CursorSet); the
// destructor commits an open batch transaction, finalizes every statement and
// closes the connection. Contexts keep raw pointers to a DataFile and to their
// CursorSet and must drop them when the shared store closes the file.
//
// Every SQLite call that meets a lock (BUSY/LOCKED) is tried again up to
// Attempts::count times with a short sleep between attempts; what still fails
// is reported in the call log and returned as a failure, never shown.
#ifndef VZ_PLATFORM_ENGINE_DATA_FILE_H_
#define VZ_PLATFORM_ENGINE_DATA_FILE_H_

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"
#include "platform/engine/record_layout.h"

namespace vz::engine {

struct Attempts {
  int count = 10;
  int sleep_ms = 20;
};

// One context's read statements on one file. `live` is the statement whose
// next step gives the record after the current one, for key `live_key`; it is
// valid while `live_write_count` equals the file's write count.
struct CursorSet {
  struct PerKey {
    sqlite3_stmt* first = nullptr;
    sqlite3_stmt* search = nullptr;
    sqlite3_stmt* after = nullptr;
  };
  std::vector<PerKey> keys;
  sqlite3_stmt* live = nullptr;
  int live_key = -1;
  uint64_t live_write_count = 0;
};

// How long a read transaction may run before reads start a fresh one, so
// that the writes of other processes become visible.
inline constexpr std::chrono::milliseconds kReadWindow{50};

enum class ReadKind { kFirst, kSearch, kAfter };

// Columns of every read statement.
inline constexpr int kColumnRecno = 0;
inline constexpr int kColumnData = 1;
inline constexpr int kColumnFirstKey = 2;

// Lock handling shared by the data file's operations.
bool IsLockError(int rc);  // SQLITE_BUSY or SQLITE_LOCKED, extended or not
void PauseBetweenAttempts(const Attempts& attempts);
int AttemptCount(const Attempts& attempts);  // at least 1

class DataFile {
 public:
  enum class OpenResult { kOpen, kMissing, kFailed };

  // Opens the database at `path` for the file `entry`. With `create` false a
  // missing file gives kMissing and nothing is created. kFailed means the file
  // exists but cannot be used (damaged, not ours, unreadable); `why` says why.
  static OpenResult Open(const std::string& path, const FileEntry& entry, bool create,
                         const Attempts& attempts, std::unique_ptr<DataFile>* out,
                         std::string* why);
  ~DataFile();
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  const std::string& path() const { return path_; }
  const std::string& file() const { return file_; }
  bool has_table() const { return has_table_; }
  bool needs_reindex() const { return needs_reindex_; }
  uint64_t write_count() const { return write_count_; }
  bool in_batch() const { return in_batch_; }

  // Creates the tables when the file has none yet (its first write).
  bool EnsureTable(const Attempts& attempts);
  // Recomputes every record's key columns with `layout` after the analysis's
  // key rules changed. `layout` may be null when the file holds no record.
  bool Reindex(const RecordLayout* layout, const Attempts& attempts);

  // The read statements of context `context_id` (made on first use).
  CursorSet* Cursors(int context_id);
  void DropCursors(int context_id);
  // REQUIRES: key < the analysis's key count. Null when SQLite refuses.
  sqlite3_stmt* ReadStatement(CursorSet* cursors, int key, ReadKind kind);
  // Resets every live statement of every context (before any write, so that
  // no read transaction is left open under it).
  void ResetAllCursors();
  // Reads share one read transaction, kept for at most kReadWindow and ended
  // early when this process commits to the file through another connection,
  // by any write, and at close: starting a transaction for every search would
  // cost several system calls. Call before every read.
  void BeginReads(const Attempts& attempts);
  // Ends the read transaction (and every live statement).
  void EndReads();
  // Steps a read statement, trying again while the file is locked.
  int StepRead(sqlite3_stmt* statement, const Attempts& attempts);

  // Writes. Insert returns the new record number, 0 on failure.
  int64_t Insert(const std::string& data, const std::vector<std::string>& keys,
                 const Attempts& attempts, bool batch);
  // False also when no record has that number.
  bool Update(int64_t recno, const std::string& data, const std::vector<std::string>& keys,
              const Attempts& attempts, bool batch);
  bool Delete(int64_t recno, const Attempts& attempts, bool batch);
  // Removes every record; numbering starts again at 1.
  bool Clear(const Attempts& attempts, bool batch);
  // Number of records, -1 on failure.
  int64_t Count(const Attempts& attempts);

  // Commits the batch transaction, if one is open.
  bool CommitBatch(const Attempts& attempts);

  // Writes a LE_ERROR line naming this file.
  void Report(const std::string& what, int rc) const;

 private:
  DataFile(sqlite3* db, std::string path, const FileEntry& entry);
  bool Configure(const Attempts& attempts, std::string* why);
  bool ReadInfo(const Attempts& attempts, std::string* why);
  bool Exec(const char* sql, const Attempts& attempts);
  sqlite3_stmt* Prepare(const std::string& sql);
  bool BeginWrite(const Attempts& attempts, bool batch);
  bool RunWrite(sqlite3_stmt* statement, const Attempts& attempts);
  std::string SelectColumns() const;
  std::string CreateSql() const;
  std::string InfoSql() const;

  sqlite3* db_;
  std::string path_;
  std::string file_;
  std::vector<std::string> key_rules_;  // signatures, in analysis order
  bool has_table_ = false;
  bool needs_reindex_ = false;
  bool in_batch_ = false;
  uint64_t write_count_ = 0;
  std::shared_ptr<uint64_t> version_;  // commits to this path in the process
  uint64_t seen_version_ = 0;
  bool read_open_ = false;
  std::chrono::steady_clock::time_point read_since_;
  std::map<int, CursorSet> cursors_;
  sqlite3_stmt* insert_ = nullptr;
  sqlite3_stmt* update_ = nullptr;
  sqlite3_stmt* delete_ = nullptr;
  sqlite3_stmt* count_ = nullptr;
};

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_DATA_FILE_H_
