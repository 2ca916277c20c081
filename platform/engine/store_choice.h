// Which store keeps the records of this process: SQLite files in the data
// directory (the default, docs/storage.md) or a PostgreSQL server shared by a
// firm's advisers (docs/shared-database.md). The program chooses once at
// start-up, from its parameter file, before any file is opened; every
// context of the engine then opens its files through ChosenStore().
//
// A choice that cannot be used leaves the store as it was and says why (in
// English, for the log; the program shows its own message). Single-threaded.
#ifndef VZ_PLATFORM_ENGINE_STORE_CHOICE_H_
#define VZ_PLATFORM_ENGINE_STORE_CHOICE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/engine/storage.h"

namespace vz::engine {

// The store chosen last (SQLite until a server is chosen). Never destroyed.
// Every context opens its files through ProcessStorage() (process_storage.h),
// which forwards here unless a wrapper is put in its place.
Storage& ChosenStore();

// Files in SQLite from now on.
void UseSqliteStore();

// Files on the server that `conninfo` names (libpq's connection string) from
// now on, once the server has answered. False, the store unchanged, when the
// settings are refused (a password in them, not understood) or the server
// cannot be reached; `why` says why.
// REQUIRES: no file is open (start-up closes every file after choosing).
bool UsePostgresStore(const std::string& conninfo, std::string* why);

// True when the files are on a server that several programs share.
bool StoreIsShared();

// The next value of the counter `name` kept by the shared store (query
// numbers): its value plus one, or `at_least` when that is more, never the
// same for two programs. 0 when the store is not shared or the server fails
// (`why` says why).
int64_t NextSharedCounter(std::string_view name, int64_t at_least, std::string* why);

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_STORE_CHOICE_H_
