// Which store keeps the installation's records, as its parameter file says
// (docs/parameter-file.md, docs/shared-database.md): the SQLite files of the
// data directory, or the PostgreSQL server a firm's advisers share.
//
//   BASEDONNEES    field 1: absent, empty or "SQLITE": the files of the data
//                  directory; "POSTGRESQL": the server
//   CONNEXIONBASE  the whole value: libpq's connection string (a service of
//                  the service file, or keywords such as host, dbname,
//                  sslmode); never a password (the .pgpass file holds it)
//
// Chosen once at start-up, after the parameter file is read and before the
// engine settings close every file. A store that cannot be used comes back as
// the message to show (French, cp1252), with the reason; the caller stops
// the start: an adviser never works on an empty local file by mistake.
#ifndef VZ_SRC_DB_RECORD_STORE_H_
#define VZ_SRC_DB_RECORD_STORE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace vz::db {

inline constexpr std::string_view kStoreKey = "BASEDONNEES";
inline constexpr std::string_view kConnectionKey = "CONNEXIONBASE";

// Uses the store the two values name. "" when it is in use; otherwise the
// message for an error box ("Erreur,...").
std::string UseRecordStore(std::string_view store, std::string_view connection);

// True when the records are on the server the firm's advisers share.
bool RecordStoreIsShared();

// The next value of the counter `name` that the shared store keeps for every
// adviser's program: its value plus one, or `at_least` when that is more,
// never the same for two programs. 0 when the store is not shared or the
// server fails.
int64_t NextSharedNumber(std::string_view name, int64_t at_least);

}  // namespace vz::db

#endif  // VZ_SRC_DB_RECORD_STORE_H_
