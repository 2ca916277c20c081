// Rebuilding a file's key columns after the analysis's key rules changed. The
// records themselves (recno, data) are never touched; only the computed key
// columns, their indexes and the stored rules are.
#include <cstdlib>
#include <set>

#include "platform/engine/data_file.h"

namespace vz::engine {

bool DataFile::Reindex(const RecordLayout* layout, const Attempts& attempts) {
  if (!has_table_) {
    needs_reindex_ = false;
    return true;
  }
  if (layout != nullptr && layout->key_count() != key_rules_.size()) return false;
  EndReads();
  bool own = !in_batch_;
  if (own && !Exec("BEGIN IMMEDIATE", attempts)) return false;

  bool ok = true;
  std::set<std::string> columns;
  std::vector<std::string> indexes;
  sqlite3_stmt* statement = Prepare("SELECT name FROM pragma_table_info('records')");
  ok = statement != nullptr;
  while (ok && StepRead(statement, attempts) == SQLITE_ROW) {
    columns.insert(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
  }
  sqlite3_finalize(statement);
  statement = Prepare(
      "SELECT name FROM sqlite_master WHERE type='index' AND tbl_name='records' "
      "AND name LIKE 'records_k%'");
  ok = ok && statement != nullptr;
  while (ok && StepRead(statement, attempts) == SQLITE_ROW) {
    indexes.push_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
  }
  sqlite3_finalize(statement);
  for (const std::string& index : indexes) {
    ok = ok && Exec(("DROP INDEX \"" + index + "\"").c_str(), attempts);
  }
  for (const std::string& column : columns) {
    if (column.size() < 2 || column[0] != 'k') continue;
    std::size_t number = std::strtoul(column.c_str() + 1, nullptr, 10);
    if (number == 0 || number > key_rules_.size()) {
      ok = ok && Exec(("ALTER TABLE records DROP COLUMN \"" + column + "\"").c_str(), attempts);
    }
  }
  for (std::size_t i = 1; i <= key_rules_.size(); ++i) {
    std::string k = Numbered("k", i);
    if (columns.count(k) == 0) {
      ok =
          ok && Exec(("ALTER TABLE records ADD COLUMN " + k + " BLOB NOT NULL DEFAULT x''").c_str(),
                     attempts);
    }
  }

  // Recompute the keys, a slice of records at a time, so that no read is
  // pending on the table while it is written.
  if (ok && !key_rules_.empty()) {
    std::string sql = "UPDATE records SET ";
    for (std::size_t i = 1; i <= key_rules_.size(); ++i) {
      sql += Numbered(i > 1 ? ", k" : "k", i) + Numbered("=?", i);
    }
    sql += Numbered(" WHERE recno=?", key_rules_.size() + 1);
    sqlite3_stmt* select =
        Prepare("SELECT recno, data FROM records WHERE recno > ?1 ORDER BY recno LIMIT 512");
    sqlite3_stmt* update = Prepare(sql);
    ok = select != nullptr && update != nullptr;
    int64_t last = 0;
    std::vector<std::pair<int64_t, std::string>> slice;
    std::vector<uint8_t> record(layout != nullptr ? layout->record_size() : 0);
    std::string key;
    while (ok) {
      slice.clear();
      sqlite3_bind_int64(select, 1, last);
      int rc;
      while ((rc = StepRead(select, attempts)) == SQLITE_ROW) {
        const char* data = static_cast<const char*>(sqlite3_column_blob(select, 1));
        int size = sqlite3_column_bytes(select, 1);
        slice.emplace_back(
            sqlite3_column_int64(select, 0),
            data != nullptr ? std::string(data, static_cast<std::size_t>(size)) : std::string());
      }
      sqlite3_reset(select);
      if (rc != SQLITE_DONE) ok = false;
      if (slice.empty() || !ok) break;
      if (layout == nullptr) {
        ok = false;  // records are stored but nobody described them
        break;
      }
      for (const auto& [recno, data] : slice) {
        layout->GiveRecord(reinterpret_cast<const uint8_t*>(data.data()), data.size(),
                           record.data());
        std::vector<std::string> keys(key_rules_.size());
        for (std::size_t i = 0; i < key_rules_.size(); ++i) {
          layout->BuildKey(i, record.data(), &keys[i]);
          sqlite3_bind_blob(update, static_cast<int>(i + 1), keys[i].data(),
                            static_cast<int>(keys[i].size()), SQLITE_TRANSIENT);
        }
        sqlite3_bind_int64(update, static_cast<int>(key_rules_.size() + 1), recno);
        ok = ok && sqlite3_step(update) == SQLITE_DONE;
        sqlite3_reset(update);
        last = recno;
      }
    }
    sqlite3_finalize(select);
    sqlite3_finalize(update);
  }
  for (std::size_t i = 1; ok && i <= key_rules_.size(); ++i) {
    std::string k = Numbered("k", i);
    ok = Exec(("CREATE INDEX records_" + k + " ON records(" + k + ", recno)").c_str(), attempts);
  }
  ok = ok && Exec(("CREATE TABLE IF NOT EXISTS vz_info(name TEXT PRIMARY KEY, value TEXT NOT "
                   "NULL);" +
                   InfoSql())
                      .c_str(),
                  attempts);
  if (own) {
    if (ok) ok = Exec("COMMIT", attempts);
    if (!ok) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  if (ok) {
    needs_reindex_ = false;
    ++write_count_;
    ++*version_;
  } else {
    Report("keys differ from the analysis and could not be rebuilt", SQLITE_OK);
  }
  return ok;
}

}  // namespace vz::engine
