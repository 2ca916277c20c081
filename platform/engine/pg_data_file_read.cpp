// Reads of a PostgreSQL data file: the slice each reader reads ahead in key
// order, and the read next and searches answered from it while it is fresh.
#include <algorithm>
#include <cstring>

#include "platform/engine/pg_data_file.h"

namespace vz::engine {
namespace {

// Rows of the slice read by a seek (first, search, or read next without a
// slice), and the most a slice read after another may hold: a search for one
// household costs a small slice, a pass over the file larger and larger ones.
constexpr int kFirstSlice = 128;
constexpr int kLargestSlice = 2048;

// Columns of every read.
constexpr int kColumnRecno = 0;
constexpr int kColumnData = 1;
constexpr int kColumnFirstKey = 2;

// True when `key` sorts below `value` in byte order.
bool IsBelow(std::string_view key, std::string_view value) {
  const std::size_t common = std::min(key.size(), value.size());
  const int order = common == 0 ? 0 : std::memcmp(key.data(), value.data(), common);
  return order < 0 || (order == 0 && key.size() < value.size());
}

int Grown(int size) {
  return std::min(size * 2, kLargestSlice);
}

}  // namespace

Cursor* PgDataFile::CursorOf(int reader) {
  return &cursors_[reader];
}

void PgDataFile::ForgetReader(int reader) {
  const auto found = cursors_.find(reader);
  if (found == cursors_.end()) return;
  DropAhead(&found->second);
  cursors_.erase(found);
}

std::string_view PgDataFile::RowKey(const ReaderCursor& cursor, int row, int key) const {
  return PgBytes(cursor.rows.get(), row, kColumnFirstKey + key);
}

int64_t PgDataFile::RowRecno(const ReaderCursor& cursor, int row) const {
  return PgInt64(cursor.rows.get(), row, kColumnRecno);
}

bool PgDataFile::Fresh(const ReaderCursor& cursor, int key) const {
  return cursor.rows != nullptr && cursor.key == key && cursor.write_count == write_count_ &&
         cursor.version == *version_ && Clock::now() - cursor.read_at < kReadAheadWindow;
}

std::string PgDataFile::SliceSql(int key, Query query, int size, std::string* name) const {
  const std::string k = KeyColumn(static_cast<std::size_t>(key));
  const char* kind = query == Query::kFirst    ? "first"
                     : query == Query::kSearch ? "search"
                                               : "after";
  *name = std::string(kind) + Numbered("_", file_no_) + Numbered("_", key) + Numbered("_", size);
  std::string sql = "SELECT " + Columns() + " FROM " + Table();
  if (query == Query::kSearch) {
    sql += " WHERE " + k + " >= $1";
  } else if (query == Query::kAfter) {
    sql += " WHERE (" + k + ", recno) > ($1, $2)";
  }
  // The slice's size is part of the statement, so that the server plans the
  // walk of the key's index for it.
  sql += " ORDER BY " + k + ", recno" + Numbered(" LIMIT ", size);
  return sql;
}

void PgDataFile::Adopt(ReaderCursor& cursor, int key, Query query, std::string_view value, int size,
                       PgResult rows) {
  cursor.count = PQntuples(rows.get());
  cursor.rows = std::move(rows);
  cursor.pos = -1;
  cursor.key = key;
  cursor.size = size;
  cursor.ahead = false;
  cursor.at_end = cursor.count < size;
  cursor.write_count = write_count_;
  cursor.version = *version_;
  cursor.read_at = Clock::now();
  cursor.floor.assign(value.data(), value.size());
  // After (value, record number): records before the slice may have the
  // value itself.
  cursor.floor_strict = query != Query::kAfter;
}

bool PgDataFile::Fetch(ReaderCursor& cursor, int key, Query query, std::string_view value,
                       int64_t recno, int size, const Attempts& attempts) {
  if (query == Query::kAfter && TakeAhead(cursor, key, value, recno, size)) return true;
  if (ahead_.cursor == &cursor) DropAhead(&cursor);
  cursor.rows.reset();
  cursor.count = 0;
  cursor.pos = -1;
  std::string name;
  const std::string sql = SliceSql(key, query, size, &name);
  PgParams params;
  if (query != Query::kFirst) params.Bytes(value);
  if (query == Query::kAfter) params.Int64(recno);
  PgResult rows = Run(name, sql, params, attempts, "read failed");
  if (rows == nullptr) return false;
  Adopt(cursor, key, query, value, size, std::move(rows));
  return true;
}

bool PgDataFile::Deliver(ReaderCursor& cursor, int row, RecordView* record) {
  if (row < 0 || row >= cursor.count) {
    cursor.pos = -1;
    return false;
  }
  cursor.pos = row;
  const PGresult* rows = cursor.rows.get();
  record->recno = PgInt64(rows, row, kColumnRecno);
  record->data = PgBytes(rows, row, kColumnData);
  if (compact()) {
    if (!ExpandStored(record->recno, record->data, &cursor.expanded)) {
      cursor.pos = -1;
      return false;
    }
    record->data = cursor.expanded;
  }
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    record->keys[i] = PgBytes(rows, row, kColumnFirstKey + static_cast<int>(i));
  }
  return true;
}

