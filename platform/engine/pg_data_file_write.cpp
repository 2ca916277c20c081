// Writes to a PostgreSQL data file: add, rewrite, delete, empty, count, the
// batch transaction, and the rebuilding of the key columns after the
// analysis's key rules changed.
#include "platform/engine/pg_data_file.h"
#include "platform/engine/record_layout.h"

namespace vz::engine {
namespace {

constexpr int kReindexSlice = 512;

// A batch that added at least this many records (a copy to the server, a
// restore, a large import) leaves the table tidied (TidyAfterBatch).
constexpr int64_t kTidyAfterAdds = 5000;

}  // namespace

bool PgDataFile::BeginWrite(const Attempts& attempts, bool batch) {
  if (batch && !in_batch_) {
    if (!Exec("BEGIN", attempts, "cannot begin a batch")) return false;
    in_batch_ = true;
    batch_failed_ = false;
    batch_added_ = 0;
  }
  if (in_batch_ && batch_failed_) {
    Report("write not done: an earlier write of the batch failed and the batch is undone");
    return false;
  }
  return true;
}

void PgDataFile::Wrote() {
  ++write_count_;
  if (!in_batch_) ++*version_;
}

int64_t PgDataFile::Add(const std::string& data, const std::vector<std::string>& keys,
                        const Attempts& attempts, bool batch) {
  if (!BeginWrite(attempts, batch)) return 0;
  if (in_batch_) return HoldAdd(data, keys, attempts);
  std::string sql = "INSERT INTO " + Table() + "(data";
  std::string values = "$1";
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    sql += ", " + KeyColumn(i);
    values += Numbered(", $", static_cast<long long>(i + 2));
  }
  sql += ") VALUES(" + values + ") RETURNING recno";
  PgParams params;
  params.Bytes(Stored(data));
  for (std::size_t i = 0; i < key_rules_.size(); ++i) params.Bytes(keys[i]);
  PgResult added = Run(Numbered("add_", file_no_), sql, params, attempts, "write not done");
  if (added == nullptr || PQntuples(added.get()) != 1) return 0;
  Wrote();
  return PgInt64(added.get(), 0, 0);
}

bool PgDataFile::Modify(int64_t recno, const std::string& data,
                        const std::vector<std::string>& keys, const Attempts& attempts,
                        bool batch) {
  if (!SendHeldAdds(attempts) || !BeginWrite(attempts, batch)) return false;
  std::string sql = "UPDATE " + Table() + " SET data = $1";
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    sql += ", " + KeyColumn(i) + Numbered(" = $", static_cast<long long>(i + 2));
  }
  sql += Numbered(" WHERE recno = $", static_cast<long long>(key_rules_.size() + 2));
  PgParams params;
  params.Bytes(Stored(data));
  for (std::size_t i = 0; i < key_rules_.size(); ++i) params.Bytes(keys[i]);
  params.Int64(recno);
  PgResult updated = Run(Numbered("modify_", file_no_), sql, params, attempts, "write not done");
  if (updated == nullptr) return false;
  Wrote();
  return std::string_view(PQcmdTuples(updated.get())) == "1";
}

bool PgDataFile::Delete(int64_t recno, const Attempts& attempts, bool batch) {
  if (!SendHeldAdds(attempts) || !BeginWrite(attempts, batch)) return false;
  PgParams params;
  params.Int64(recno);
  PgResult deleted =
      Run(Numbered("delete_", file_no_), "DELETE FROM " + Table() + " WHERE recno = $1", params,
          attempts, "write not done");
  if (deleted == nullptr) return false;
  Wrote();
  return std::string_view(PQcmdTuples(deleted.get())) == "1";
}

bool PgDataFile::Clear(const Attempts& attempts, bool batch) {
  DropHeldAdds();  // emptied anyway
  if (!BeginWrite(attempts, batch)) return false;
  if (!Exec("TRUNCATE " + Table() + " RESTART IDENTITY", attempts, "file not emptied")) {
    return false;
  }
  ++write_count_;
  if (!in_batch_) ++*version_;
  if (needs_reindex_) return Reindex(nullptr, attempts);
  return true;
}

bool PgDataFile::EndBatch(const Attempts& attempts) {
  if (!in_batch_) return true;
  SendHeldAdds(attempts);  // a failure fails the batch
  DropHeldAdds();
  const bool failed = batch_failed_;
  in_batch_ = false;
  batch_failed_ = false;
  ++write_count_;
  if (failed) {
    PgResult(PQexec(session_->conn.get(), "ROLLBACK"));
    Report("batch undone: one of its writes failed");
    return false;
  }
  if (!Exec("COMMIT", attempts, "batch not committed")) {
    PgResult(PQexec(session_->conn.get(), "ROLLBACK"));
    return false;
  }
  ++*version_;
  if (batch_added_ >= kTidyAfterAdds) TidyAfterBatch();
  return true;
}

void PgDataFile::TidyAfterBatch() {
  // Freshly written rows carry no commit hints and the planner knows nothing
  // of the table: the first reader would otherwise rewrite every page it
  // reads (the hints) and walk a cold table. VACUUM sets the hints and the
  // visibility map, ANALYZE gives the planner the table's figures. Only the
  // table's owner may do it; for another role the server merely warns (a
  // notice, dropped). Nothing of the records changes, so a failure here is
  // no failure of the batch.
  PgResult(PQexec(session_->conn.get(), ("VACUUM (ANALYZE) " + Table()).c_str()));
}

void PgDataFile::CancelBatch() {
  DropHeldAdds();
  if (!in_batch_) return;
  in_batch_ = false;
  batch_failed_ = false;
  ++write_count_;
  PgResult(PQexec(session_->conn.get(), "ROLLBACK"));
  ++*version_;
}

