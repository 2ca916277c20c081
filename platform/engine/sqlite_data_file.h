// One physical file kept in SQLite: a database holding the records of one
// file of the analysis (docs/storage.md), and the statements prepared on it.
//
//   records(recno INTEGER PRIMARY KEY AUTOINCREMENT, data BLOB, k1 BLOB, ...)
//   index records_k<i> on (k<i>, recno) for every key of the analysis
//   (in a compact file, key 1's index carries the records: sqlite_key_index.h)
//   vz_info(name, value): "format" = "1", "file", "key<i>" = the key's rule
//   ("format" = "2": the data column holds each record's compact form,
//   record_codec.h; it is expanded on read and made on write, and a record
//   that does not expand is reported as damage of the file)
//
// The DataFile contract is storage.h's. A SqliteDataFile owns its connection
// and every statement prepared on it, the read statements of each reader
// included; all are RAII handles (sqlite_handles.h), finalized before the
// connection closes. SQLite compares BLOBs with memcmp, shorter first on a
// tie, which is the interface's byte order; (k<i>, recno) keeps duplicates in
// insertion order.
//
// Reads: each reader keeps, per key, a statement for first, search and after
// (seek past a position). The statement that gave the last record stays
// open ("live"): read next steps it, and a search for a record a few steps
// ahead of it steps it too, as long as nothing was written to the file since.
// Reads share one read transaction for at most kReadWindow (see BeginReads).
// A file opened while it held no records table (an empty database) looks for
// the table again only when written through or reopened: until then its reads
// find nothing, even what another connection has added meanwhile.
//
// Inside a batch, adds are held and inserted many at a time
// (sqlite_data_file_batch.cpp); every other operation inserts them first.
//
// Single-threaded, as the whole engine: connections are opened without
// SQLite's own mutexes.
#ifndef VZ_PLATFORM_ENGINE_SQLITE_DATA_FILE_H_
#define VZ_PLATFORM_ENGINE_SQLITE_DATA_FILE_H_

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/sqlite_handles.h"
#include "platform/engine/sqlite_key_index.h"
#include "platform/engine/storage.h"

namespace vz::engine {

// How long a read transaction may run before reads start a fresh one, so
// that the writes of other processes become visible.
inline constexpr std::chrono::milliseconds kReadWindow{50};

// Lock handling shared by the data file's operations.
bool IsLockError(int rc);  // SQLITE_BUSY or SQLITE_LOCKED, extended or not
void PauseBetweenAttempts(const Attempts& attempts);
int AttemptCount(const Attempts& attempts);  // at least 1
// The kind of fault a SQLite result code stands for.
FileFault FaultOfSqlite(int rc);

class SqliteDataFile final : public DataFile {
 public:
  // Storage::Open for SQLite (SqliteStorage).
  static Storage::OpenResult Open(const std::string& path, const FileEntry& entry, bool create,
                                  const Attempts& attempts, std::unique_ptr<DataFile>* out,
                                  std::string* why);
  ~SqliteDataFile() override;

  Cursor* CursorOf(int reader) override;
  void ForgetReader(int reader) override;
  ReadResult Read(Cursor& cursor, const ReadRequest& request, const Attempts& attempts,
                  RecordView* record) override;

  int64_t Add(const std::string& data, const std::vector<std::string>& keys,
              const Attempts& attempts, bool batch) override;
  bool Modify(int64_t recno, const std::string& data, const std::vector<std::string>& keys,
              const Attempts& attempts, bool batch) override;
  bool Delete(int64_t recno, const Attempts& attempts, bool batch) override;
  bool Clear(const Attempts& attempts, bool batch) override;
  bool EndBatch(const Attempts& attempts) override;
  void CancelBatch() override;
  int64_t Count(const Attempts& attempts) override;

  bool needs_reindex() const override { return needs_reindex_; }
  bool Reindex(const RecordLayout* layout, const Attempts& attempts) override;
  bool CheckIntegrity(std::vector<std::string>* problems) override;

 private:
  // One reader's read statements. `live` is the statement whose next step
  // gives the record after the reader's, for key `live_key`; it is valid
  // while `live_write_count` equals the file's write count.
  struct ReaderCursor : Cursor {
    struct PerKey {
      Statement first;
      Statement search;
      Statement after;
    };
    std::vector<PerKey> keys;
    sqlite3_stmt* live = nullptr;
    int live_key = -1;
    uint64_t live_write_count = 0;
    std::string bound_value;  // what a live statement was bound to
    // When `has_below`: every record before the live statement's row, in
    // the order of its key, has a key value at most `below`.
    std::string below;
    bool has_below = false;
    std::string stepped_over;  // scratch of SearchAhead
    std::string expanded;      // the last record read, when the file is compact
    // The record number whose expansion `expanded` holds (0: none): a search
    // that stops on the row the reader already stands on delivers it again
    // without expanding it again.
    int64_t expanded_recno = 0;
  };
  enum class Statements { kFirst, kSearch, kAfter };

  SqliteDataFile(Connection db, std::string path, const FileEntry& entry);

  // Opening (sqlite_data_file.cpp).
  bool Configure(const Attempts& attempts, std::string* why);
  bool ReadInfo(const Attempts& attempts, std::string* why);
  // Creates the tables when the file has none yet (its first write).
  bool EnsureTable(const Attempts& attempts);
  // Writes the format, the file name and the key rules into vz_info.
  bool WriteInfo(const Attempts& attempts);
  std::string CreateSql() const;
  bool Exec(const std::string& sql, const Attempts& attempts);
  // Steps a statement to its end and rewinds it, trying again while the
  // file is locked; the last result code.
  int StepToEnd(sqlite3_stmt* statement, const Attempts& attempts);
  // StepToEnd, reporting a failure with the statement's text.
  bool RunToEnd(sqlite3_stmt* statement, const Attempts& attempts);
  // Runs `write` inside a transaction of its own unless a batch is open
  // (then inside the batch's); rolls back its own when `write` fails.
  template <typename F>
  bool InTransaction(const Attempts& attempts, F write);
  void ReportSqlite(const std::string& what, int rc);

