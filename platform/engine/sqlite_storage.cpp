#include "platform/engine/sqlite_storage.h"

#include "platform/engine/paths.h"
#include "platform/engine/sqlite_data_file.h"

namespace vz::engine {

std::string SqliteStorage::Locate(const std::string& directory,
                                  std::string_view physical_name) const {
  return DatabasePath(directory, physical_name);
}

Storage::OpenResult SqliteStorage::Open(const std::string& path, const FileEntry& entry,
                                        bool create, const Attempts& attempts,
                                        std::unique_ptr<DataFile>* out, std::string* why) {
  return SqliteDataFile::Open(path, entry, create, attempts, out, why);
}

}  // namespace vz::engine
