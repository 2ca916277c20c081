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
  const char* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
  const int size = sqlite3_column_bytes(statement, column);
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
