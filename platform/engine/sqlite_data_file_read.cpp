// Reads of a SQLite data file: each reader's statements, the live statement
// that read next steps, the search that steps a few records ahead instead of
// seeking, and the read transaction they share.
#include <time.h>

#include <algorithm>
#include <cstring>

#include "platform/engine/sqlite_data_file.h"

namespace vz::engine {
namespace {

using Clock = std::chrono::steady_clock;

// Columns of every read statement.
constexpr int kColumnRecno = 0;
constexpr int kColumnData = 1;
constexpr int kColumnFirstKey = 2;

// How many records a search may step over from the reader's record before it
// seeks instead: the selection searches each household's records right after
// the previous household's, a step or two further on.
constexpr int kMostStepsAhead = 4;

// The time for the read window, read from the coarse monotonic clock where
// there is one: every read asks it, and a few milliseconds of precision are
// plenty for a window of kReadWindow.
Clock::time_point ReadWindowNow() {
#ifdef CLOCK_MONOTONIC_COARSE
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) == 0) {
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(
        std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec)));
  }
#endif
  return Clock::now();
}

// True when `key` sorts below `value` in byte order.
bool IsBelow(std::string_view key, std::string_view value) {
  const std::size_t common = std::min(key.size(), value.size());
  const int order = common == 0 ? 0 : std::memcmp(key.data(), value.data(), common);
  return order < 0 || (order == 0 && key.size() < value.size());
}

// True when the row's key column sorts below `value` as the search compares
// them. A column that is not a blob is never taken as below: the search then
// seeks, as it always may.
bool IsBelow(sqlite3_stmt* statement, int column, std::string_view value) {
  if (sqlite3_column_type(statement, column) != SQLITE_BLOB) return false;
  return IsBelow(ColumnBytes(statement, column), value);
}

}  // namespace

Cursor* SqliteDataFile::CursorOf(int reader) {
  ReaderCursor& cursor = cursors_[reader];
  if (cursor.keys.size() != key_rules_.size()) cursor.keys.resize(key_rules_.size());
  return &cursor;
}

void SqliteDataFile::ForgetReader(int reader) {
  cursors_.erase(reader);
}

sqlite3_stmt* SqliteDataFile::ReadStatement(ReaderCursor& cursor, int key, Statements kind) {
  ReaderCursor::PerKey& per_key = cursor.keys[static_cast<std::size_t>(key)];
  Statement& slot = kind == Statements::kFirst    ? per_key.first
                    : kind == Statements::kSearch ? per_key.search
                                                  : per_key.after;
  if (slot == nullptr) {
    const std::string k = SqliteKeyColumn(static_cast<std::size_t>(key));
    std::string sql = "SELECT recno, data";
    for (std::size_t i = 0; i < key_rules_.size(); ++i) sql += ", " + SqliteKeyColumn(i);
    sql += " FROM records";
    if (kind == Statements::kSearch) sql += " WHERE " + k + " >= ?1";
    if (kind == Statements::kAfter) sql += " WHERE (" + k + ", recno) > (?1, ?2)";
    sql += " ORDER BY " + k + ", recno";
    slot = Prepare(db_.get(), sql, SQLITE_PREPARE_PERSISTENT);
    if (slot == nullptr) ReportSqlite("cannot prepare a read", sqlite3_errcode(db_.get()));
  }
  return slot.get();
}

void SqliteDataFile::BeginReads(const Attempts& attempts) {
  if (in_batch_) return;  // the batch transaction reads what it wrote
  if (read_open_) {
    if (seen_version_ == *version_ && ReadWindowNow() - read_since_ < kReadWindow) return;
    EndReads();
  }
  if (Exec("BEGIN", attempts)) {
    read_open_ = true;
    read_since_ = ReadWindowNow();
    seen_version_ = *version_;
  }
}

void SqliteDataFile::EndReads() {
  ResetAllCursors();
  if (read_open_) {
    sqlite3_exec(db_.get(), "COMMIT", nullptr, nullptr, nullptr);
    read_open_ = false;
  }
}

void SqliteDataFile::ResetAllCursors() {
  for (auto& [reader, cursor] : cursors_) {
    if (cursor.live != nullptr) {
      sqlite3_reset(cursor.live);
      cursor.live = nullptr;
    }
  }
}

int SqliteDataFile::StepRead(sqlite3_stmt* statement, const Attempts& attempts) {
  int count = AttemptCount(attempts);
  for (int attempt = 1;; ++attempt) {
    int rc = sqlite3_step(statement);
    if (!IsLockError(rc) || attempt >= count) return rc;
    sqlite3_reset(statement);
    PauseBetweenAttempts(attempts);
  }
}

void SqliteDataFile::Restart(ReaderCursor& cursor, sqlite3_stmt* statement) {
  if (cursor.live != nullptr) {
    sqlite3_reset(cursor.live);
    cursor.live = nullptr;
  }
  sqlite3_reset(statement);
}

bool SqliteDataFile::Deliver(ReaderCursor& cursor, int key, sqlite3_stmt* statement, int rc,
                             RecordView* record, bool again) {
  if (rc != SQLITE_ROW) {
    sqlite3_reset(statement);
    if (cursor.live == statement) cursor.live = nullptr;
    if (rc != SQLITE_DONE) ReportSqlite("read failed", rc);
    return false;
  }
  record->recno = sqlite3_column_int64(statement, kColumnRecno);
  if (compact() && again && cursor.expanded_recno == record->recno && record->recno != 0) {
    record->data = cursor.expanded;  // expanded when this row was delivered last
  } else {
    record->data = ColumnBytes(statement, kColumnData);
    if (compact() && !ExpandRead(cursor, record)) {
      sqlite3_reset(statement);
      if (cursor.live == statement) cursor.live = nullptr;
      return false;
    }
  }
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    record->keys[i] = ColumnBytes(statement, kColumnFirstKey + static_cast<int>(i));
  }
  cursor.live = statement;
  cursor.live_key = key;
  cursor.live_write_count = write_count_;
  return true;
}

