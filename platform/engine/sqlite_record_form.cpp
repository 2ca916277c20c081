#include "platform/engine/sqlite_record_form.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/engine/analysis.h"
#include "platform/engine/record_codec.h"
#include "platform/engine/sqlite_handles.h"
#include "platform/engine/sqlite_key_index.h"

namespace vz::engine {
namespace {

// SQL functions of the rewrite: vz_compact(data) and vz_expand(data). A
// record that does not expand stops the statement with the damage found.
void CompactFunction(sqlite3_context* context, int, sqlite3_value** values) {
  const auto* bytes = static_cast<const char*>(sqlite3_value_blob(values[0]));
  const int size = sqlite3_value_bytes(values[0]);
  std::string stored;
  CompactRecord(std::string_view(bytes != nullptr ? bytes : "", static_cast<std::size_t>(size)),
                &stored);
  sqlite3_result_blob64(context, stored.data(), stored.size(), SQLITE_TRANSIENT);
}

void ExpandFunction(sqlite3_context* context, int, sqlite3_value** values) {
  const auto* bytes = static_cast<const char*>(sqlite3_value_blob(values[0]));
  const int size = sqlite3_value_bytes(values[0]);
  std::string record;
  const CompactFault fault = ExpandRecord(
      std::string_view(bytes != nullptr ? bytes : "", static_cast<std::size_t>(size)), &record);
  if (fault != CompactFault::kNone) {
    const std::string why =
        std::string("damaged compact record (") + CompactFaultReason(fault) + ")";
    sqlite3_result_error(context, why.c_str(), -1);
    return;
  }
  sqlite3_result_blob64(context, record.data(), record.size(), SQLITE_TRANSIENT);
}

// How many key columns (k1, k2, ...) the records table has.
std::size_t KeyCount(const std::vector<std::string>& columns) {
  std::size_t keys = 0;
  while (std::find(columns.begin(), columns.end(),
                   Numbered("k", static_cast<long long>(keys + 1))) != columns.end()) {
    ++keys;
  }
  return keys;
}

int64_t FileSize(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
}

bool FlushPath(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

void RemoveWork(const std::string& work) {
  std::remove(work.c_str());
  std::remove((work + "-journal").c_str());
}

// The rewrite on one connection: the new file as `main`, the old as `old`.
class Rewrite {
 public:
  explicit Rewrite(sqlite3* db) : db_(db) {}

  bool Exec(const std::string& sql, std::string* why) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
    *why = message != nullptr ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
  }

  // The first column of every row of `sql`, as text.
  bool Column(const std::string& sql, std::vector<std::string>* values, std::string* why) {
    Statement statement = Prepare(db_, sql);
    if (statement == nullptr) {
      *why = sqlite3_errmsg(db_);
      return false;
    }
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
      values->emplace_back(ColumnBytes(statement.get(), 0));
    }
    if (rc == SQLITE_DONE) return true;
    *why = sqlite3_errmsg(db_);
    return false;
  }

