// Rebuilding a SQLite file's key columns after the analysis's key rules
// changed. The records themselves (recno, data) are never touched; only the
// computed key columns, their indexes and the stored rules are.
#include <cstdlib>
#include <set>

#include "platform/engine/sqlite_data_file.h"

namespace vz::engine {
namespace {

// The first column of every row of `sql` as text.
bool Names(sqlite3* db, const char* sql, std::vector<std::string>* names) {
  Statement statement = Prepare(db, sql);
  if (statement == nullptr) return false;
  while (sqlite3_step(statement.get()) == SQLITE_ROW) {
    names->emplace_back(ColumnBytes(statement.get(), 0));
  }
  return true;
}

}  // namespace

bool SqliteDataFile::Reindex(const RecordLayout* layout, const Attempts& attempts) {
  if (!InsertHeldAdds(attempts)) return false;
  if (!has_table_) {
    needs_reindex_ = false;
    return true;
  }
  if (layout != nullptr && layout->key_count() != key_rules_.size()) return false;
  EndReads();
  const bool carried = SqliteFirstKeyIndexCarriesRecords(db_.get());
  const bool ok = InTransaction(attempts, [&] {
    return RebuildKeyColumns(attempts) && RecomputeKeys(layout, attempts) &&
           RebuildKeyIndexes(carried, attempts) &&
           Exec("CREATE TABLE IF NOT EXISTS vz_info(name TEXT PRIMARY KEY, value TEXT NOT NULL)",
                attempts) &&
           WriteInfo(attempts);
  });
  if (ok) {
    needs_reindex_ = false;
    ++write_count_;
    ++*version_;
  } else {
    ReportSqlite("keys differ from the analysis and could not be rebuilt", SQLITE_OK);
  }
  return ok;
}

bool SqliteDataFile::RebuildKeyColumns(const Attempts& attempts) {
  std::vector<std::string> listed;
  std::vector<std::string> indexes;
  if (!Names(db_.get(), "SELECT name FROM pragma_table_info('records')", &listed) ||
      !Names(db_.get(),
             "SELECT name FROM sqlite_master WHERE type='index' AND tbl_name='records' "
             "AND name LIKE 'records_k%'",
             &indexes)) {
    return false;
  }
  const std::set<std::string> columns(listed.begin(), listed.end());
  for (const std::string& index : indexes) {
    if (!Exec("DROP INDEX " + SqlName(index), attempts)) return false;
  }
  for (const std::string& column : columns) {
    if (column.size() < 2 || column[0] != 'k') continue;
    std::size_t number = std::strtoul(column.c_str() + 1, nullptr, 10);
    if ((number == 0 || number > key_rules_.size()) &&
        !Exec("ALTER TABLE records DROP COLUMN " + SqlName(column), attempts)) {
      return false;
    }
  }
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    if (columns.count(Numbered("k", i + 1)) == 0 &&
        !Exec("ALTER TABLE records ADD COLUMN " + SqliteKeyColumn(i) + " BLOB NOT NULL DEFAULT x''",
              attempts)) {
      return false;
    }
  }
  return true;
}

bool SqliteDataFile::RebuildKeyIndexes(bool carry_records, const Attempts& attempts) {
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    if (!Exec(SqliteKeyIndexSql(i, key_rules_.size(), carry_records), attempts)) return false;
  }
  return true;
}

// Recomputes the keys a slice of records at a time, so that no read is
// pending on the table while it is written.
bool SqliteDataFile::RecomputeKeys(const RecordLayout* layout, const Attempts& attempts) {
  if (key_rules_.empty()) return true;
  std::string sql = "UPDATE records SET ";
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    sql += (i > 0 ? ", " : "") + SqliteKeyColumn(i) + Numbered("=?", i + 1);
  }
  sql += Numbered(" WHERE recno=?", key_rules_.size() + 1);
  Statement select = Prepare(
      db_.get(), "SELECT recno, data FROM records WHERE recno > ?1 ORDER BY recno LIMIT 512");
  Statement update = Prepare(db_.get(), sql);
  if (select == nullptr || update == nullptr) return false;
  int64_t last = 0;
  std::vector<std::pair<int64_t, std::string>> slice;
  std::vector<uint8_t> record(layout != nullptr ? layout->record_size() : 0);
  std::vector<std::string> keys(key_rules_.size());
  for (;;) {
    slice.clear();
    sqlite3_bind_int64(select.get(), 1, last);
    int rc;
    while ((rc = StepRead(select.get(), attempts)) == SQLITE_ROW) {
      slice.emplace_back(sqlite3_column_int64(select.get(), 0),
                         std::string(ColumnBytes(select.get(), 1)));
    }
    sqlite3_reset(select.get());
    if (rc != SQLITE_DONE) return false;
    if (slice.empty()) return true;
    for (auto& [recno, data] : slice) {
      const std::string stored = compact() ? std::move(data) : std::string();
      if (compact() && !ExpandStored(recno, stored, &data)) return false;
    }
    if (layout == nullptr) return false;  // records are stored but nobody described them
    for (const auto& [recno, data] : slice) {
      layout->GiveRecord(reinterpret_cast<const uint8_t*>(data.data()), data.size(), record.data());
      for (std::size_t i = 0; i < key_rules_.size(); ++i) {
        layout->BuildKey(i, record.data(), &keys[i]);
      }
      BindKeys(update.get(), keys, 1);
      sqlite3_bind_int64(update.get(), static_cast<int>(key_rules_.size() + 1), recno);
      const bool written = sqlite3_step(update.get()) == SQLITE_DONE;
      sqlite3_reset(update.get());
      if (!written) return false;
      last = recno;
    }
  }
}

}  // namespace vz::engine