ReadResult PgDataFile::Read(Cursor& base, const ReadRequest& request, const Attempts& attempts,
                            RecordView* record) {
  ReaderCursor& cursor = static_cast<ReaderCursor&>(base);
  if (!SendHeldAdds(attempts)) return ReadResult::kNone;
  bool found = false;
  switch (request.kind) {
    case ReadKind::kFirst:
      found = ReadFirst(cursor, request.key, attempts, record);
      break;
    case ReadKind::kSearch:
      found = Search(cursor, request, attempts, record);
      break;
    case ReadKind::kNext:
      found = ReadNext(cursor, request, attempts, record);
      break;
  }
  if (found) SendAhead(cursor);
  return found ? ReadResult::kFound : ReadResult::kNone;
}

bool PgDataFile::ReadFirst(ReaderCursor& cursor, int key, const Attempts& attempts,
                           RecordView* record) {
  if (!Fetch(cursor, key, Query::kFirst, "", 0, kFirstSlice, attempts)) return false;
  cursor.next_size = Grown(kFirstSlice);
  return Deliver(cursor, 0, record);
}

bool PgDataFile::Search(ReaderCursor& cursor, const ReadRequest& request, const Attempts& attempts,
                        RecordView* record) {
  const int key = request.key;
  const std::string_view value = request.value;
  int size = kFirstSlice;
  if (!Fresh(cursor, key) && cursor.rows != nullptr && cursor.key == key && cursor.count > 0 &&
      !IsBelow(value, RowKey(cursor, cursor.count - 1, key))) {
    // A pass in key order whose slice aged: it goes on at the size reached.
    size = std::max(cursor.next_size, kFirstSlice);
  } else if (Fresh(cursor, key)) {
    // The slice answers when every record before it is below the value:
    // then its first row at or above the value is the file's.
    const bool floor_below =
        cursor.floor_strict ? !IsBelow(value, cursor.floor) : IsBelow(cursor.floor, value);
    if (floor_below) {
      // The slice's rows are in key order: the first one not below the
      // value, by halving (a slice holds up to kLargestSlice rows).
      int row = 0;
      int end = cursor.count;
      while (row < end) {
        const int mid = row + (end - row) / 2;
        if (IsBelow(RowKey(cursor, mid, key), value)) {
          row = mid + 1;
        } else {
          end = mid;
        }
      }
      if (row < cursor.count || cursor.at_end) return Deliver(cursor, row, record);
      // Past the slice: a pass in key order. The slice after it, when it
      // was read ahead, holds the value's records unless it ends below it.
      const int last = cursor.count - 1;
      const std::string after(RowKey(cursor, last, key));
      size = cursor.next_size;
      if (TakeAhead(cursor, key, after, RowRecno(cursor, last), size)) {
        cursor.next_size = Grown(size);
        return Search(cursor, request, attempts, record);
      }
    }
  }
  const int next = Grown(size);
  if (!Fetch(cursor, key, Query::kSearch, value, 0, size, attempts)) return false;
  cursor.next_size = next;
  return Deliver(cursor, 0, record);
}

bool PgDataFile::ReadNext(ReaderCursor& cursor, const ReadRequest& request,
                          const Attempts& attempts, RecordView* record) {
  const int key = request.key;
  if (Fresh(cursor, key)) {
    // The position's row in the slice: the reader's own, or found again.
    int row = -1;
    auto is_position = [&](int r) {
      return RowRecno(cursor, r) == request.recno && RowKey(cursor, r, key) == request.value;
    };
    if (cursor.pos >= 0 && is_position(cursor.pos)) {
      row = cursor.pos;
    } else {
      // The first row at or after (value, record number), by halving.
      int low = 0;
      int end = cursor.count;
      while (low < end) {
        const int mid = low + (end - low) / 2;
        const std::string_view k = RowKey(cursor, mid, key);
        const bool before = IsBelow(k, request.value) ||
                            (k == request.value && RowRecno(cursor, mid) < request.recno);
        if (before) {
          low = mid + 1;
        } else {
          end = mid;
        }
      }
      if (low < cursor.count && is_position(low)) row = low;
    }
    if (row >= 0) {
      if (row + 1 < cursor.count || cursor.at_end) return Deliver(cursor, row + 1, record);
      const int size = cursor.next_size;
      if (!Fetch(cursor, key, Query::kAfter, request.value, request.recno, size, attempts)) {
        return false;
      }
      cursor.next_size = Grown(size);
      return Deliver(cursor, 0, record);
    }
  }
  // A slice that only aged (or that the file's writes dropped) while its
  // reader walked it: the walk goes on at the size it had reached.
  const bool walking = cursor.rows != nullptr && cursor.key == key && cursor.pos >= 0 &&
                       cursor.pos < cursor.count && RowRecno(cursor, cursor.pos) == request.recno &&
                       RowKey(cursor, cursor.pos, key) == request.value;
  const int size = walking ? std::max(cursor.next_size, kFirstSlice) : kFirstSlice;
  if (!Fetch(cursor, key, Query::kAfter, request.value, request.recno, size, attempts)) {
    return false;
  }
  cursor.next_size = Grown(size);
  return Deliver(cursor, 0, record);
}

}  // namespace vz::engine