  // Attaches the file at `path` as `old`.
  bool AttachOld(const std::string& path, std::string* why) {
    Statement attach = Prepare(db_, "ATTACH DATABASE ?1 AS old");
    if (attach != nullptr) {
      sqlite3_bind_text(attach.get(), 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
      if (sqlite3_step(attach.get()) == SQLITE_DONE) return true;
    }
    *why = sqlite3_errmsg(db_);
    return false;
  }

  bool Number(const std::string& sql, int64_t* value, std::string* why) {
    std::vector<std::string> values;
    if (!Column(sql, &values, why)) return false;
    *value = values.empty() ? 0 : std::strtoll(values[0].c_str(), nullptr, 10);
    return true;
  }

 private:
  sqlite3* db_;
};

// Copies the old file's tables into the new one, the data column through
// `function`, then its indexes; the key indexes are made in the shape
// `carry_records` asks for (sqlite_key_index.h).
bool CopyTables(Rewrite& sql, const char* function, const char* format, bool carry_records,
                std::string* why) {
  std::vector<std::string> tables, creates, indexes, columns;
  if (!sql.Column("SELECT name FROM old.sqlite_master WHERE type='table' AND name NOT LIKE "
                  "'sqlite_%' ORDER BY name",
                  &tables, why) ||
      !sql.Column("SELECT sql FROM old.sqlite_master WHERE type='table' AND name NOT LIKE "
                  "'sqlite_%' ORDER BY name",
                  &creates, why) ||
      !sql.Column("SELECT sql FROM old.sqlite_master WHERE type='index' AND sql IS NOT NULL "
                  "AND name NOT LIKE 'records_k%'",
                  &indexes, why) ||
      !sql.Column("SELECT name FROM pragma_table_info('records', 'old')", &columns, why)) {
    return false;
  }
  for (const std::string& create : creates) {
    if (!sql.Exec(create, why)) return false;
  }
  for (const std::string& table : tables) {
    std::string select = "*";
    if (table == "records") {
      select.clear();
      for (const std::string& column : columns) {
        if (!select.empty()) select += ", ";
        select += column == "data" ? std::string(function) + "(data)" : SqlName(column);
      }
    }
    const std::string order = table == "records" ? " ORDER BY recno" : "";
    if (!sql.Exec("INSERT INTO main." + SqlName(table) + " SELECT " + select + " FROM old." +
                      SqlName(table) + order,
                  why)) {
      return false;
    }
  }
  if (!sql.Exec("DELETE FROM main.sqlite_sequence;"
                "INSERT INTO main.sqlite_sequence SELECT * FROM old.sqlite_sequence;",
                why) ||
      !sql.Exec(
          std::string("INSERT OR REPLACE INTO main.vz_info VALUES('format', '") + format + "')",
          why)) {
    return false;
  }
  for (const std::string& index : indexes) {
    if (!sql.Exec(index, why)) return false;
  }
  const std::size_t keys = KeyCount(columns);
  for (std::size_t i = 0; i < keys; ++i) {
    if (!sql.Exec(SqliteKeyIndexSql(i, keys, carry_records), why)) return false;
  }
  return true;
}

// A file already compact whose first key's index does not have the shape
// asked for (it carries the records or not: a file compacted before the
// index could carry them, or a work file that should not) gets that index
// made again, in place: the records and everything else stay as they are.
bool ShapeFirstKeyIndex(Rewrite& sql, sqlite3* db, bool carry_records, bool* rebuilt,
                        std::string* why) {
  std::vector<std::string> columns;
  if (!sql.Column("SELECT name FROM pragma_table_info('records', 'old')", &columns, why)) {
    return false;
  }
  const std::size_t keys = KeyCount(columns);
  if (keys == 0 || SqliteFirstKeyIndexCarriesRecords(db, "old") == carry_records) return true;
  if (!sql.Exec("BEGIN IMMEDIATE; DROP INDEX IF EXISTS old." + SqliteKeyIndexName(0) + "; " +
                    SqliteKeyIndexSql(0, keys, carry_records, "old") + "; COMMIT",
                why)) {
    std::string ignored;
    sql.Exec("ROLLBACK", &ignored);
    return false;
  }
  *rebuilt = true;
  return true;
}

// The new file holds every record of the old one, as the old one reads.
bool SameRecords(Rewrite& sql, RecordForm form, int64_t records, std::string* why) {
  int64_t count = -1, differing = -1;
  const std::string compare =
      form == RecordForm::kCompact
          ? "SELECT count(*) FROM main.records n JOIN old.records o USING(recno) "
            "WHERE vz_expand(n.data) IS NOT o.data"
          : "SELECT count(*) FROM main.records n JOIN old.records o USING(recno) "
            "WHERE n.data IS NOT vz_expand(o.data)";
  if (!sql.Number("SELECT count(*) FROM main.records", &count, why) ||
      !sql.Number(compare, &differing, why)) {
    return false;
  }
  if (count != records || differing != 0) {
    *why = "the rewritten file does not hold the same records";
    return false;
  }
  return true;
}

}  // namespace

std::string RecordFormWorkPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, name) + "." + path.substr(name) + ".migration";
}

