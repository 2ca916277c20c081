// Opening a SQLite data file: the connection's settings, the stored rules,
// the tables of a new file, and the helpers every operation shares.
#include "platform/engine/sqlite_data_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/engine/record_codec.h"
#include "platform/os/ascii_case.h"

namespace vz::engine {
namespace {

// Commits made in this process to each file, so that a connection of another
// store in the process ends its read transaction when the file changed.
std::shared_ptr<uint64_t> VersionOf(const std::string& path) {
  static auto* versions = new std::map<std::string, std::shared_ptr<uint64_t>>();
  char resolved[PATH_MAX];
  std::string key = ::realpath(path.c_str(), resolved) != nullptr ? resolved : path;
  std::shared_ptr<uint64_t>& version = (*versions)[key];
  if (!version) version = std::make_shared<uint64_t>(0);
  return version;
}

}  // namespace

bool IsLockError(int rc) {
  int primary = rc & 0xFF;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

void PauseBetweenAttempts(const Attempts& attempts) {
  std::this_thread::sleep_for(std::chrono::milliseconds(attempts.sleep_ms));
}

int AttemptCount(const Attempts& attempts) {
  return attempts.count < 1 ? 1 : attempts.count;
}

SqliteDataFile::SqliteDataFile(Connection db, std::string path, const FileEntry& entry)
    : DataFile(std::move(path), entry.name), db_(std::move(db)), version_(VersionOf(this->path())) {
  for (const KeyRule& rule : entry.keys) key_rules_.push_back(rule.Signature());
}

SqliteDataFile::~SqliteDataFile() {
  EndReads();
  if (in_batch_) EndBatch(Attempts{});
  cursors_.clear();
  insert_held_many_.reset();
  insert_held_one_.reset();
  insert_.reset();
  update_.reset();
  delete_.reset();
  count_.reset();
  const int rc = sqlite3_close(db_.get());
  if (rc == SQLITE_OK) {
    db_.release();  // closed
  } else {
    ReportSqlite("closed with statements still open", rc);  // closes when they go
  }
}

Storage::OpenResult SqliteDataFile::Open(const std::string& path, const FileEntry& entry,
                                         bool create, const Attempts& attempts,
                                         std::unique_ptr<DataFile>* out, std::string* why) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    if (errno != ENOENT) {
      *why = std::string("cannot reach the file: ") + std::strerror(errno);
      return Storage::OpenResult::kFailed;
    }
    if (!create) return Storage::OpenResult::kMissing;
  } else if (!S_ISREG(info.st_mode)) {
    *why = "not a regular file";
    return Storage::OpenResult::kFailed;
  }
  sqlite3* opened = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(path.c_str(), &opened, flags, nullptr);
  Connection db(opened);
  if (rc != SQLITE_OK) {
    *why = db != nullptr ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc);
    return Storage::OpenResult::kFailed;
  }
  std::unique_ptr<SqliteDataFile> file(new SqliteDataFile(std::move(db), path, entry));
  if (!file->Configure(attempts, why) || !file->ReadInfo(attempts, why)) {
    return Storage::OpenResult::kFailed;
  }
  *out = std::move(file);
  return Storage::OpenResult::kOpen;
}

