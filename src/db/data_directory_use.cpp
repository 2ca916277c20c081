#include "src/db/data_directory_use.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vz::db {
namespace {

namespace fs = std::filesystem;

fs::path Folder(const std::string& data_directory) {
  return data_directory.empty() ? fs::path(".") : fs::path(data_directory);
}

}  // namespace

std::vector<std::string> UnfinishedRestoreFolders(const std::string& data_directory) {
  std::vector<std::string> folders;
  std::error_code ec;
  for (fs::directory_iterator it(Folder(data_directory) / kBackupFolderName, ec), end;
       !ec && it != end; it.increment(ec)) {
    std::error_code type_error;
    if (fs::is_regular_file(it->path() / kUnfinishedRestoreMarker, type_error)) {
      folders.push_back(it->path().string());
    }
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

os::FileLock LockDataDirectory(const std::string& data_directory, os::FileLock::Mode mode) {
  return os::FileLock::TryLock((Folder(data_directory) / kInUseLockName).string(), mode);
}

}  // namespace vz::db
