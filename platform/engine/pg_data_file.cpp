// Opening a PostgreSQL data file: the catalogue row of the file, the table of
// a new file, the stored key rules, and the statements every operation runs.
#include "platform/engine/pg_data_file.h"

#include <algorithm>
#include <thread>

namespace vz::engine {
namespace {

// Serialises the making of the catalogue and of new files of one schema
// between sessions (pg_advisory_xact_lock, with the schema's hash): two
// advisers opening a new file at once make it once.
constexpr int64_t kCatalogueLock = 0x567A46696C6573;  // "VzFiles"

const char kCatalogueSql[] =
    "CREATE TABLE IF NOT EXISTS vz_files("
    "name bytea PRIMARY KEY, file_no bigint GENERATED ALWAYS AS IDENTITY UNIQUE, "
    "format integer NOT NULL DEFAULT 1, file bytea NOT NULL, rules bytea NOT NULL)";

// Commits made in this process to each file of each server, so that the
// slices read ahead by another data file of the same file are dropped.
std::shared_ptr<uint64_t> VersionOf(const std::string& conninfo, const std::string& name) {
  static auto* versions = new std::map<std::string, std::shared_ptr<uint64_t>>();
  std::shared_ptr<uint64_t>& version = (*versions)[conninfo + '\n' + name];
  if (!version) version = std::make_shared<uint64_t>(0);
  return version;
}

int AttemptCount(const Attempts& attempts) {
  return attempts.count < 1 ? 1 : attempts.count;
}

}  // namespace

PgDataFile::PgDataFile(std::shared_ptr<PgPool> pool, std::unique_ptr<PgSession> session,
                       std::string name, const FileEntry& entry, int64_t file_no)
    : DataFile(name, entry.name),
      pool_(std::move(pool)),
      session_(std::move(session)),
      name_(std::move(name)),
      file_no_(file_no),
      version_(VersionOf(pool_->conninfo(), name_)) {
  for (const KeyRule& rule : entry.keys) key_rules_.push_back(rule.Signature());
}

PgDataFile::~PgDataFile() {
  DropAhead();  // the session goes back idle
  if (in_batch_) EndBatch(Attempts{});
  cursors_.clear();
  pool_->Give(std::move(session_));
}

Storage::OpenResult PgDataFile::Open(const std::shared_ptr<PgPool>& pool, const std::string& name,
                                     const FileEntry& entry, bool create, bool compact,
                                     const Attempts& attempts, std::unique_ptr<DataFile>* out,
                                     std::string* why) {
  std::unique_ptr<PgSession> session = pool->Take(attempts.sleep_ms, why);
  if (session == nullptr) return Storage::OpenResult::kFailed;
  std::unique_ptr<PgDataFile> file(new PgDataFile(pool, std::move(session), name, entry, 0));
  file->set_compact(compact);  // when made here; Find reads the form of a file that exists
  bool found = false;
  if (!file->Find(create, &found, why)) return Storage::OpenResult::kFailed;
  if (!found) return Storage::OpenResult::kMissing;
  *out = std::move(file);
  return Storage::OpenResult::kOpen;
}

std::string PgDataFile::Rules() const {
  std::string rules;
  for (const std::string& rule : key_rules_) rules += rule + "\n";
  return rules;
}

bool PgDataFile::Find(bool create, bool* found, std::string* why) {
  PGconn* conn = session_->conn.get();
  PgParams params;
  params.Bytes(name_);
  const char* kSelect = "SELECT file_no, format, rules FROM vz_files WHERE name = $1";
  for (int pass = 0; pass < 2; ++pass) {
    PgResult row(PQexecParams(conn, kSelect, 1, nullptr, params.values(), params.lengths(),
                              params.formats(), 1));
    const char* state = row != nullptr ? PQresultErrorField(row.get(), PG_DIAG_SQLSTATE) : nullptr;
    const bool no_catalogue = state != nullptr && std::string_view(state) == "42P01";
    if (!PgSucceeded(row.get()) && !no_catalogue) {
      *why = "cannot read the catalogue of files: " + PgError(row.get(), conn);
      return false;
    }
    if (!no_catalogue && PQntuples(row.get()) == 1) {
      file_no_ = PgInt64(row.get(), 0, 0);
      // format is an integer column: binary int4, in network order.
      const std::string_view format = PgBytes(row.get(), 0, 1);
      const std::string_view plain("\0\0\0\1", 4);
      const std::string_view compact("\0\0\0\2", 4);
      if (format != plain && format != compact) {
        *why = "stored in an unknown format";
        return false;
      }
      set_compact(format == compact);
      needs_reindex_ = PgBytes(row.get(), 0, 2) != Rules();
      *found = true;
      return true;
    }
    if (!create || pass == 1) return true;  // missing: nothing made
    if (!CreateFile(why)) return false;
  }
  return true;
}

bool PgDataFile::CreateFile(std::string* why) {
  PGconn* conn = session_->conn.get();
  auto fail = [&](const PGresult* result) {
    *why = "cannot create the file: " + PgError(result, conn);
    PgResult(PQexec(conn, "ROLLBACK"));
    return false;
  };
  PgParams lock;
  lock.Int64(kCatalogueLock);
  // Making a file takes a few statements: another session making one in the
  // same schema is waited for longer than a record's lock.
  PgResult begin(PQexec(conn, "BEGIN; SET LOCAL lock_timeout = 10000"));
  if (!PgSucceeded(begin.get())) return fail(begin.get());
  PgResult locked(
      PQexecParams(conn, "SELECT pg_advisory_xact_lock($1::bigint # hashtext(current_schema()))", 1,
                   nullptr, lock.values(), lock.lengths(), lock.formats(), 1));
  if (!PgSucceeded(locked.get())) return fail(locked.get());
  PgResult catalogue(PQexec(conn, kCatalogueSql));
  if (!PgSucceeded(catalogue.get())) return fail(catalogue.get());
  const std::string rules = Rules();
  PgParams row;
  row.Bytes(name_);
  row.Bytes(file());
  row.Bytes(rules);
  row.Int64(compact() ? 2 : 1);  // kCompactFormat, kPlainFormat
  PgResult inserted(PQexecParams(conn,
                                 "INSERT INTO vz_files(name, file, rules, format) "
                                 "VALUES($1, $2, $3, $4::bigint) "
                                 "ON CONFLICT (name) DO NOTHING RETURNING file_no",
                                 4, nullptr, row.values(), row.lengths(), row.formats(), 1));
  if (!PgSucceeded(inserted.get())) return fail(inserted.get());
  if (PQntuples(inserted.get()) == 1) {  // not made by another session meanwhile
    file_no_ = PgInt64(inserted.get(), 0, 0);
    std::string sql = "CREATE TABLE " + Table() +
                      "(recno bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, data bytea NOT NULL";
    for (std::size_t i = 0; i < key_rules_.size(); ++i) {
      sql += ", " + KeyColumn(i) + " bytea NOT NULL DEFAULT ''::bytea";
    }
    sql += ")";
    for (std::size_t i = 0; i < key_rules_.size(); ++i) sql += ";" + KeyIndexSql(i);
    PgResult made(PQexec(conn, sql.c_str()));
    if (!PgSucceeded(made.get())) return fail(made.get());
  }
  PgResult commit(PQexec(conn, "COMMIT"));
  if (!PgSucceeded(commit.get())) return fail(commit.get());
  return true;
}

std::string PgDataFile::Table() const {
  return PgName(Numbered("vz_r", file_no_));
}

std::string PgDataFile::KeyColumn(std::size_t i) {
  return PgName(Numbered("k", static_cast<long long>(i + 1)));
}

std::string PgDataFile::KeyIndex(std::size_t i) const {
  return PgName(Numbered("vz_r", file_no_) + Numbered("_k", static_cast<long long>(i + 1)));
}

std::string PgDataFile::KeyIndexSql(std::size_t i) const {
  return "CREATE INDEX " + KeyIndex(i) + " ON " + Table() + "(" + KeyColumn(i) + ", recno)";
}

std::string PgDataFile::Columns() const {
  std::string columns = "recno, data";
  for (std::size_t i = 0; i < key_rules_.size(); ++i) columns += ", " + KeyColumn(i);
  return columns;
}

PgResult PgDataFile::Run(const std::string& name, const std::string& sql, const PgParams& params,
                         const Attempts& attempts, const char* what) {
  Settle();  // the session takes one query at a time
  const int count = in_batch_ ? 1 : AttemptCount(attempts);
  bool reconnected = false;
  for (int attempt = 1;; ++attempt) {
    PGconn* conn = session_->conn.get();
    if (session_->prepared.count(name) == 0) {
      PgResult prepared(PQprepare(conn, name.c_str(), sql.c_str(), 0, nullptr));
      if (!PgSucceeded(prepared.get())) {
        if (!reconnected && IsPgConnectionLost(prepared.get(), conn) && Reconnect(attempts)) {
          reconnected = true;
          continue;
        }
        ReportPg(what, prepared.get());
        return nullptr;
      }
      session_->prepared.insert(name);
    }
    PgResult result(PQexecPrepared(conn, name.c_str(), params.count(), params.values(),
                                   params.lengths(), params.formats(), 1));
    if (PgSucceeded(result.get())) return result;
    if (!reconnected && IsPgConnectionLost(result.get(), conn) && Reconnect(attempts)) {
      reconnected = true;
      continue;
    }
    const bool locked = IsPgLockError(result.get());
    if (!locked || attempt >= count) {
      ReportPg(locked ? std::string(what) + ": file locked" : what, result.get());
      if (in_batch_) batch_failed_ = true;
      return nullptr;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(attempts.sleep_ms));
  }
}

bool PgDataFile::Reconnect(const Attempts& attempts) {
  PGconn* conn = session_->conn.get();
  if (in_batch_) return false;
  PQreset(conn);
  session_->prepared.clear();  // gone with the old connection
  if (PQstatus(conn) != CONNECTION_OK) return false;
  const std::string set = "SET lock_timeout = " + std::to_string(std::max(1, attempts.sleep_ms));
  PgResult result(PQexec(conn, set.c_str()));
  return PgSucceeded(result.get());
}

bool PgDataFile::Exec(const std::string& sql, const Attempts& attempts, const char* what) {
  Settle();
  PGconn* conn = session_->conn.get();
  const int count = in_batch_ ? 1 : AttemptCount(attempts);
  for (int attempt = 1;; ++attempt) {
    PgResult result(PQexec(conn, sql.c_str()));
    if (PgSucceeded(result.get())) return true;
    const bool locked = IsPgLockError(result.get());
    if (!locked || attempt >= count) {
      ReportPg(locked ? std::string(what) + ": file locked" : what, result.get());
      if (in_batch_) batch_failed_ = true;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(attempts.sleep_ms));
  }
}

void PgDataFile::ReportPg(const std::string& what, const PGresult* result) {
  // Another session's lock after every attempt, as the SQLite files report
  // it; a session the server dropped and that could not be opened again:
  // the server is gone (stopped, restarted, or the network is down).
  const FileFault fault = IsPgLockError(result) ? FileFault::kLocked
                          : IsPgConnectionLost(result, session_->conn.get())
                              ? FileFault::kServerLost
                              : FileFault::kUnusable;
  Report(fault, what + ": " + PgError(result, session_->conn.get()));
}

bool PgDataFile::CheckIntegrity(std::vector<std::string>* problems) {
  SendHeldAdds(Attempts{});
  bool sound = true;
  auto problem = [&](std::string line) {
    if (problems->size() < static_cast<std::size_t>(kMostIntegrityProblems)) {
      problems->push_back(std::move(line));
    }
    sound = false;
  };
  if (needs_reindex_) problem("keys stored by other rules than the analysis's");
  // The table answers, and every key has its index on the server.
  PgParams none;
  PgResult count =
      Run(Numbered("check_", file_no_), "SELECT count(*) FROM " + Table() + " WHERE data IS NULL",
          none, Attempts{}, "cannot be checked");
  if (count == nullptr) {
    problem(last_error());
    return false;
  }
  if (PgInt64(count.get(), 0, 0) != 0) problem("records without data");
  CheckRecordsExpand(problem);
  const std::string table_name = Numbered("vz_r", file_no_);
  PgParams table;
  table.Bytes(table_name);
  PgResult indexes(PQexecParams(session_->conn.get(),
                                "SELECT count(*) FROM pg_indexes WHERE tablename = $1 "
                                "AND schemaname = current_schema()",
                                1, nullptr, table.values(), table.lengths(), table.formats(), 1));
  if (!PgSucceeded(indexes.get()) ||
      PgInt64(indexes.get(), 0, 0) != static_cast<int64_t>(key_rules_.size()) + 1) {
    problem("key indexes missing on the server");
  }
  return sound;
}

}  // namespace vz::engine
