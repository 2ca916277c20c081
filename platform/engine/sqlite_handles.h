// Owning handles for SQLite: a connection and a prepared statement each close
// themselves when their owner goes, on every path out (early returns too).
// Statements must go before their connection: declare the connection first.
// A Connection closes with sqlite3_close_v2, which waits for statements still
// open (the connection closes when the last one is finalized).
//
// Also the one place where a name (table, column, index) becomes SQL text:
// every SQL text built from names goes through SqlName; values are always
// bound parameters, never text.
#ifndef VZ_PLATFORM_ENGINE_SQLITE_HANDLES_H_
#define VZ_PLATFORM_ENGINE_SQLITE_HANDLES_H_

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>

namespace vz::engine {

struct ConnectionCloser {
  void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Prepares `sql` on `db`; null when SQLite refuses it (sqlite3_errcode(db)
// says why). `flags`: sqlite3_prepare_v3's (SQLITE_PREPARE_PERSISTENT for
// statements kept and reused).
Statement Prepare(sqlite3* db, std::string_view sql, unsigned flags = 0);

// The bytes of a column of the statement's row; never a null pointer.
std::string_view ColumnBytes(sqlite3_stmt* statement, int column);

// `name` as SQL text: as it is when it is a plain identifier (a letter or
// '_', then letters, digits or '_', and no SQL keyword), so that the schema
// text stored in the file stays as it always was; otherwise between double
// quotes with every quote doubled, so that no name can end the identifier
// and add SQL of its own. REQUIRES: no NUL byte in `name` (names read back
// from SQLite as text never hold one).
std::string SqlName(std::string_view name);

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_SQLITE_HANDLES_H_
