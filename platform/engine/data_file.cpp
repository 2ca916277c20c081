#include "platform/engine/data_file.h"

#include <sys/stat.h>
#include <time.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/engine/call_log.h"

namespace vz::engine {
namespace {

using Clock = std::chrono::steady_clock;

// The time for the read window, read from the coarse monotonic clock where
// there is one: every read asks it, and a few milliseconds of precision are
// plenty for a window of kReadWindow.
Clock::time_point ReadWindowNow() {
#ifdef CLOCK_MONOTONIC_COARSE
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) == 0) {
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(
        std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec)));
  }
#endif
  return Clock::now();
}

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

DataFile::DataFile(sqlite3* db, std::string path, const FileEntry& entry)
    : db_(db), path_(std::move(path)), file_(entry.name), version_(VersionOf(path_)) {
  for (const KeyRule& rule : entry.keys) key_rules_.push_back(rule.Signature());
}

DataFile::~DataFile() {
  EndReads();
  if (in_batch_) CommitBatch(Attempts{});
  for (auto& [id, set] : cursors_) {
    for (CursorSet::PerKey& k : set.keys) {
      sqlite3_finalize(k.first);
      sqlite3_finalize(k.search);
      sqlite3_finalize(k.after);
    }
  }
  sqlite3_finalize(insert_);
  sqlite3_finalize(update_);
  sqlite3_finalize(delete_);
  sqlite3_finalize(count_);
  int rc = sqlite3_close(db_);
  if (rc != SQLITE_OK) {
    Report("closed with statements still open", rc);
    sqlite3_close_v2(db_);
  }
}

DataFile::OpenResult DataFile::Open(const std::string& path, const FileEntry& entry, bool create,
                                    const Attempts& attempts, std::unique_ptr<DataFile>* out,
                                    std::string* why) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    if (errno != ENOENT) {
      *why = std::string("cannot reach the file: ") + std::strerror(errno);
      return OpenResult::kFailed;
    }
    if (!create) return OpenResult::kMissing;
  } else if (!S_ISREG(info.st_mode)) {
    *why = "not a regular file";
    return OpenResult::kFailed;
  }
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    *why = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    return OpenResult::kFailed;
  }
  std::unique_ptr<DataFile> file(new DataFile(db, path, entry));
  if (!file->Configure(attempts, why) || !file->ReadInfo(attempts, why)) {
    return OpenResult::kFailed;
  }
  *out = std::move(file);
  return OpenResult::kOpen;
}

bool DataFile::Configure(const Attempts& attempts, std::string* why) {
  sqlite3_extended_result_codes(db_, 1);
  // Larger pages hold more records and keys each: shallower trees for the
  // searches, and a read in key order takes a system call for every 32 KB
  // instead of every 4 KB (the copy from the system's cache is what a pass
  // over a rubric file costs most). Takes effect only on a new (empty)
  // file; older files keep the page size they were created with.
  sqlite3_exec(db_, "PRAGMA page_size=32768", nullptr, nullptr, nullptr);
  sqlite3_stmt* statement = Prepare("PRAGMA journal_mode=WAL");
  if (statement == nullptr) {
    *why = sqlite3_errmsg(db_);
    return false;
  }
  int rc = StepRead(statement, attempts);
  sqlite3_finalize(statement);
  if (rc != SQLITE_ROW) {
    *why = sqlite3_errstr(rc);
    return false;
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
    *why = sqlite3_errmsg(db_);
    return false;
  }
  return true;
}

