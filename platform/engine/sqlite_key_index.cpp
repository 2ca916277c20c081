#include "platform/engine/sqlite_key_index.h"

#include "platform/engine/analysis.h"
#include "platform/engine/sqlite_handles.h"

namespace vz::engine {

std::string SqliteKeyColumn(std::size_t i) {
  return SqlName(Numbered("k", static_cast<long long>(i + 1)));
}

std::string SqliteKeyIndexName(std::size_t i) {
  return SqlName(Numbered("records_k", static_cast<long long>(i + 1)));
}

std::string SqliteKeyIndexSql(std::size_t i, std::size_t key_count, bool carry_records,
                              const std::string& schema, bool if_missing) {
  std::string sql = if_missing ? "CREATE INDEX IF NOT EXISTS " : "CREATE INDEX ";
  if (!schema.empty()) sql += SqlName(schema) + ".";
  sql += SqliteKeyIndexName(i) + " ON records(" + SqliteKeyColumn(i) + ", recno";
  if (carry_records && i == 0) {
    sql += ", data";
    for (std::size_t other = 1; other < key_count; ++other) sql += ", " + SqliteKeyColumn(other);
  }
  return sql + ")";
}

bool SqliteFirstKeyIndexCarriesRecords(sqlite3* db, const std::string& schema) {
  Statement query = Prepare(db, "SELECT count(*) FROM pragma_index_info(?1, ?2) WHERE name='data'");
  if (query == nullptr) return false;
  const std::string index = "records_k1";
  sqlite3_bind_text(query.get(), 1, index.data(), static_cast<int>(index.size()), SQLITE_STATIC);
  sqlite3_bind_text(query.get(), 2, schema.data(), static_cast<int>(schema.size()), SQLITE_STATIC);
  return sqlite3_step(query.get()) == SQLITE_ROW && sqlite3_column_int64(query.get(), 0) > 0;
}

}  // namespace vz::engine