bool SqliteDataFile::Configure(const Attempts& attempts, std::string* why) {
  sqlite3* db = db_.get();
  sqlite3_extended_result_codes(db, 1);
  // Larger pages hold more records and keys each: shallower trees for the
  // searches, and a read in key order takes a system call for every 32 KB
  // instead of every 4 KB (the copy from the system's cache is what a pass
  // over a rubric file costs most). Takes effect only on a new (empty)
  // file; older files keep the page size they were created with.
  sqlite3_exec(db, "PRAGMA page_size=32768", nullptr, nullptr, nullptr);
  {
    Statement journal = Prepare(db, "PRAGMA journal_mode=WAL");
    if (journal == nullptr) {
      *why = sqlite3_errmsg(db);
      return false;
    }
    int rc = StepRead(journal.get(), attempts);
    if (rc != SQLITE_ROW) {
      *why = sqlite3_errstr(rc);
      return false;
    }
  }
  // No memory map (mmap_size=0): pages mapped from the file count in the
  // process's memory and would make it grow with the files; reads in key
  // order are as fast through the page cache (engine_microbench).
  // A small page cache per file (512 KB): the runs read each file in key
  // order and never come back to a page, so a larger cache holds nothing
  // they reuse, while every cached page costs memory touched for the first
  // time (a page fault per 4 KB: with 8 MB per file, a fresh extraction
  // spent a third of its time there). 512 KB still keeps the upper levels
  // of the record tree and of the key indexes for the searches.
  if (!Exec("PRAGMA synchronous=NORMAL", attempts) || !Exec("PRAGMA mmap_size=0", attempts) ||
      !Exec("PRAGMA cache_size=-512", attempts)) {
    *why = sqlite3_errmsg(db);
    return false;
  }
  return true;
}

bool SqliteDataFile::ReadInfo(const Attempts& attempts, std::string* why) {
  sqlite3* db = db_.get();
  has_table_ = false;
  set_compact(false);
  needs_reindex_ = false;
  {
    Statement tables =
        Prepare(db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='records'");
    int rc = tables != nullptr ? StepRead(tables.get(), attempts) : sqlite3_errcode(db);
    if (rc != SQLITE_ROW) {
      *why = sqlite3_errstr(rc);
      return false;
    }
    has_table_ = sqlite3_column_int(tables.get(), 0) > 0;
  }
  if (!has_table_) return true;

  std::map<std::string, std::string> info;
  Statement rows = Prepare(db, "SELECT name, value FROM vz_info");
  if (rows == nullptr) {  // a records table without our information table
    needs_reindex_ = true;
    return true;
  }
  int rc;
  while ((rc = StepRead(rows.get(), attempts)) == SQLITE_ROW) {
    const unsigned char* name = sqlite3_column_text(rows.get(), 0);
    const unsigned char* value = sqlite3_column_text(rows.get(), 1);
    if (name != nullptr && value != nullptr) {
      info[reinterpret_cast<const char*>(name)] = reinterpret_cast<const char*>(value);
    }
  }
  rows.reset();
  if (rc != SQLITE_DONE) {
    *why = sqlite3_errstr(rc);
    return false;
  }
  if (info.count("format") != 0 && info["format"] != kPlainFormat &&
      info["format"] != kCompactFormat) {
    *why = "stored in an unknown format " + info["format"];
    return false;
  }
  set_compact(info["format"] == kCompactFormat);
  // A file copied over another one keeps the name of the file it came from.
  auto identity = info.find("file");
  if (identity != info.end() && os::AsciiUpper(identity->second) != os::AsciiUpper(file())) {
    *why = "holds the records of " + identity->second + ", not of " + file();
    return false;
  }
  std::size_t stored_keys = 0;
  while (info.count(Numbered("key", stored_keys + 1)) != 0) ++stored_keys;
  if (stored_keys != key_rules_.size()) needs_reindex_ = true;
  for (std::size_t i = 0; i < key_rules_.size() && !needs_reindex_; ++i) {
    if (info[Numbered("key", i + 1)] != key_rules_[i]) needs_reindex_ = true;
  }
  return true;
}

std::string SqliteDataFile::CreateSql() const {
  std::string sql =
      "CREATE TABLE IF NOT EXISTS vz_info(name TEXT PRIMARY KEY, value TEXT NOT NULL);"
      "CREATE TABLE records(recno INTEGER PRIMARY KEY AUTOINCREMENT, data BLOB NOT NULL";
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    sql += ", " + SqliteKeyColumn(i) + " BLOB NOT NULL DEFAULT x''";
  }
  sql += ");";
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    sql += SqliteKeyIndexSql(i, key_rules_.size(), /*carry_records=*/false) + ";";
  }
  return sql;
}