bool DataFile::ReadInfo(const Attempts& attempts, std::string* why) {
  has_table_ = false;
  needs_reindex_ = false;
  sqlite3_stmt* statement =
      Prepare("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='records'");
  int rc = statement != nullptr ? StepRead(statement, attempts) : sqlite3_errcode(db_);
  if (rc != SQLITE_ROW) {
    *why = sqlite3_errstr(rc);
    sqlite3_finalize(statement);
    return false;
  }
  has_table_ = sqlite3_column_int(statement, 0) > 0;
  sqlite3_finalize(statement);
  if (!has_table_) return true;

  std::map<std::string, std::string> info;
  statement = Prepare("SELECT name, value FROM vz_info");
  if (statement == nullptr) {  // a records table without our information table
    needs_reindex_ = true;
    return true;
  }
  while ((rc = StepRead(statement, attempts)) == SQLITE_ROW) {
    const unsigned char* name = sqlite3_column_text(statement, 0);
    const unsigned char* value = sqlite3_column_text(statement, 1);
    if (name != nullptr && value != nullptr) {
      info[reinterpret_cast<const char*>(name)] = reinterpret_cast<const char*>(value);
    }
  }
  sqlite3_finalize(statement);
  if (rc != SQLITE_DONE) {
    *why = sqlite3_errstr(rc);
    return false;
  }
  if (info.count("format") != 0 && info["format"] != "1") {
    *why = "stored in an unknown format " + info["format"];
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

bool DataFile::Exec(const char* sql, const Attempts& attempts) {
  int count = AttemptCount(attempts);
  for (int attempt = 1;; ++attempt) {
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return true;
    if (!IsLockError(rc) || attempt >= count) {
      Report(std::string("\"") + sql + "\" failed", rc);
      return false;
    }
    PauseBetweenAttempts(attempts);
  }
}

sqlite3_stmt* DataFile::Prepare(const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                         &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  return statement;
}

std::string DataFile::SelectColumns() const {
  std::string sql = "SELECT recno, data";
  for (std::size_t i = 1; i <= key_rules_.size(); ++i) sql += Numbered(", k", i);
  return sql + " FROM records";
}

std::string DataFile::CreateSql() const {
  std::string sql =
      "CREATE TABLE IF NOT EXISTS vz_info(name TEXT PRIMARY KEY, value TEXT NOT NULL);"
      "CREATE TABLE records(recno INTEGER PRIMARY KEY AUTOINCREMENT, data BLOB NOT NULL";
  for (std::size_t i = 1; i <= key_rules_.size(); ++i) {
    sql += Numbered(", k", i) + " BLOB NOT NULL DEFAULT x''";
  }
  sql += ");";
  for (std::size_t i = 1; i <= key_rules_.size(); ++i) {
    std::string k = Numbered("k", i);
    sql += "CREATE INDEX records_" + k + " ON records(" + k + ", recno);";
  }
  return sql + InfoSql();
}

std::string DataFile::InfoSql() const {
  std::string sql =
      "DELETE FROM vz_info WHERE name LIKE 'key%';"
      "INSERT OR REPLACE INTO vz_info VALUES('format', '1');"
      "INSERT OR REPLACE INTO vz_info VALUES('file', '" +
      file_ + "');";
  for (std::size_t i = 0; i < key_rules_.size(); ++i) {
    // Rules hold no quote: the analysis parser refuses quotes in key names.
    sql += Numbered("INSERT INTO vz_info VALUES('key", i + 1) + "', '" + key_rules_[i] + "');";
  }
  return sql;
}

bool DataFile::EnsureTable(const Attempts& attempts) {
  if (has_table_) return true;
  EndReads();
  bool own = !in_batch_;
  if (own && !Exec("BEGIN IMMEDIATE", attempts)) return false;
  std::string why;
  bool ok = ReadInfo(attempts, &why);  // another process may have made it meanwhile
  if (ok && !has_table_) {
    ok = Exec(CreateSql().c_str(), attempts);
    if (ok) has_table_ = true;
  }
  if (own) {
    if (ok) {
      ok = Exec("COMMIT", attempts);
    }
    if (!ok) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      has_table_ = false;
    }
  }
  return ok;
}

CursorSet* DataFile::Cursors(int context_id) {
  CursorSet& set = cursors_[context_id];
  if (set.keys.size() != key_rules_.size()) set.keys.resize(key_rules_.size());
  return &set;
}

void DataFile::DropCursors(int context_id) {
  auto it = cursors_.find(context_id);
  if (it == cursors_.end()) return;
  for (CursorSet::PerKey& k : it->second.keys) {
    sqlite3_finalize(k.first);
    sqlite3_finalize(k.search);
    sqlite3_finalize(k.after);
  }
  cursors_.erase(it);
}

sqlite3_stmt* DataFile::ReadStatement(CursorSet* cursors, int key, ReadKind kind) {
  CursorSet::PerKey& per_key = cursors->keys[static_cast<std::size_t>(key)];
  sqlite3_stmt** slot = kind == ReadKind::kFirst    ? &per_key.first
                        : kind == ReadKind::kSearch ? &per_key.search
                                                    : &per_key.after;
  if (*slot == nullptr) {
    std::string k = Numbered("k", key + 1);
    std::string sql = SelectColumns();
    if (kind == ReadKind::kSearch) sql += " WHERE " + k + " >= ?1";
    if (kind == ReadKind::kAfter) sql += " WHERE (" + k + ", recno) > (?1, ?2)";
    sql += " ORDER BY " + k + ", recno";
    *slot = Prepare(sql);
    if (*slot == nullptr) Report("cannot prepare a read", sqlite3_errcode(db_));
  }
  return *slot;
}

void DataFile::BeginReads(const Attempts& attempts) {
  if (in_batch_) return;  // the batch transaction reads what it wrote
  if (read_open_) {
    if (seen_version_ == *version_ && ReadWindowNow() - read_since_ < kReadWindow) return;
    EndReads();
  }
  if (Exec("BEGIN", attempts)) {
    read_open_ = true;
    read_since_ = ReadWindowNow();
    seen_version_ = *version_;
  }
}

void DataFile::EndReads() {
  ResetAllCursors();
  if (read_open_) {
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    read_open_ = false;
  }
}

void DataFile::ResetAllCursors() {
  for (auto& [id, set] : cursors_) {
    if (set.live != nullptr) {
      sqlite3_reset(set.live);
      set.live = nullptr;
    }
  }
}

int DataFile::StepRead(sqlite3_stmt* statement, const Attempts& attempts) {
  int count = AttemptCount(attempts);
  for (int attempt = 1;; ++attempt) {
    int rc = sqlite3_step(statement);
    if (!IsLockError(rc) || attempt >= count) return rc;
    sqlite3_reset(statement);
    PauseBetweenAttempts(attempts);
  }
}

void DataFile::Report(const std::string& what, int rc) const {
  std::string reason = what;
  if (rc != SQLITE_OK) reason += std::string(": ") + sqlite3_errstr(rc);
  LogFileError(file_, path_, reason);
}

}  // namespace vz::engine
