// One physical file kept on a PostgreSQL server (docs/shared-database.md):
// a table of records, named from the file's number in the catalogue table
//
//   vz_files(name bytea PRIMARY KEY, file_no, format, file, rules)
//   vz_r<file_no>(recno bigint identity PRIMARY KEY, data bytea, k1 bytea, ...)
//   index vz_r<file_no>_k<i> on (k<i>, recno) for every key of the analysis
//
// so that no name of the analysis or of the installation ever becomes SQL
// text. `format` says what the data column holds: 1 (kPlainFormat) each
// record's bytes, 2 (kCompactFormat) their compact form (record_codec.h),
// made on write and expanded on read; a record that does not expand is
// reported as damage of the file with its record number. Keys are never
// encoded. New files are compact unless the storage says otherwise; a file
// keeps its form. The DataFile contract is storage.h's: bytea compares as memcmp,
// shorter first on a tie, which is the interface's byte order; (k<i>, recno)
// keeps duplicates in insertion order; the identity column never gives a
// number twice and TRUNCATE ... RESTART IDENTITY starts it again at 1.
//
// Each data file owns one session (pg_connection.h), given back to the pool
// when the file closes. Every value is a bound parameter in binary form; the
// statements are prepared once per session.
//
// Reads read ahead (pg_data_file_read.cpp): each reader keeps the slice of
// records its last query returned, in the order of one key, and answers read
// next and searches from it while the slice is fresh: nothing written
// through this file since, no commit to the same file by another data file of
// the process, and read less than kReadAheadWindow ago (so that the writes of
// other sessions show within that time). A slice ends at a record; the next
// one is read after it by keyset (key value, record number), larger each
// time, so that a pass over a file costs one round trip per slice and a
// search that finds one household costs one small one. While a reader walks
// a slice of such a pass, the query of the slice after it is already sent
// (pg_data_file_prefetch.cpp): the server reads it while the program works
// on the current one. At most one query is ahead per file; any other
// statement of the file first receives its answer, which the reader then
// takes only if it would still read the same (nothing written since, within
// the read-ahead window counted from when it was sent).
//
// A session the server dropped is connected again once per statement (not
// inside a batch, whose transaction died with it): a program outlives a
// restart of the server.
//
// Locks: a statement waits at most the attempts' pause for a lock, then is
// tried again, up to the attempts' count. Writes outside a batch are one
// statement each: committed whole or not at all. A batch is one transaction;
// a write of it that fails undoes the whole batch (reported, and EndBatch
// returns false). Single-threaded, as the whole engine.
#ifndef VZ_PLATFORM_ENGINE_PG_DATA_FILE_H_
#define VZ_PLATFORM_ENGINE_PG_DATA_FILE_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/pg_connection.h"
#include "platform/engine/storage.h"

namespace vz::engine {

inline constexpr std::chrono::milliseconds kReadAheadWindow{250};

class PgDataFile final : public DataFile {
 public:
  // Storage::Open for PostgreSQL (PgStorage): `name` is the file's name in
  // the catalogue (its path).
  // `compact` is the form of the file when it is made here.
  static Storage::OpenResult Open(const std::shared_ptr<PgPool>& pool, const std::string& name,
                                  const FileEntry& entry, bool create, bool compact,
                                  const Attempts& attempts, std::unique_ptr<DataFile>* out,
                                  std::string* why);
  ~PgDataFile() override;

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
  using Clock = std::chrono::steady_clock;
  enum class Query { kFirst, kSearch, kAfter };

  // One reader's slice of records read ahead, in the order of key `key`.
  struct ReaderCursor : Cursor {
    PgResult rows;
    int count = 0;  // rows in the slice
    int pos = -1;   // the reader's row in it; -1: none
    int key = -1;
    bool at_end = false;       // nothing follows the slice's last row
    uint64_t write_count = 0;  // the file's write count when read
    uint64_t version = 0;      // the process's commits to the file when read
    Clock::time_point read_at;
    // Every record before the slice has a key below `floor` (strictly when
    // `floor_strict`, at most otherwise).
    std::string floor;
    bool floor_strict = true;
    int next_size = 0;     // rows of the next slice read after this one
    std::string expanded;  // the record delivered, when the file is compact
    int size = 0;          // the rows the slice's query asked for
    bool ahead = false;    // the query of the slice after it is sent
  };

  // The slice after a reader's slice, asked before the reader needs it.
  struct Ahead {
    ReaderCursor* cursor = nullptr;  // null: none
    int key = -1;
    std::string after;  // the slice follows (after, after_recno)
    int64_t after_recno = 0;
    int size = 0;
    bool on_wire = false;  // its answer not yet received
    PgResult rows;
    uint64_t write_count = 0;
    uint64_t version = 0;
    Clock::time_point sent_at;
  };

  PgDataFile(std::shared_ptr<PgPool> pool, std::unique_ptr<PgSession> session, std::string name,
             const FileEntry& entry, int64_t file_no);

