#include "platform/engine/pg_storage.h"

#include "platform/engine/pg_data_file.h"

namespace vz::engine {
namespace {

// Advancing a counter waits up to 5 s for another program advancing it at
// the same moment: the wait holds for the transaction of that one statement.
constexpr char kCounterBeginSql[] = "BEGIN; SET LOCAL lock_timeout = 5000";

}  // namespace

bool IsAcceptableConninfo(const std::string& conninfo, std::string* why) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
  if (options == nullptr) {
    *why = error != nullptr ? error : "connection settings not understood";
    PQfreemem(error);
    while (!why->empty() && why->back() == '\n') why->pop_back();
    return false;
  }
  bool password = false;
  for (PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
    if (std::string_view(option->keyword) == "password" && option->val != nullptr &&
        option->val[0] != '\0') {
      password = true;
    }
  }
  PQconninfoFree(options);
  if (password) {
    *why = "the connection settings hold a password; keep it in the .pgpass file instead";
    return false;
  }
  return true;
}

PgStorage::PgStorage(std::string conninfo) : pool_(std::make_shared<PgPool>(std::move(conninfo))) {}

bool PgStorage::Check(std::string* why) {
  if (!IsAcceptableConninfo(pool_->conninfo(), why)) return false;
  std::unique_ptr<PgSession> session = pool_->Take(20, why);
  if (session == nullptr) return false;
  pool_->Give(std::move(session));
  return true;
}

int64_t PgStorage::NextCounter(std::string_view name, int64_t at_least, std::string* why) {
  std::unique_ptr<PgSession> session = pool_->Take(20, why);
  if (session == nullptr) return 0;
  PGconn* conn = session->conn.get();
  PgParams params;
  params.Bytes(name);
  params.Int64(at_least);
  int64_t value = 0;
  for (int pass = 0; pass < 2 && value == 0; ++pass) {
    // The counter's row is locked only for the one statement that advances
    // it: another program advancing it at the same moment is waited for,
    // not taken for a lock held long (the session's own wait is one
    // attempt's pause, which a loaded machine outlasts).
    PgResult begin(PQexec(conn, kCounterBeginSql));
    if (!PgSucceeded(begin.get())) {
      *why = "counter not advanced: " + PgError(begin.get(), conn);
      PgResult(PQexec(conn, "ROLLBACK"));
      break;
    }
    PgResult next(PQexecParams(
        conn,
        "INSERT INTO vz_counters(name, value) VALUES($1, GREATEST($2::bigint, 1)) "
        "ON CONFLICT (name) DO UPDATE "
        "SET value = GREATEST(vz_counters.value + 1, EXCLUDED.value) "
        "RETURNING value",
        params.count(), nullptr, params.values(), params.lengths(), params.formats(), 1));
    if (PgSucceeded(next.get()) && PQntuples(next.get()) == 1) {
      PgResult commit(PQexec(conn, "COMMIT"));
      if (PgSucceeded(commit.get())) {
        value = PgInt64(next.get(), 0, 0);
      } else {
        *why = "counter not advanced: " + PgError(commit.get(), conn);
        PgResult(PQexec(conn, "ROLLBACK"));
      }
      break;
    }
    *why = "counter not advanced: " + PgError(next.get(), conn);
    PgResult(PQexec(conn, "ROLLBACK"));
    const char* state = PQresultErrorField(next.get(), PG_DIAG_SQLSTATE);
    if (pass > 0 || state == nullptr || std::string_view(state) != "42P01") break;
    // The first counter of the database: its table, made once.
    PgResult made(PQexec(conn,
                         "BEGIN; SET LOCAL lock_timeout = 10000; "
                         "SELECT pg_advisory_xact_lock(hashtext(current_schema())); "
                         "CREATE TABLE IF NOT EXISTS vz_counters("
                         "name bytea PRIMARY KEY, value bigint NOT NULL); COMMIT"));
    if (!PgSucceeded(made.get())) {
      *why = "counter not made: " + PgError(made.get(), conn);
      PgResult(PQexec(conn, "ROLLBACK"));
      break;
    }
  }
  pool_->Give(std::move(session));
  return value;
}

bool PgStorage::ListFiles(std::vector<std::pair<std::string, std::string>>* files,
                          std::string* why) {
  std::unique_ptr<PgSession> session = pool_->Take(20, why);
  if (session == nullptr) return false;
  PGconn* conn = session->conn.get();
  PgResult rows(PQexecParams(conn, "SELECT name, file FROM vz_files ORDER BY name", 0, nullptr,
                             nullptr, nullptr, nullptr, 1));
  const char* state = rows != nullptr ? PQresultErrorField(rows.get(), PG_DIAG_SQLSTATE) : nullptr;
  bool ok = true;
  if (PgSucceeded(rows.get())) {
    for (int row = 0; row < PQntuples(rows.get()); ++row) {
      files->emplace_back(PgBytes(rows.get(), row, 0), PgBytes(rows.get(), row, 1));
    }
  } else if (state == nullptr || std::string_view(state) != "42P01") {  // no file yet: none
    *why = "cannot list the files: " + PgError(rows.get(), conn);
    ok = false;
  }
  pool_->Give(std::move(session));
  return ok;
}

std::string PgStorage::Locate(const std::string& /*directory*/,
                              std::string_view physical_name) const {
  std::string name(physical_name);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

Storage::OpenResult PgStorage::Open(const std::string& path, const FileEntry& entry, bool create,
                                    const Attempts& attempts, std::unique_ptr<DataFile>* out,
                                    std::string* why) {
  return PgDataFile::Open(pool_, path, entry, create, compact_new_files_, attempts, out, why);
}

}  // namespace vz::engine
