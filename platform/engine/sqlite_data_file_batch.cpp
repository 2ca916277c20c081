// Adds of a batch on a SQLite data file: held, then inserted many rows at a
// time. A statement that inserts one row pays its set-up, the numbering's
// high mark read and rewritten (sqlite_sequence) and its end for every record
// (an extraction adds one SELECTES record per client); one statement of
// kRowsPerInsert rows pays them once.
//
// Each held add gets its record number at once, the next after the highest
// ever given in the file (the numbering's high mark or the highest record,
// read once per batch and then counted on), and is inserted with that number:
// the numbers are those a plain insert would have given, and the high mark
// follows them. The batch holds the file's write lock, so nobody else adds
// in between. Every other operation on the file inserts the held adds first,
// so that reads, rewrites and counts see them. A failure to insert them fails
// that operation and the whole batch: its end rolls it back and fails, since
// adds already answered would be missing.
#include "platform/engine/sqlite_data_file.h"

namespace vz::engine {
namespace {

// Rows per multi-row insert: past a few dozen the statement's set-up is
// already shared out, and the held records stay a few hundred KB at most.
constexpr std::size_t kRowsPerInsert = 32;

}  // namespace

std::string SqliteDataFile::HeldInsertSql(std::size_t rows) const {
  std::string row = "(?, ?";
  for (std::size_t i = 0; i < key_rules_.size(); ++i) row += ", ?";
  row += ")";
  std::string sql = "INSERT INTO records(recno, data";
  for (std::size_t i = 0; i < key_rules_.size(); ++i) sql += ", " + SqliteKeyColumn(i);
  sql += ") VALUES" + row;
  for (std::size_t i = 1; i < rows; ++i) sql += "," + row;
  return sql;
}

bool SqliteDataFile::FindNextRecno(const Attempts& attempts) {
  Statement highest =
      Prepare(db_.get(),
              "SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE "
              "name='records'), 0), coalesce((SELECT max(recno) FROM records), 0))");
  if (highest == nullptr) {
    ReportSqlite("cannot read the highest record number", sqlite3_errcode(db_.get()));
    return false;
  }
  const int rc = StepRead(highest.get(), attempts);
  if (rc != SQLITE_ROW) {
    ReportSqlite("cannot read the highest record number", rc);
    return false;
  }
  next_recno_ = sqlite3_column_int64(highest.get(), 0) + 1;
  return true;
}

int64_t SqliteDataFile::HoldAdd(std::string_view stored, const std::vector<std::string>& keys,
                                const Attempts& attempts) {
  if (next_recno_ <= 0 && !FindNextRecno(attempts)) return 0;
  if (held_count_ == held_.size()) held_.emplace_back();
  HeldAdd& add = held_[held_count_++];
  add.recno = next_recno_++;
  add.data.assign(stored.data(), stored.size());
  add.keys.resize(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) add.keys[i].assign(keys[i]);
  const int64_t recno = add.recno;
  Wrote();
  if (held_count_ >= kRowsPerInsert && !InsertHeldAdds(attempts)) return 0;
  return recno;
}

bool SqliteDataFile::InsertHeldAdds(const Attempts& attempts) {
  if (held_count_ == 0) return true;
  EndReads();  // no read statement stays open under the write
  const bool many = held_count_ == kRowsPerInsert;
  Statement* slot = many ? &insert_held_many_ : &insert_held_one_;
  const std::string sql = *slot == nullptr ? HeldInsertSql(many ? kRowsPerInsert : 1) : "";
  sqlite3_stmt* insert = KeptStatement(slot, sql, "cannot prepare an insert");
  bool ok = insert != nullptr;
  const std::size_t per_row = 2 + key_rules_.size();
  for (std::size_t first = 0; ok && first < held_count_; first += many ? kRowsPerInsert : 1) {
    const std::size_t rows = many ? kRowsPerInsert : 1;
    for (std::size_t r = 0; r < rows; ++r) {
      const HeldAdd& add = held_[first + r];
      const int at = static_cast<int>(r * per_row) + 1;
      sqlite3_bind_int64(insert, at, add.recno);
      sqlite3_bind_blob(insert, at + 1, add.data.data(), static_cast<int>(add.data.size()),
                        SQLITE_STATIC);
      for (std::size_t i = 0; i < key_rules_.size(); ++i) {
        sqlite3_bind_blob(insert, at + 2 + static_cast<int>(i), add.keys[i].data(),
                          static_cast<int>(add.keys[i].size()), SQLITE_STATIC);
      }
    }
    const int rc = StepToEnd(insert, attempts);
    sqlite3_clear_bindings(insert);
    if (rc != SQLITE_DONE) {
      ReportSqlite(IsLockError(rc) ? "write not done: file locked" : "write not done", rc);
      ok = false;
    }
  }
  held_count_ = 0;
  if (!ok) {
    // Adds already answered with a number are lost: the batch must not
    // commit without them.
    next_recno_ = 0;
    held_failed_ = true;
  }
  return ok;
}

void SqliteDataFile::DropHeldAdds() {
  held_count_ = 0;
  next_recno_ = 0;
  held_failed_ = false;
}

}  // namespace vz::engine