  // Opening (pg_data_file.cpp).
  bool Find(bool create, bool* found, std::string* why);
  bool CreateFile(std::string* why);
  std::string Rules() const;
  // The table, a key column, a key's index, as SQL text.
  std::string Table() const;
  static std::string KeyColumn(std::size_t i);
  std::string KeyIndex(std::size_t i) const;
  std::string KeyIndexSql(std::size_t i) const;
  std::string Columns() const;  // recno, data, k1, ... of every read

  // Running statements (pg_data_file.cpp). `name` names the prepared
  // statement made from `sql` on this session; the result, null when it
  // failed (reported as `what`). Tried again while another session holds a
  // lock, except inside a batch.
  PgResult Run(const std::string& name, const std::string& sql, const PgParams& params,
               const Attempts& attempts, const char* what);
  // A session the server dropped (restarted, network cut) is connected
  // again, outside a batch: true when it was. The statements prepared on it
  // are prepared again on first use.
  bool Reconnect(const Attempts& attempts);
  // A statement without parameters, not kept.
  bool Exec(const std::string& sql, const Attempts& attempts, const char* what);
  void ReportPg(const std::string& what, const PGresult* result);

  // Every record of a compact file expands; the damaged ones into `problem`.
  bool CheckRecordsExpand(const std::function<void(std::string)>& problem);

  // Reads (pg_data_file_read.cpp).
  bool Fresh(const ReaderCursor& cursor, int key) const;
  // The statement of a slice: its SQL text and prepared name into `name`.
  std::string SliceSql(int key, Query query, int size, std::string* name) const;
  // Makes `rows`, the answer to `query` of `size` rows, the cursor's slice.
  void Adopt(ReaderCursor& cursor, int key, Query query, std::string_view value, int size,
             PgResult rows);
  // Reads a slice of `size` rows into the cursor; false when the query failed.
  bool Fetch(ReaderCursor& cursor, int key, Query query, std::string_view value, int64_t recno,
             int size, const Attempts& attempts);
  bool Deliver(ReaderCursor& cursor, int row, RecordView* record);
  bool ReadFirst(ReaderCursor& cursor, int key, const Attempts& attempts, RecordView* record);
  bool Search(ReaderCursor& cursor, const ReadRequest& request, const Attempts& attempts,
              RecordView* record);
  bool ReadNext(ReaderCursor& cursor, const ReadRequest& request, const Attempts& attempts,
                RecordView* record);
  // Reading ahead (pg_data_file_prefetch.cpp). SendAhead sends the query of
  // the slice after the cursor's, when it walks a pass (and, called on each
  // read, takes in what the server has sent of it meanwhile); Settle receives the
  // answer of a query sent (before any other statement of the session);
  // TakeAhead makes it the cursor's slice when it is the slice after
  // (value, recno) of `size` rows and still as fresh as a read now; DropAhead
  // forgets it (the one of `cursor` only, when given).
  void SendAhead(ReaderCursor& cursor);
  void Settle();
  bool TakeAhead(ReaderCursor& cursor, int key, std::string_view value, int64_t recno, int size);
  void DropAhead(const ReaderCursor* cursor = nullptr);
  std::string_view RowKey(const ReaderCursor& cursor, int row, int key) const;
  int64_t RowRecno(const ReaderCursor& cursor, int row) const;

  // Adds of a batch (pg_data_file_batch.cpp): each takes a record number
  // reserved from the table's sequence and is held, then the held adds go
  // to the server in one statement when they are many, and before any other
  // statement of the file (a read sees them, the commit includes them). A
  // held add that fails fails the batch, whose end reports it.
  struct HeldAdd {
    int64_t recno = 0;
    std::string data;
    std::vector<std::string> keys;
  };
  int64_t HoldAdd(const std::string& data, const std::vector<std::string>& keys,
                  const Attempts& attempts);
  bool SendHeldAdds(const Attempts& attempts);
  void DropHeldAdds();

  // Writes (pg_data_file_write.cpp).
  bool BeginWrite(const Attempts& attempts, bool batch);
  void Wrote();
  bool RecomputeKeys(const RecordLayout* layout, const Attempts& attempts);
  // After a batch that added many records: the table made ready for reading.
  void TidyAfterBatch();

  std::shared_ptr<PgPool> pool_;
  std::unique_ptr<PgSession> session_;
  std::string name_;
  std::vector<std::string> key_rules_;
  int64_t file_no_ = 0;
  bool needs_reindex_ = false;
  bool in_batch_ = false;
  bool batch_failed_ = false;
  int64_t batch_added_ = 0;  // records the open batch sent to the server
  uint64_t write_count_ = 0;
  std::shared_ptr<uint64_t> version_;
  std::map<int, ReaderCursor> cursors_;
  Ahead ahead_;
  int reads_since_input_ = 0;
  std::vector<HeldAdd> held_;
  std::vector<int64_t> reserved_;  // record numbers taken for this batch, not yet used
  std::size_t next_reserved_ = 0;
};

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_PG_DATA_FILE_H_
