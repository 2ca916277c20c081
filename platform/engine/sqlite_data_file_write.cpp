// Writes to a SQLite data file: add, rewrite, delete, empty, count, and the
// batch transaction of bulk loads.
#include "platform/engine/sqlite_data_file.h"

namespace vz::engine {

bool SqliteDataFile::BeginWrite(const Attempts& attempts, bool batch) {
  if (!EnsureTable(attempts)) return false;
  EndReads();
  if (batch && !in_batch_) {
    if (!Exec("BEGIN IMMEDIATE", attempts)) return false;
    in_batch_ = true;
  }
  return true;
}

void SqliteDataFile::Wrote() {
  ++write_count_;
  if (!in_batch_) ++*version_;
}

bool SqliteDataFile::RunWrite(sqlite3_stmt* statement, const Attempts& attempts) {
  const int rc = StepToEnd(statement, attempts);
  if (rc == SQLITE_DONE) {
    Wrote();
    return true;
  }
  ReportSqlite(IsLockError(rc) ? "write not done: file locked" : "write not done", rc);
  return false;
}

sqlite3_stmt* SqliteDataFile::KeptStatement(Statement* slot, const std::string& sql,
                                            const char* what) {
  if (*slot == nullptr) {
    *slot = Prepare(db_.get(), sql, SQLITE_PREPARE_PERSISTENT);
    if (*slot == nullptr) ReportSqlite(what, sqlite3_errcode(db_.get()));
  }
  return slot->get();
}

void SqliteDataFile::BindKeys(sqlite3_stmt* statement, const std::vector<std::string>& keys,
                              int first) {
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    sqlite3_bind_blob(statement, first + static_cast<int>(i), keys[i].data(),
                      static_cast<int>(keys[i].size()), SQLITE_STATIC);
  }
}

int64_t SqliteDataFile::Add(const std::string& data, const std::vector<std::string>& keys,
                            const Attempts& attempts, bool batch) {
  if (!BeginWrite(attempts, batch)) return 0;
  if (in_batch_) return HoldAdd(Stored(data), keys, attempts);
  std::string sql;
  if (insert_ == nullptr) {
    std::string values = "?1";
    sql = "INSERT INTO records(data";
    for (std::size_t i = 0; i < key_rules_.size(); ++i) {
      sql += ", " + SqliteKeyColumn(i);
      values += Numbered(", ?", i + 2);
    }
    sql += ") VALUES(" + values + ")";
  }
  sqlite3_stmt* insert = KeptStatement(&insert_, sql, "cannot prepare an insert");
  if (insert == nullptr) return 0;
  const std::string_view stored = Stored(data);
  sqlite3_bind_blob(insert, 1, stored.data(), static_cast<int>(stored.size()), SQLITE_STATIC);
  BindKeys(insert, keys, 2);
  bool ok = RunWrite(insert, attempts);
  sqlite3_clear_bindings(insert);
  return ok ? sqlite3_last_insert_rowid(db_.get()) : 0;
}

bool SqliteDataFile::Modify(int64_t recno, const std::string& data,
                            const std::vector<std::string>& keys, const Attempts& attempts,
                            bool batch) {
  if (!InsertHeldAdds(attempts) || !BeginWrite(attempts, batch)) return false;
  std::string sql;
  if (update_ == nullptr) {
    sql = "UPDATE records SET data=?1";
    for (std::size_t i = 0; i < key_rules_.size(); ++i) {
      sql += ", " + SqliteKeyColumn(i) + Numbered("=?", i + 2);
    }
    sql += Numbered(" WHERE recno=?", key_rules_.size() + 2);
  }
  sqlite3_stmt* update = KeptStatement(&update_, sql, "cannot prepare an update");
  if (update == nullptr) return false;
  const std::string_view stored = Stored(data);
  sqlite3_bind_blob(update, 1, stored.data(), static_cast<int>(stored.size()), SQLITE_STATIC);
  BindKeys(update, keys, 2);
  sqlite3_bind_int64(update, static_cast<int>(key_rules_.size() + 2), recno);
  bool ok = RunWrite(update, attempts) && sqlite3_changes(db_.get()) == 1;
  sqlite3_clear_bindings(update);
  return ok;
}

bool SqliteDataFile::Delete(int64_t recno, const Attempts& attempts, bool batch) {
  if (!InsertHeldAdds(attempts) || !BeginWrite(attempts, batch)) return false;
  sqlite3_stmt* remove =
      KeptStatement(&delete_, "DELETE FROM records WHERE recno=?1", "cannot prepare a delete");
  if (remove == nullptr) return false;
  sqlite3_bind_int64(remove, 1, recno);
  return RunWrite(remove, attempts) && sqlite3_changes(db_.get()) == 1;
}

bool SqliteDataFile::Clear(const Attempts& attempts, bool batch) {
  if (!InsertHeldAdds(attempts) || !BeginWrite(attempts, batch)) return false;
  next_recno_ = 0;  // numbering starts again
  bool ok = InTransaction(attempts, [&] {
    return Exec(
        "DELETE FROM records;"
        "UPDATE sqlite_sequence SET seq=0 WHERE name='records';",
        attempts);
  });
  if (ok) {
    ++write_count_;
    ++*version_;
  }
  if (ok && needs_reindex_) ok = Reindex(nullptr, attempts);
  return ok;
}

int64_t SqliteDataFile::Count(const Attempts& attempts) {
  if (!InsertHeldAdds(attempts)) return -1;
  if (!has_table_) return 0;
  BeginReads(attempts);
  sqlite3_stmt* count =
      KeptStatement(&count_, "SELECT count(*) FROM records", "cannot count the records");
  if (count == nullptr) return -1;
  int rc = StepRead(count, attempts);
  int64_t records = rc == SQLITE_ROW ? sqlite3_column_int64(count, 0) : -1;
  sqlite3_reset(count);
  if (rc != SQLITE_ROW) ReportSqlite("cannot count the records", rc);
  return records;
}

bool SqliteDataFile::EndBatch(const Attempts& attempts) {
  if (!in_batch_) return true;
  // Held adds that could not be written were reported when they failed.
  const bool held_inserted = InsertHeldAdds(attempts) && !held_failed_;
  DropHeldAdds();
  ResetAllCursors();
  in_batch_ = false;
  if (held_inserted && Exec("COMMIT", attempts)) {
    ++*version_;
    // A bulk load leaves a large write-ahead log; fold it into the file now
    // so that later reads come from the file, not from the log.
    sqlite3_wal_checkpoint_v2(db_.get(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    return true;
  }
  sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  return false;
}

}  // namespace vz::engine

namespace vz::engine {

void SqliteDataFile::CancelBatch() {
  if (!in_batch_) return;
  DropHeldAdds();
  ResetAllCursors();
  in_batch_ = false;
  sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  // The tables a first write made inside the batch are gone with it.
  std::string why;
  ReadInfo(Attempts{}, &why);
  ++write_count_;
}

}  // namespace vz::engine
