#include "platform/engine/sqlite_handles.h"

namespace vz::engine {
namespace {

bool IsPlainName(std::string_view name) {
  if (name.empty()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !(digit && i > 0)) return false;
  }
  return sqlite3_keyword_check(name.data(), static_cast<int>(name.size())) == 0;
}

}  // namespace

Statement Prepare(sqlite3* db, std::string_view sql, unsigned flags) {
  sqlite3_stmt* prepared = nullptr;
  const int rc =
      sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), flags, &prepared, nullptr);
  Statement statement(prepared);
  if (rc != SQLITE_OK) return nullptr;
  return statement;
}

std::string_view ColumnBytes(sqlite3_stmt* statement, int column) {
  // The column's value asked once, its bytes and size read from it: what
  // sqlite3_column_blob and sqlite3_column_bytes give, for one look-up of the
  // column instead of two (connections are single-threaded: see
  // sqlite_data_file.h).
  sqlite3_value* value = sqlite3_column_value(statement, column);
  const char* bytes = static_cast<const char*>(sqlite3_value_blob(value));
  const int size = sqlite3_value_bytes(value);
  if (bytes == nullptr) return std::string_view("", 0);
  return std::string_view(bytes, static_cast<std::size_t>(size));
}

std::string SqlName(std::string_view name) {
  if (IsPlainName(name)) return std::string(name);
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace vz::engine
