// Moving an installation's records between stores: every physical file kept
// in SQLite in a data directory copied to a PostgreSQL database, or back
// (vzdata copy, docs/shared-database.md).
//
// A copy keeps each record's bytes and the order records were added in: the
// records are read whole, put back in record-number order and added in one
// batch to the target file, emptied first, so that duplicates keep their
// order in every key. Record numbers start again at 1 in the target. A file
// whose stored keys were computed by other rules than the analysis's is not
// copied (the check and reindex of the tools program comes first). A target
// file that fails keeps nothing of the copy (one batch). Holds all records
// of one file in memory at a time. Single-threaded.
#ifndef VZ_PLATFORM_ENGINE_STORE_COPY_H_
#define VZ_PLATFORM_ENGINE_STORE_COPY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"
#include "platform/engine/pg_storage.h"
#include "platform/engine/storage.h"

namespace vz::engine {

// One physical file of an installation: its physical name (upper case) and
// its file in the analysis.
struct StoredFile {
  std::string physical_name;
  const FileEntry* entry = nullptr;
};

// The files kept in SQLite in `directory`: every <NAME>.vzdb whose name is
// a physical name of the analysis, or whose stored file name is a file of it
// (the per-query files of SELECTES). Others are listed in `skipped`.
std::vector<StoredFile> SqliteFilesIn(const std::string& directory, const Analysis& analysis,
                                      std::vector<std::string>* skipped);

// The files the server's database holds for the analysis.
std::vector<StoredFile> ServerFiles(PgStorage& server, const Analysis& analysis,
                                    std::vector<std::string>* skipped, std::string* why);

// Copies one file from `from` to `to` (paths as each Storage locates them).
// False with `why` when it cannot be done; `records` is what was copied.
bool CopyStoredFile(Storage& from, const std::string& from_path, Storage& to,
                    const std::string& to_path, const FileEntry& entry, int64_t* records,
                    std::string* why);

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_STORE_COPY_H_