int64_t PgDataFile::Count(const Attempts& attempts) {
  if (!SendHeldAdds(attempts)) return -1;
  PgParams none;
  PgResult count = Run(Numbered("count_", file_no_), "SELECT count(*) FROM " + Table(), none,
                       attempts, "cannot count the records");
  if (count == nullptr) return -1;
  return PgInt64(count.get(), 0, 0);
}

bool PgDataFile::Reindex(const RecordLayout* layout, const Attempts& attempts) {
  if (!SendHeldAdds(attempts)) return false;
  if (layout != nullptr && layout->key_count() != key_rules_.size()) return false;
  const bool own = !in_batch_;
  if (own && !Exec("BEGIN", attempts, "keys not rebuilt")) return false;
  // Every key column and index made again from the rules: the records
  // themselves (recno, data) never change.
  std::string sql = "LOCK TABLE " + Table() + " IN EXCLUSIVE MODE";
  bool ok = Exec(sql, attempts, "keys not rebuilt");
  if (ok) {
    const std::string table_name = Numbered("vz_r", file_no_);
    PgParams table;
    table.Bytes(table_name);
    PgResult columns(PQexecParams(session_->conn.get(),
                                  "SELECT column_name FROM information_schema.columns "
                                  "WHERE table_name = $1 AND table_schema = current_schema() "
                                  "AND column_name LIKE 'k%'",
                                  1, nullptr, table.values(), table.lengths(), table.formats(), 1));
    ok = PgSucceeded(columns.get());
    for (int row = 0; ok && row < PQntuples(columns.get()); ++row) {
      const std::string column(PgBytes(columns.get(), row, 0));
      ok = Exec("ALTER TABLE " + Table() + " DROP COLUMN " + PgName(column), attempts,
                "keys not rebuilt");
    }
  }
  for (std::size_t i = 0; ok && i < key_rules_.size(); ++i) {
    ok = Exec("ALTER TABLE " + Table() + " ADD COLUMN " + KeyColumn(i) +
                  " bytea NOT NULL DEFAULT ''::bytea",
              attempts, "keys not rebuilt");
  }
  ok = ok && RecomputeKeys(layout, attempts);
  for (std::size_t i = 0; ok && i < key_rules_.size(); ++i) {
    ok = Exec(KeyIndexSql(i), attempts, "keys not rebuilt");
  }
  if (ok) {
    const std::string rule_text = Rules();
    PgParams rules;
    rules.Bytes(rule_text);
    rules.Int64(file_no_);
    PgResult stored(PQexecParams(session_->conn.get(),
                                 "UPDATE vz_files SET rules = $1 WHERE file_no = $2", 2, nullptr,
                                 rules.values(), rules.lengths(), rules.formats(), 1));
    ok = PgSucceeded(stored.get());
  }
  if (own) {
    ok = ok && Exec("COMMIT", attempts, "keys not rebuilt");
    if (!ok) PgResult(PQexec(session_->conn.get(), "ROLLBACK"));
  }
  // The statements prepared on the old columns no longer hold.
  DropAhead();
  PgResult(PQexec(session_->conn.get(), "DEALLOCATE ALL"));
  session_->prepared.clear();
  cursors_.clear();
  ++write_count_;
  if (ok) {
    needs_reindex_ = false;
    ++*version_;
  } else {
    Report("keys differ from the analysis and could not be rebuilt");
  }
  return ok;
}

// A slice of records at a time, in record-number order.
bool PgDataFile::RecomputeKeys(const RecordLayout* layout, const Attempts& attempts) {
  if (key_rules_.empty()) return true;
  std::string update = "UPDATE " + Table() + " SET ";
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    update += (i > 0 ? ", " : "") + KeyColumn(i) + Numbered(" = $", static_cast<long long>(i + 1));
  }
  update += Numbered(" WHERE recno = $", static_cast<long long>(key_rules_.size() + 1));
  const std::string select = "SELECT recno, data FROM " + Table() +
                             " WHERE recno > $1 ORDER BY recno" +
                             Numbered(" LIMIT ", kReindexSlice);
  int64_t last = 0;
  std::vector<uint8_t> record(layout != nullptr ? layout->record_size() : 0);
  std::vector<std::string> keys(key_rules_.size());
  std::string expanded;
  for (;;) {
    PgParams after;
    after.Int64(last);
    PgResult slice =
        Run(Numbered("reindex_read_", file_no_), select, after, attempts, "keys not rebuilt");
    if (slice == nullptr) return false;
    const int rows = PQntuples(slice.get());
    if (rows == 0) return true;
    if (layout == nullptr) return false;  // records are stored but nobody described them
    for (int row = 0; row < rows; ++row) {
      std::string_view data = PgBytes(slice.get(), row, 1);
      if (compact()) {
        if (!ExpandStored(PgInt64(slice.get(), row, 0), data, &expanded)) return false;
        data = expanded;
      }
      layout->GiveRecord(reinterpret_cast<const uint8_t*>(data.data()), data.size(), record.data());
      PgParams params;
      for (std::size_t i = 0; i < key_rules_.size(); ++i) {
        layout->BuildKey(i, record.data(), &keys[i]);
        params.Bytes(keys[i]);
      }
      last = PgInt64(slice.get(), row, 0);
      params.Int64(last);
      if (Run(Numbered("reindex_write_", file_no_), update, params, attempts, "keys not rebuilt") ==
          nullptr) {
        return false;
      }
    }
  }
}

}  // namespace vz::engine
