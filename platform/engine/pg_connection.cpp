#include "platform/engine/pg_connection.h"

#include <cstring>

namespace vz::engine {
namespace {

constexpr std::size_t kMostIdleSessions = 8;
constexpr std::size_t kLongestName = 63;  // the server's identifier limit

// The engine prints nothing: the server's notices are dropped.
void DropNotice(void* /*arg*/, const char* /*message*/) {}

bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || c == '_';
}

}  // namespace

std::string PgName(std::string_view name) {
  if (name.empty() || name.size() > kLongestName || !IsNameStart(name[0])) return "";
  for (char c : name) {
    if (!IsNameStart(c) && !(c >= '0' && c <= '9')) return "";
  }
  return "\"" + std::string(name) + "\"";
}

void PgParams::Bytes(std::string_view bytes) {
  // A bytea parameter needs a pointer even when empty.
  values_[count_] = bytes.empty() ? "" : bytes.data();
  lengths_[count_] = static_cast<int>(bytes.size());
  formats_[count_] = 1;
  ++count_;
}

void PgParams::Int64(int64_t value) {
  std::array<char, 8>& bytes = integers_[count_];
  uint64_t bits = static_cast<uint64_t>(value);
  for (int i = 7; i >= 0; --i) {
    bytes[static_cast<std::size_t>(i)] = static_cast<char>(bits & 0xFF);
    bits >>= 8;
  }
  values_[count_] = bytes.data();
  lengths_[count_] = 8;
  formats_[count_] = 1;
  ++count_;
}

int64_t PgInt64(const PGresult* result, int row, int column) {
  if (PQgetlength(result, row, column) != 8) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(PQgetvalue(result, row, column));
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = (bits << 8) | bytes[i];
  return static_cast<int64_t>(bits);
}

std::string_view PgBytes(const PGresult* result, int row, int column) {
  return std::string_view(PQgetvalue(result, row, column),
                          static_cast<std::size_t>(PQgetlength(result, row, column)));
}

bool IsPgLockError(const PGresult* result) {
  const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  return state != nullptr && (std::strcmp(state, "55P03") == 0 || std::strcmp(state, "40P01") == 0);
}

bool IsPgConnectionLost(const PGresult* result, const PGconn* conn) {
  if (conn == nullptr || PQstatus(conn) != CONNECTION_OK || result == nullptr) return true;
  if (PgSucceeded(result)) return false;
  const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
  if (state == nullptr) return true;
  return std::strncmp(state, "08", 2) == 0 || std::strcmp(state, "57P01") == 0 ||
         std::strcmp(state, "57P02") == 0 || std::strcmp(state, "57P03") == 0;
}

bool PgSucceeded(const PGresult* result) {
  if (result == nullptr) return false;
  const ExecStatusType status = PQresultStatus(result);
  return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

std::string PgError(const PGresult* result, const PGconn* conn) {
  std::string text = result != nullptr ? PQresultErrorMessage(result) : "";
  if (text.empty() && conn != nullptr) text = PQerrorMessage(conn);
  if (text.empty()) text = "no result";
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::unique_ptr<PgSession> PgPool::Take(int lock_wait_ms, std::string* why) {
  // An idle session the server dropped meanwhile (a restart) is closed, and
  // the next one tried, down to a new one.
  for (;;) {
    const bool pooled = !idle_.empty();
    std::unique_ptr<PgSession> session = TakeOne(lock_wait_ms, why);
    if (session != nullptr || !pooled || !last_take_lost_) return session;
  }
}

std::unique_ptr<PgSession> PgPool::TakeOne(int lock_wait_ms, std::string* why) {
  last_take_lost_ = false;
  std::unique_ptr<PgSession> session;
  if (!idle_.empty()) {
    session = std::move(idle_.back());
    idle_.pop_back();
  } else {
    session = std::make_unique<PgSession>();
    session->conn.reset(PQconnectdb(conninfo_.c_str()));
    if (session->conn == nullptr || PQstatus(session->conn.get()) != CONNECTION_OK) {
      *why = "cannot reach the database server: " + PgError(nullptr, session->conn.get());
      return nullptr;
    }
    PQsetNoticeProcessor(session->conn.get(), DropNotice, nullptr);
  }
  // Values are sent as parameters; the lock wait is a number we make.
  const std::string set =
      "SET lock_timeout = " + std::to_string(lock_wait_ms < 1 ? 1 : lock_wait_ms);
  PgResult result(PQexec(session->conn.get(), set.c_str()));
  if (!PgSucceeded(result.get())) {
    last_take_lost_ = IsPgConnectionLost(result.get(), session->conn.get());
    *why = "the database server refused the session: " + PgError(result.get(), session->conn.get());
    return nullptr;
  }
  return session;
}

void PgPool::Give(std::unique_ptr<PgSession> session) {
  if (session == nullptr || session->conn == nullptr) return;
  if (PQstatus(session->conn.get()) != CONNECTION_OK ||
      PQtransactionStatus(session->conn.get()) != PQTRANS_IDLE ||
      idle_.size() >= kMostIdleSessions) {
    return;  // closed as it goes
  }
  idle_.push_back(std::move(session));
}

}  // namespace vz::engine