bool SqliteDataFile::WriteInfo(const Attempts& attempts) {
  if (!Exec("DELETE FROM vz_info WHERE name LIKE 'key%'", attempts)) return false;
  Statement put = Prepare(db_.get(), "INSERT OR REPLACE INTO vz_info VALUES(?1, ?2)");
  if (put == nullptr) {
    ReportSqlite("cannot prepare a write of the file's rules", sqlite3_errcode(db_.get()));
    return false;
  }
  auto row = [&](const std::string& name, const std::string& value) {
    sqlite3_bind_text(put.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    sqlite3_bind_text(put.get(), 2, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
    return RunToEnd(put.get(), attempts);
  };
  if (!row("format", compact() ? kCompactFormat : kPlainFormat) || !row("file", file())) {
    return false;
  }
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    if (!row(Numbered("key", i + 1), key_rules_[i])) return false;
  }
  return true;
}

bool SqliteDataFile::EnsureTable(const Attempts& attempts) {
  if (has_table_) return true;
  EndReads();
  const bool own = !in_batch_;
  const bool ok = InTransaction(attempts, [&] {
    std::string why;
    if (!ReadInfo(attempts, &why)) return false;  // another process may have made it meanwhile
    if (has_table_) return true;
    if (!Exec(CreateSql(), attempts) || !WriteInfo(attempts)) return false;
    has_table_ = true;
    return true;
  });
  if (!ok && own) has_table_ = false;
  return ok;
}

bool SqliteDataFile::Exec(const std::string& sql, const Attempts& attempts) {
  int count = AttemptCount(attempts);
  for (int attempt = 1;; ++attempt) {
    int rc = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return true;
    if (!IsLockError(rc) || attempt >= count) {
      ReportSqlite("\"" + sql + "\" failed", rc);
      return false;
    }
    PauseBetweenAttempts(attempts);
  }
}

int SqliteDataFile::StepToEnd(sqlite3_stmt* statement, const Attempts& attempts) {
  int count = AttemptCount(attempts);
  for (int attempt = 1;; ++attempt) {
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    sqlite3_reset(statement);
    if (rc == SQLITE_DONE || !IsLockError(rc) || attempt >= count) return rc;
    PauseBetweenAttempts(attempts);
  }
}

bool SqliteDataFile::RunToEnd(sqlite3_stmt* statement, const Attempts& attempts) {
  int rc = StepToEnd(statement, attempts);
  if (rc == SQLITE_DONE) return true;
  ReportSqlite(std::string("\"") + sqlite3_sql(statement) + "\" failed", rc);
  return false;
}

bool SqliteDataFile::CheckIntegrity(std::vector<std::string>* problems) {
  Statement check = Prepare(db_.get(), "SELECT * FROM pragma_integrity_check(?1)");
  int rc = check != nullptr ? SQLITE_OK : sqlite3_errcode(db_.get());
  bool sound = true;
  if (check != nullptr) {
    sqlite3_bind_int(check.get(), 1, kMostIntegrityProblems);
    while ((rc = sqlite3_step(check.get())) == SQLITE_ROW) {
      std::string_view line = ColumnBytes(check.get(), 0);
      if (line == "ok") continue;
      problems->emplace_back(line);
      sound = false;
    }
  }
  if (rc != SQLITE_DONE) {
    ReportSqlite("cannot be checked", rc);
    problems->push_back(last_error());
    return false;
  }
  return sound;
}

FileFault FaultOfSqlite(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return FileFault::kDamaged;
    case SQLITE_FULL:
      return FileFault::kFull;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return FileFault::kLocked;
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return FileFault::kReadOnly;
    case SQLITE_IOERR:
      return FileFault::kIoError;
    default:
      return FileFault::kUnusable;
  }
}

void SqliteDataFile::ReportSqlite(const std::string& what, int rc) {
  std::string reason = what;
  if (rc != SQLITE_OK) reason += std::string(": ") + sqlite3_errstr(rc);
  Report(FaultOfSqlite(rc), std::move(reason));
}

}  // namespace vz::engine