ReadResult SqliteDataFile::Read(Cursor& base, const ReadRequest& request, const Attempts& attempts,
                                RecordView* record) {
  ReaderCursor& cursor = static_cast<ReaderCursor&>(base);
  if (held_count_ != 0 && !InsertHeldAdds(attempts)) return ReadResult::kNone;
  BeginReads(attempts);
  if (!has_table_) return ReadResult::kNoTable;  // an empty database
  bool found = false;
  switch (request.kind) {
    case ReadKind::kFirst:
      found = ReadFirst(cursor, request, attempts, record);
      break;
    case ReadKind::kSearch:
      found = Search(cursor, request, attempts, record);
      break;
    case ReadKind::kNext:
      found = ReadNext(cursor, request, attempts, record);
      break;
  }
  return found ? ReadResult::kFound : ReadResult::kNone;
}

bool SqliteDataFile::ReadFirst(ReaderCursor& cursor, const ReadRequest& request,
                               const Attempts& attempts, RecordView* record) {
  sqlite3_stmt* statement = ReadStatement(cursor, request.key, Statements::kFirst);
  if (statement == nullptr) return false;
  Restart(cursor, statement);
  cursor.has_below = false;
  return Deliver(cursor, request.key, statement, StepRead(statement, attempts), record);
}

bool SqliteDataFile::SearchAhead(ReaderCursor& cursor, const ReadRequest& request,
                                 RecordView* record, bool* found) {
  sqlite3_stmt* live = cursor.live;
  const int key = request.key;
  if (!request.at_cursor || live == nullptr || cursor.live_key != key ||
      cursor.live_write_count != write_count_) {
    return false;
  }
  // The live statement stands on the reader's record; every record before it
  // has a key at most that record's. So when its key is below the value, the
  // first record at or above it comes after: step to it.
  const int column = kColumnFirstKey + key;
  const std::string_view wanted = request.value;
  if (!IsBelow(live, column, wanted)) {
    // The reader's record is the first at or above the value when every
    // record before it is below: a read loop has just stopped on it.
    if (!cursor.has_below || sqlite3_column_type(live, column) != SQLITE_BLOB ||
        !IsBelow(cursor.below, wanted)) {
      return false;
    }
    *found = Deliver(cursor, key, live, SQLITE_ROW, record, /*again=*/true);
    return true;
  }
  std::string& before = cursor.stepped_over;  // the key of the last row passed
  const std::string_view current = ColumnBytes(live, column);
  before.assign(current.data(), current.size());
  for (int step = 0; step < kMostStepsAhead; ++step) {
    if (step > 0) {
      // The row stepped over is below the value: it bounds what comes next.
      const std::string_view passed = ColumnBytes(live, column);
      before.assign(passed.data(), passed.size());
    }
    const int rc = sqlite3_step(live);
    if (rc == SQLITE_DONE) {
      *found = Deliver(cursor, key, live, rc, record);  // no key at or above the value
      return true;
    }
    if (rc != SQLITE_ROW) break;
    if (sqlite3_column_type(live, column) != SQLITE_BLOB) break;
    if (!IsBelow(live, column, wanted)) {
      cursor.below.swap(before);
      cursor.has_below = true;
      *found = Deliver(cursor, key, live, rc, record);
      return true;
    }
  }
  // Too far, or the step failed: the search seeks instead (and rewinds the
  // statement, which no longer stands on the reader's record).
  sqlite3_reset(live);
  cursor.live = nullptr;
  return false;
}

bool SqliteDataFile::Search(ReaderCursor& cursor, const ReadRequest& request,
                            const Attempts& attempts, RecordView* record) {
  bool found = false;
  if (SearchAhead(cursor, request, record, &found)) return found;
  sqlite3_stmt* statement = ReadStatement(cursor, request.key, Statements::kSearch);
  if (statement == nullptr) return false;
  Restart(cursor, statement);
  cursor.has_below = false;
  // The statement keeps reading its binding while it steps: bind a copy that
  // lives as long as the statement stays live.
  cursor.bound_value.assign(request.value.data(), request.value.size());
  sqlite3_bind_blob(statement, 1, cursor.bound_value.data(),
                    static_cast<int>(cursor.bound_value.size()), SQLITE_STATIC);
  return Deliver(cursor, request.key, statement, StepRead(statement, attempts), record);
}

bool SqliteDataFile::ReadNext(ReaderCursor& cursor, const ReadRequest& request,
                              const Attempts& attempts, RecordView* record) {
  const int key = request.key;
  // The record found follows the position: the position's key bounds every
  // record before it.
  AssignKey(cursor.below, request.value);
  cursor.has_below = true;
  if (request.at_cursor && cursor.live != nullptr && cursor.live_key == key &&
      cursor.live_write_count == write_count_) {
    sqlite3_stmt* live = cursor.live;
    int rc = sqlite3_step(live);
    if (!IsLockError(rc)) return Deliver(cursor, key, live, rc, record);
  }
  sqlite3_stmt* statement = ReadStatement(cursor, key, Statements::kAfter);
  if (statement == nullptr) return false;
  Restart(cursor, statement);
  cursor.bound_value.assign(request.value.data(), request.value.size());
  sqlite3_bind_blob(statement, 1, cursor.bound_value.data(),
                    static_cast<int>(cursor.bound_value.size()), SQLITE_STATIC);
  sqlite3_bind_int64(statement, 2, request.recno);
  return Deliver(cursor, key, statement, StepRead(statement, attempts), record);
}

}  // namespace vz::engine