bool ChangeRecordForm(const std::string& path, RecordForm form, RecordFormChange* change,
                      std::string* why, bool carry_records) {
  if (form == RecordForm::kPlain) carry_records = false;
  *change = RecordFormChange{};
  change->bytes_before = FileSize(path);
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    *why = "no data file " + path;
    return false;
  }
  const std::string work = RecordFormWorkPath(path);
  RemoveWork(work);
  sqlite3* opened = nullptr;
  int rc =
      sqlite3_open_v2(work.c_str(), &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  Connection db(opened);
  if (rc != SQLITE_OK) {
    *why = db != nullptr ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc);
    RemoveWork(work);
    return false;
  }
  sqlite3_extended_result_codes(db.get(), 1);
  sqlite3_busy_timeout(db.get(), 2000);
  const int text = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  sqlite3_create_function(db.get(), "vz_compact", 1, text, nullptr, CompactFunction, nullptr,
                          nullptr);
  sqlite3_create_function(db.get(), "vz_expand", 1, text, nullptr, ExpandFunction, nullptr,
                          nullptr);
  Rewrite sql(db.get());
  const char* target = form == RecordForm::kCompact ? kCompactFormat : kPlainFormat;
  const char* function = form == RecordForm::kCompact ? "vz_compact" : "vz_expand";
  std::vector<std::string> format, has_table;
  int64_t page_size = 0;
  bool ok = sql.AttachOld(path, why) && sql.Exec("PRAGMA old.wal_checkpoint(TRUNCATE)", why) &&
            sql.Column("SELECT name FROM old.sqlite_master WHERE type='table' AND name='records'",
                       &has_table, why) &&
            (has_table.empty() ||
             sql.Column("SELECT value FROM old.vz_info WHERE name='format'", &format, why)) &&
            sql.Number("PRAGMA old.page_size", &page_size, why);
  const std::string stored = format.empty() ? kPlainFormat : format[0];
  if (ok && !has_table.empty() && stored != kPlainFormat && stored != kCompactFormat) {
    *why = "stored in an unknown format " + stored;
    ok = false;
  }
  if (ok && !has_table.empty() && stored == target && form == RecordForm::kCompact) {
    ok = ShapeFirstKeyIndex(sql, db.get(), carry_records, &change->index_rebuilt, why) &&
         sql.Exec("PRAGMA old.wal_checkpoint(TRUNCATE)", why);
  }
  if (!ok || has_table.empty() || stored == target) {  // failed, or nothing to do
    db.reset();
    RemoveWork(work);
    change->bytes_after = FileSize(path);
    return ok;
  }
  ok = sql.Exec("PRAGMA main.page_size=" + std::to_string(page_size) +
                    "; PRAGMA main.journal_mode=OFF; PRAGMA main.synchronous=OFF",
                why) &&
       sql.Exec("BEGIN IMMEDIATE", why) &&
       sql.Number("SELECT count(*) FROM old.records", &change->records, why) &&
       CopyTables(sql, function, target, carry_records, why) && sql.Exec("COMMIT", why) &&
       SameRecords(sql, form, change->records, why) && sql.Exec("DETACH DATABASE old", why);
  db.reset();  // closes the old file's log: the last connection removes it
  if (ok && FileSize(path + "-wal") > 0) {
    *why = "the file is in use by another program";
    ok = false;
  }
  if (ok && !FlushPath(work, O_RDONLY)) {
    *why = std::string("cannot write the new file: ") + std::strerror(errno);
    ok = false;
  }
  if (ok && ::rename(work.c_str(), path.c_str()) != 0) {
    *why = std::string("cannot replace the file: ") + std::strerror(errno);
    ok = false;
  }
  if (!ok) {
    RemoveWork(work);
    return false;
  }
  FlushPath(Folder(path), O_RDONLY | O_DIRECTORY);
  change->changed = true;
  change->bytes_after = FileSize(path);
  return true;
}

}  // namespace vz::engine
