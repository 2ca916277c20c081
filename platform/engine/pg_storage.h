// The record engine's storage on a PostgreSQL server (docs/shared-database.md):
// every physical file of the installation is a table of one database, which
// any number of programs on any number of machines use at once. The Storage
// contract is storage.h's; the files it opens are PgDataFiles.
//
// A file is known by its physical name alone (upper-cased): the directory the
// analysis places it in says where each adviser's own outputs go, not which
// shared file it is, so that advisers with their own data directories work on
// the same files. The database (and its schema) is the one the connection
// string names, with libpq's conventions: keywords or a URI, a service of the
// service file, passwords in .pgpass, sslmode. A connection string holding a
// password is refused: the program never stores one.
//
// Owns a pool of connections (pg_connection.h) shared with the files it
// opened, which may outlive it. Single-threaded.
#ifndef VZ_PLATFORM_ENGINE_PG_STORAGE_H_
#define VZ_PLATFORM_ENGINE_PG_STORAGE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/engine/pg_connection.h"
#include "platform/engine/storage.h"

namespace vz::engine {

class PgStorage final : public Storage {
 public:
  explicit PgStorage(std::string conninfo);

  // Checks the connection string (well formed, no password) and that the
  // server answers; false with the reason otherwise.
  bool Check(std::string* why);

  // The next value of the counter `name` kept in the database (table
  // vz_counters), made when missing (at 1 at least): its value plus one, or `at_least` when
  // that is more. One statement: two programs never get the same value. 0
  // when the server fails (`why` says why).
  int64_t NextCounter(std::string_view name, int64_t at_least, std::string* why);

  // Every file the database holds: (physical name, the analysis's file name
  // stored with it). False with `why` when the server fails.
  bool ListFiles(std::vector<std::pair<std::string, std::string>>* files, std::string* why);

  std::string Locate(const std::string& directory, std::string_view physical_name) const override;
  OpenResult Open(const std::string& path, const FileEntry& entry, bool create,
                  const Attempts& attempts, std::unique_ptr<DataFile>* out,
                  std::string* why) override;

  // The form of the records of the files this storage makes: compact (the
  // default, record_codec.h) or plain. A file keeps the form it was made in.
  void set_compact_new_files(bool compact) { compact_new_files_ = compact; }

 private:
  std::shared_ptr<PgPool> pool_;
  bool compact_new_files_ = true;
};

// Refuses a connection string that libpq cannot read or that holds a
// password; `why` says why.
bool IsAcceptableConninfo(const std::string& conninfo, std::string* why);

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_PG_STORAGE_H_
