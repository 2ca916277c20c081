#include "tools/veriroru/database_file.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vz::veriroru {
namespace {

constexpr int kBusyTimeoutMs = 5000;

// Opens a read transaction on `db` and reads from it, so that its snapshot
// is fixed until COMMIT.
bool BeginSnapshot(sqlite3* db) {
  if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
  if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
      SQLITE_OK) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }
  return true;
}

std::string Reason(sqlite3* db, int rc) {
  const char* message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  return message != nullptr ? message : sqlite3_errstr(rc);
}

sqlite3* OpenConnection(const std::string& path, int flags, std::string* why) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    *why = "ouverture impossible (" + Reason(db, rc) + ")";
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  return db;
}

}  // namespace

bool FlushToDisk(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

std::unique_ptr<DatabaseFile> DatabaseFile::Open(const std::string& path, Mode mode,
                                                 std::string* why) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    *why = "fichier absent";
    return nullptr;
  }
  int flags = mode == Mode::kReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  sqlite3* db = OpenConnection(path, flags, why);
  if (db == nullptr) return nullptr;
  return std::unique_ptr<DatabaseFile>(new DatabaseFile(db));
}

DatabaseFile::~DatabaseFile() {
  sqlite3_close_v2(db_);
}

bool DatabaseFile::Exec(const std::string& sql, std::string* why) {
  char* message = nullptr;
  int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    *why = message != nullptr ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    return false;
  }
  return true;
}

std::vector<std::string> DatabaseFile::IntegrityProblems(int limit) {
  std::vector<std::string> problems;
  sqlite3_stmt* statement = nullptr;
  const std::string sql = "PRAGMA integrity_check(" + std::to_string(limit) + ")";
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
  if (rc != SQLITE_OK) {
    problems.push_back("illisible (" + Reason(db_, rc) + ")");
    return problems;
  }
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(statement, 0);
    std::string line = text != nullptr ? reinterpret_cast<const char*>(text) : "";
    if (line != "ok") problems.push_back(line);
  }
  if (rc != SQLITE_DONE) problems.push_back("illisible (" + Reason(db_, rc) + ")");
  sqlite3_finalize(statement);
  return problems;
}

std::optional<std::string> DatabaseFile::Info(const std::string& name) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT value FROM vz_info WHERE name=?1", -1, &statement, nullptr) !=
      SQLITE_OK) {
    return std::nullopt;
  }
  sqlite3_bind_text(statement, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
  std::optional<std::string> value;
  if (sqlite3_step(statement) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(statement, 0);
    value = text != nullptr ? reinterpret_cast<const char*>(text) : "";
  }
  sqlite3_finalize(statement);
  return value;
}

bool DatabaseFile::HasRecordsTable() {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT 1 FROM sqlite_master WHERE type='table' AND name='records'",
                         -1, &statement, nullptr) != SQLITE_OK) {
    return false;
  }
  bool found = sqlite3_step(statement) == SQLITE_ROW;
  sqlite3_finalize(statement);
  return found;
}

int64_t DatabaseFile::RecordCount() {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='records'",
                         -1, &statement, nullptr) != SQLITE_OK) {
    return -1;
  }
  int64_t tables = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
  sqlite3_finalize(statement);
  if (tables <= 0) return tables;
  if (sqlite3_prepare_v2(db_, "SELECT count(*) FROM records", -1, &statement, nullptr) !=
      SQLITE_OK) {
    return -1;
  }
  int64_t count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
  sqlite3_finalize(statement);
  return count;
}

bool CopyDatabase(const std::string& source, const std::string& destination, std::string* why,
                  const std::function<void(double)>& copied, int pages_per_slice) {
  std::error_code ec;
  if (std::filesystem::exists(destination, ec)) {
    *why = "la copie " + destination + " existe déjà";
    return false;
  }
  sqlite3* from = OpenConnection(source, SQLITE_OPEN_READONLY, why);
  if (from == nullptr) return false;
  sqlite3* to = OpenConnection(destination, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, why);
  if (to == nullptr) {
    sqlite3_close(from);
    return false;
  }
  // One flush of the finished copy instead of one per step of SQLite.
  sqlite3_exec(to, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
  bool ok = false;
  sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
  if (backup == nullptr) {
    *why = "copie impossible (" + Reason(to, SQLITE_ERROR) + ")";
  } else {
    // The source's snapshot is taken once and kept for every slice, so that
    // writes made by other programs meanwhile neither enter the copy nor
    // start it again.
    const bool pinned = BeginSnapshot(from);
    int rc;
    int waits = 0;
    while (true) {
      rc = sqlite3_backup_step(backup, copied && pinned ? std::max(pages_per_slice, 1) : -1);
      if (rc == SQLITE_OK) {
        const int total = sqlite3_backup_pagecount(backup);
        if (total > 0) {
          copied(static_cast<double>(total - sqlite3_backup_remaining(backup)) / total);
        }
        continue;
      }
      if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
      if (++waits > kBusyTimeoutMs / 20) break;
      sqlite3_sleep(20);
    }
    sqlite3_backup_finish(backup);
    if (pinned) sqlite3_exec(from, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_DONE && copied) copied(1.0);
    ok = rc == SQLITE_DONE;
    if (!ok) *why = "copie impossible (" + std::string(sqlite3_errstr(rc)) + ")";
  }
  // The copy stands alone: one file, no write-ahead log beside it.
  if (ok &&
      sqlite3_exec(to, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK) {
    *why = "copie impossible (" + Reason(to, SQLITE_ERROR) + ")";
    ok = false;
  }
  sqlite3_close(from);
  sqlite3_close(to);
  if (ok && !FlushToDisk(destination)) {
    *why = "copie impossible (écriture sur le disque)";
    ok = false;
  }
  if (!ok) std::filesystem::remove(destination, ec);
  return ok;
}

uint32_t Crc32(uint32_t crc, const void* data, std::size_t size) {
  if (size == 0) return crc;  // zlib gives its initial value for no buffer
  return static_cast<uint32_t>(
      ::crc32_z(crc, static_cast<const Bytef*>(data), static_cast<z_size_t>(size)));
}

bool ChecksumFile(const std::string& path, uint32_t* crc, uint64_t* size) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::array<char, 1 << 16> chunk;
  uint32_t value = 0;
  uint64_t total = 0;
  while (in) {
    in.read(chunk.data(), chunk.size());
    std::streamsize got = in.gcount();
    if (got <= 0) break;
    value = Crc32(value, chunk.data(), static_cast<std::size_t>(got));
    total += static_cast<uint64_t>(got);
  }
  if (in.bad()) return false;
  *crc = value;
  *size = total;
  return true;
}

std::string HexCrc(uint32_t crc) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", crc);
  return text;
}

}  // namespace vz::veriroru
