// Owning handles and helpers for libpq, used by the PostgreSQL store
// (pg_storage.h, pg_data_file.h): a connection and a result free themselves
// when their owner goes; parameters are always sent bound and in binary form
// (PgParams), never as SQL text; the names of tables, indexes and prepared
// statements written into SQL text go through PgName, which refuses any name
// that is not a plain lower-case identifier the store made itself.
//
// A PgSession is one connection with the names of the statements prepared
// on it. Sessions are pooled (PgPool): a data file that closes gives its
// healthy, idle session back, and the next file opened takes it instead of
// connecting again. Single-threaded, as the whole engine.
#ifndef VZ_PLATFORM_ENGINE_PG_CONNECTION_H_
#define VZ_PLATFORM_ENGINE_PG_CONNECTION_H_

#include <libpq-fe.h>

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vz::engine {

struct PgConnectionFinisher {
  void operator()(PGconn* conn) const noexcept { PQfinish(conn); }
};
struct PgResultClearer {
  void operator()(PGresult* result) const noexcept { PQclear(result); }
};
using PgConnection = std::unique_ptr<PGconn, PgConnectionFinisher>;
using PgResult = std::unique_ptr<PGresult, PgResultClearer>;

// `name` between double quotes when it is a plain identifier of the store
// (a lower-case letter or '_', then lower-case letters, digits or '_', at
// most 63 characters); "" otherwise, which no statement accepts.
std::string PgName(std::string_view name);

// Values of one statement, in binary form: bytes as they are, integers as
// 8 bytes in network order. At most kMostParams values. Bytes are not
// copied: they must stay alive until the statement has run.
class PgParams {
 public:
  static constexpr int kMostParams = 24;
  void Bytes(std::string_view bytes);
  void Int64(int64_t value);
  int count() const { return count_; }
  const char* const* values() const { return values_.data(); }
  const int* lengths() const { return lengths_.data(); }
  const int* formats() const { return formats_.data(); }

 private:
  int count_ = 0;
  std::array<const char*, kMostParams> values_{};
  std::array<int, kMostParams> lengths_{};
  std::array<int, kMostParams> formats_{};
  std::array<std::array<char, 8>, kMostParams> integers_{};
};

// A binary result's 8-byte integer (int8) or bytes (bytea) at (row, column).
int64_t PgInt64(const PGresult* result, int row, int column);
std::string_view PgBytes(const PGresult* result, int row, int column);

// True when the result failed because another session holds a lock
// (lock_not_available, deadlock_detected): worth another attempt.
bool IsPgLockError(const PGresult* result);
// True when a failed statement failed because the session is gone (the
// server stopped, restarted or ended it, or the network is cut): the
// session is bad, the failure was made by libpq itself (no SQLSTATE), or the
// server gave a connection or shutdown state. libpq may still call such a
// session CONNECTION_OK, so the status alone does not tell.
bool IsPgConnectionLost(const PGresult* result, const PGconn* conn);
// The result's error, on one line; "no result" for a null one.
std::string PgError(const PGresult* result, const PGconn* conn);
bool PgSucceeded(const PGresult* result);

struct PgSession {
  PgConnection conn;
  std::set<std::string> prepared;  // statement names prepared on conn
};

// Connections to one server, as the connection string names it.
class PgPool {
 public:
  explicit PgPool(std::string conninfo) : conninfo_(std::move(conninfo)) {}
  const std::string& conninfo() const { return conninfo_; }
  // An idle session, or a new connection; null with `why` when the server
  // cannot be reached. `lock_wait_ms`: how long a statement waits for a lock
  // before it fails (and is tried again by the caller).
  std::unique_ptr<PgSession> Take(int lock_wait_ms, std::string* why);
  // Keeps the session for later when it is healthy and idle; closes it
  // otherwise.
  void Give(std::unique_ptr<PgSession> session);

 private:
  std::string conninfo_;
  // One session: an idle one or a new one; last_take_lost_ tells that a
  // failure came from a session the server had dropped.
  std::unique_ptr<PgSession> TakeOne(int lock_wait_ms, std::string* why);
  bool last_take_lost_ = false;
  std::vector<std::unique_ptr<PgSession>> idle_;
};

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_PG_CONNECTION_H_
