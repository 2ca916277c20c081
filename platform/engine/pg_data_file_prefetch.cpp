// Reading ahead of the reader: the query of the slice after a reader's
// slice is sent while the reader walks it (PQsendQueryPrepared), so that the
// server reads the next slice while the program works on the current one.
// The session has one query on the wire at most; any other statement of the
// file receives its answer first (Settle), and the answer is kept for its
// reader as long as it would read the same.
#include <algorithm>

#include "platform/engine/pg_data_file.h"

namespace vz::engine {
namespace {

// The first slice of a seek is not followed by one read ahead: a search for
// one household reads one small slice and stops there.
constexpr int kLeastSliceOfAPass = 256;

// Reads of the reader between two takings of what the server has sent of
// the slice ahead: the server fills the connection's buffer and would wait
// for the program to empty it.
constexpr int kReadsBetweenInput = 32;

}  // namespace

void PgDataFile::SendAhead(ReaderCursor& cursor) {
  if (ahead_.on_wire && ++reads_since_input_ >= kReadsBetweenInput) {
    reads_since_input_ = 0;
    PQconsumeInput(session_->conn.get());  // never waits; a fault shows in Settle
  }
  if (cursor.ahead || cursor.at_end || cursor.count == 0 || cursor.size < kLeastSliceOfAPass ||
      in_batch_ || !held_.empty() || ahead_.cursor != nullptr) {
    return;
  }
  cursor.ahead = true;  // tried once per slice, sent or not
  PGconn* conn = session_->conn.get();
  std::string name;
  const std::string sql = SliceSql(cursor.key, Query::kAfter, cursor.next_size, &name);
  if (session_->prepared.count(name) == 0) {
    PgResult prepared(PQprepare(conn, name.c_str(), sql.c_str(), 0, nullptr));
    if (!PgSucceeded(prepared.get())) return;  // the reader's own query will say why
    session_->prepared.insert(name);
  }
  const int last = cursor.count - 1;
  ahead_.after.assign(RowKey(cursor, last, cursor.key));
  ahead_.after_recno = RowRecno(cursor, last);
  PgParams params;
  params.Bytes(ahead_.after);
  params.Int64(ahead_.after_recno);
  if (PQsendQueryPrepared(conn, name.c_str(), params.count(), params.values(), params.lengths(),
                          params.formats(), 1) == 0) {
    return;
  }
  ahead_.cursor = &cursor;
  ahead_.key = cursor.key;
  ahead_.size = cursor.next_size;
  ahead_.on_wire = true;
  ahead_.rows.reset();
  ahead_.write_count = write_count_;
  ahead_.version = *version_;
  ahead_.sent_at = Clock::now();
}

void PgDataFile::Settle() {
  if (!ahead_.on_wire) return;
  ahead_.on_wire = false;
  PGconn* conn = session_->conn.get();
  PgResult answer(PQgetResult(conn));
  while (PGresult* more = PQgetResult(conn)) PQclear(more);
  // A failed query ahead (a lock, a lost session) is forgotten: the
  // reader's own query meets the fault again and reports it.
  if (PgSucceeded(answer.get())) {
    ahead_.rows = std::move(answer);
  } else {
    ahead_.cursor = nullptr;
  }
}

bool PgDataFile::TakeAhead(ReaderCursor& cursor, int key, std::string_view value, int64_t recno,
                           int size) {
  if (ahead_.cursor != &cursor) return false;
  Settle();
  const bool same = ahead_.cursor == &cursor && ahead_.key == key && ahead_.after == value &&
                    ahead_.after_recno == recno && ahead_.size == size;
  const bool fresh = ahead_.write_count == write_count_ && ahead_.version == *version_ &&
                     Clock::now() - ahead_.sent_at < kReadAheadWindow;
  if (!same || !fresh || ahead_.rows == nullptr) {
    DropAhead();
    return false;
  }
  Adopt(cursor, key, Query::kAfter, value, size, std::move(ahead_.rows));
  // As fresh as the moment the query was sent, not more.
  cursor.read_at = ahead_.sent_at;
  ahead_.cursor = nullptr;
  return true;
}

void PgDataFile::DropAhead(const ReaderCursor* cursor) {
  if (cursor != nullptr && ahead_.cursor != cursor) return;
  Settle();
  ahead_.cursor = nullptr;
  ahead_.rows.reset();
}

}  // namespace vz::engine
