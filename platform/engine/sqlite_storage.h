// The record engine's storage in SQLite: one database file per physical
// file, <directory>/<PHYSICAL>.vzdb (docs/storage.md). The Storage contract is
// storage.h's; the files it opens are SqliteDataFiles. Holds no state: any
// number may exist, and files opened through different ones see each other's
// commits as files of one store do. Single-threaded.
#ifndef VZ_PLATFORM_ENGINE_SQLITE_STORAGE_H_
#define VZ_PLATFORM_ENGINE_SQLITE_STORAGE_H_

#include <memory>
#include <string>
#include <string_view>

#include "platform/engine/storage.h"

namespace vz::engine {

class SqliteStorage final : public Storage {
 public:
  std::string Locate(const std::string& directory, std::string_view physical_name) const override;
  OpenResult Open(const std::string& path, const FileEntry& entry, bool create,
                  const Attempts& attempts, std::unique_ptr<DataFile>* out,
                  std::string* why) override;
};

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_SQLITE_STORAGE_H_
