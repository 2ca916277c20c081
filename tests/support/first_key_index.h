// Test support: whether a SQLite data file's first key's index carries the
// records (platform/engine/sqlite_key_index.h), read from the file itself.
#ifndef VZ_TESTS_SUPPORT_FIRST_KEY_INDEX_H_
#define VZ_TESTS_SUPPORT_FIRST_KEY_INDEX_H_

#include <sqlite3.h>

#include <string>

#include "platform/engine/sqlite_key_index.h"

namespace vz::testing {

inline bool FirstKeyIndexCarries(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  const bool carries = engine::SqliteFirstKeyIndexCarriesRecords(db);
  sqlite3_close(db);
  return carries;
}

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_FIRST_KEY_INDEX_H_