  // Reads (sqlite_data_file_read.cpp).
  sqlite3_stmt* ReadStatement(ReaderCursor& cursor, int key, Statements kind);
  // Reads share one read transaction, kept for at most kReadWindow and ended
  // early when this process commits to the file through another connection,
  // by any write, and at close: starting a transaction for every search would
  // cost several system calls. Called before every read.
  void BeginReads(const Attempts& attempts);
  // Ends the read transaction (and every live statement).
  void EndReads();
  // Resets every live statement of every reader (before any write, so that
  // no read transaction is left open under it).
  void ResetAllCursors();
  int StepRead(sqlite3_stmt* statement, const Attempts& attempts);
  // Rewinds the cursor's live statement (none is live after) and `statement`.
  void Restart(ReaderCursor& cursor, sqlite3_stmt* statement);
  // Fills `record` from the statement's row (rc SQLITE_ROW) and makes it
  // live; otherwise ends it: false.
  // `again`: the statement still stands on the row this cursor delivered
  // last, whose expansion may then be given again.
  bool Deliver(ReaderCursor& cursor, int key, sqlite3_stmt* statement, int rc, RecordView* record,
               bool again = false);
  bool ReadFirst(ReaderCursor& cursor, const ReadRequest& request, const Attempts& attempts,
                 RecordView* record);
  bool Search(ReaderCursor& cursor, const ReadRequest& request, const Attempts& attempts,
              RecordView* record);
  // A search answered by stepping the live cursor forward from the reader's
  // record; false when it cannot be (the caller seeks).
  bool SearchAhead(ReaderCursor& cursor, const ReadRequest& request, RecordView* record,
                   bool* found);
  bool ReadNext(ReaderCursor& cursor, const ReadRequest& request, const Attempts& attempts,
                RecordView* record);

  // The record's bytes of `record` expanded into the cursor
  // (sqlite_data_file_compact.cpp); false with the damage reported when
  // they do not expand.
  bool ExpandRead(ReaderCursor& cursor, RecordView* record);

  // Reindex's steps (sqlite_data_file_reindex.cpp): the key columns made to
  // match the rules (indexes dropped), their values, their indexes.
  bool RebuildKeyColumns(const Attempts& attempts);
  bool RecomputeKeys(const RecordLayout* layout, const Attempts& attempts);
  // `carry_records`: the first key's index carries the records, as it did
  // before the rebuild (sqlite_key_index.h).
  bool RebuildKeyIndexes(bool carry_records, const Attempts& attempts);

  // Adds of a batch (sqlite_data_file_batch.cpp): held with their record
  // numbers and inserted many rows at a time. InsertHeldAdds runs before
  // every other operation on the file (true when nothing was held);
  // DropHeldAdds forgets them with the batch.
  int64_t HoldAdd(std::string_view stored, const std::vector<std::string>& keys,
                  const Attempts& attempts);
  bool InsertHeldAdds(const Attempts& attempts);
  void DropHeldAdds();
  bool FindNextRecno(const Attempts& attempts);
  std::string HeldInsertSql(std::size_t rows) const;

  // Writes (sqlite_data_file_write.cpp).
  bool BeginWrite(const Attempts& attempts, bool batch);
  bool RunWrite(sqlite3_stmt* statement, const Attempts& attempts);
  void Wrote();  // counts a committed or batched write
  // The statement kept in `slot`, prepared from `sql` on first use; null
  // (reported as `what`) when SQLite refuses it.
  sqlite3_stmt* KeptStatement(Statement* slot, const std::string& sql, const char* what);
  void BindKeys(sqlite3_stmt* statement, const std::vector<std::string>& keys, int first);

  Connection db_;                       // first: the statements below go before it
  std::vector<std::string> key_rules_;  // signatures, in analysis order
  bool has_table_ = false;
  bool needs_reindex_ = false;
  bool in_batch_ = false;
  uint64_t write_count_ = 0;
  std::shared_ptr<uint64_t> version_;  // commits to this path in the process
  uint64_t seen_version_ = 0;
  bool read_open_ = false;
  std::chrono::steady_clock::time_point read_since_;
  std::map<int, ReaderCursor> cursors_;  // by reader; nodes never move
  struct HeldAdd {
    int64_t recno = 0;
    std::string data;  // as stored
    std::vector<std::string> keys;
  };
  std::vector<HeldAdd> held_;  // the first held_count_ are held; the rest keep their storage
  std::size_t held_count_ = 0;
  int64_t next_recno_ = 0;    // the number of the next held add; 0 until read in a batch
  bool held_failed_ = false;  // held adds were lost: the batch ends rolled back
  Statement insert_held_many_;
  Statement insert_held_one_;
  Statement insert_;
  Statement update_;
  Statement delete_;
  Statement count_;
};

template <typename F>
bool SqliteDataFile::InTransaction(const Attempts& attempts, F write) {
  const bool own = !in_batch_;
  if (own && !Exec("BEGIN IMMEDIATE", attempts)) return false;
  bool ok = write();
  if (own) {
    if (ok) ok = Exec("COMMIT", attempts);
    if (!ok) sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
  return ok;
}

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_SQLITE_DATA_FILE_H_
