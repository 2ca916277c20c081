// Writes to a data file: add, rewrite, delete, empty, count, and the batch
// transaction of bulk loads.
#include "platform/engine/data_file.h"

namespace vz::engine {

bool DataFile::BeginWrite(const Attempts& attempts, bool batch) {
  if (!EnsureTable(attempts)) return false;
  EndReads();
  if (batch && !in_batch_) {
    if (!Exec("BEGIN IMMEDIATE", attempts)) return false;
    in_batch_ = true;
  }
  return true;
}

bool DataFile::RunWrite(sqlite3_stmt* statement, const Attempts& attempts) {
  int count = AttemptCount(attempts);
  for (int attempt = 1;; ++attempt) {
    int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (rc == SQLITE_DONE) {
      ++write_count_;
      if (!in_batch_) ++*version_;
      return true;
    }
    if (!IsLockError(rc) || attempt >= count) {
      Report(IsLockError(rc) ? "write not done: file locked" : "write not done", rc);
      return false;
    }
    PauseBetweenAttempts(attempts);
  }
}

int64_t DataFile::Insert(const std::string& data, const std::vector<std::string>& keys,
                         const Attempts& attempts, bool batch) {
  if (!BeginWrite(attempts, batch)) return 0;
  if (insert_ == nullptr) {
    std::string sql = "INSERT INTO records(data";
    std::string values = "?1";
    for (std::size_t i = 1; i <= key_rules_.size(); ++i) {
      sql += Numbered(", k", i);
      values += Numbered(", ?", i + 1);
    }
    insert_ = Prepare(sql + ") VALUES(" + values + ")");
    if (insert_ == nullptr) {
      Report("cannot prepare an insert", sqlite3_errcode(db_));
      return 0;
    }
  }
  sqlite3_bind_blob(insert_, 1, data.data(), static_cast<int>(data.size()), SQLITE_STATIC);
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    sqlite3_bind_blob(insert_, static_cast<int>(i + 2), keys[i].data(),
                      static_cast<int>(keys[i].size()), SQLITE_STATIC);
  }
  bool ok = RunWrite(insert_, attempts);
  sqlite3_clear_bindings(insert_);
  return ok ? sqlite3_last_insert_rowid(db_) : 0;
}

bool DataFile::Update(int64_t recno, const std::string& data, const std::vector<std::string>& keys,
                      const Attempts& attempts, bool batch) {
  if (!BeginWrite(attempts, batch)) return false;
  if (update_ == nullptr) {
    std::string sql = "UPDATE records SET data=?1";
    for (std::size_t i = 1; i <= key_rules_.size(); ++i) {
      sql += Numbered(", k", i) + Numbered("=?", i + 1);
    }
    update_ = Prepare(sql + Numbered(" WHERE recno=?", key_rules_.size() + 2));
    if (update_ == nullptr) {
      Report("cannot prepare an update", sqlite3_errcode(db_));
      return false;
    }
  }
  sqlite3_bind_blob(update_, 1, data.data(), static_cast<int>(data.size()), SQLITE_STATIC);
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    sqlite3_bind_blob(update_, static_cast<int>(i + 2), keys[i].data(),
                      static_cast<int>(keys[i].size()), SQLITE_STATIC);
  }
  sqlite3_bind_int64(update_, static_cast<int>(key_rules_.size() + 2), recno);
  bool ok = RunWrite(update_, attempts) && sqlite3_changes(db_) == 1;
  sqlite3_clear_bindings(update_);
  return ok;
}

bool DataFile::Delete(int64_t recno, const Attempts& attempts, bool batch) {
  if (!BeginWrite(attempts, batch)) return false;
  if (delete_ == nullptr) {
    delete_ = Prepare("DELETE FROM records WHERE recno=?1");
    if (delete_ == nullptr) {
      Report("cannot prepare a delete", sqlite3_errcode(db_));
      return false;
    }
  }
  sqlite3_bind_int64(delete_, 1, recno);
  return RunWrite(delete_, attempts) && sqlite3_changes(db_) == 1;
}

bool DataFile::Clear(const Attempts& attempts, bool batch) {
  if (!BeginWrite(attempts, batch)) return false;
  bool own = !in_batch_;
  if (own && !Exec("BEGIN IMMEDIATE", attempts)) return false;
  bool ok = Exec(
      "DELETE FROM records;"
      "UPDATE sqlite_sequence SET seq=0 WHERE name='records';",
      attempts);
  if (own) {
    if (ok) ok = Exec("COMMIT", attempts);
    if (!ok) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  if (ok) {
    ++write_count_;
    ++*version_;
  }
  if (ok && needs_reindex_) ok = Reindex(nullptr, attempts);
  return ok;
}

int64_t DataFile::Count(const Attempts& attempts) {
  if (!has_table_) return 0;
  BeginReads(attempts);
  if (count_ == nullptr) {
    count_ = Prepare("SELECT count(*) FROM records");
    if (count_ == nullptr) {
      Report("cannot count the records", sqlite3_errcode(db_));
      return -1;
    }
  }
  int rc = StepRead(count_, attempts);
  int64_t count = rc == SQLITE_ROW ? sqlite3_column_int64(count_, 0) : -1;
  sqlite3_reset(count_);
  if (rc != SQLITE_ROW) Report("cannot count the records", rc);
  return count;
}

bool DataFile::CommitBatch(const Attempts& attempts) {
  if (!in_batch_) return true;
  ResetAllCursors();
  in_batch_ = false;
  if (Exec("COMMIT", attempts)) {
    ++*version_;
    // A bulk load leaves a large write-ahead log; fold it into the file now
    // so that later reads come from the mapped file, not from the log.
    sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    return true;
  }
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  return false;
}

}  // namespace vz::engine
