// Test support: whether a SQLite data file's first key's index carries the
// records (platform/engine/sqlite_key_index.h), read from the file itself.
#ifndef VZ_PLATFORM_ENGINE_FIRST_KEY_INDEX_TEST_SUPPORT_H_
#define VZ_PLATFORM_ENGINE_FIRST_KEY_INDEX_TEST_SUPPORT_H_

#include <sqlite3.h>

#include <string>

#include "platform/engine/sqlite_key_index.h"

namespace vz::engine::testing {

inline bool FirstKeyIndexCarries(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  const bool carries = SqliteFirstKeyIndexCarriesRecords(db);
  sqlite3_close(db);
  return carries;
}

}  // namespace vz::engine::testing

#endif  // VZ_PLATFORM_ENGINE_FIRST_KEY_INDEX_TEST_SUPPORT_H_
