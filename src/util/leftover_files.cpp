// Clean-up of ReplacingFile leftovers (leftover_files.h).
#include "src/util/leftover_files.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "src/util/replacing_file.h"

namespace vz::util {
namespace {

namespace fs = std::filesystem;

// A process that may not be signalled still runs.
bool ProcessRuns(pid_t pid) {
  if (pid == ::getpid()) return true;
  return ::kill(pid, 0) == 0 || errno != ESRCH;
}

bool IsOwnedByEndedProcess(const fs::directory_entry& entry) {
  const std::optional<TemporaryFileOwner> owner =
      TemporaryFileOwnerOf(entry.path().filename().native());
  return owner && owner->host == ThisHostPart() && !ProcessRuns(owner->pid);
}

bool IsLeftover(const fs::directory_entry& entry) {
  std::error_code error;
  if (!entry.is_regular_file(error) || entry.is_symlink(error)) return false;
  return IsOwnedByEndedProcess(entry);
}

}  // namespace

int RemoveLeftoverTemporaryFiles(const std::string& folder) {
  int removed = 0;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (IsLeftover(*it) && fs::remove(it->path(), ignored)) ++removed;
  }
  return removed;
}

}  // namespace vz::util

namespace vz::util {

int RemoveLeftoverTemporaryFolders(const std::string& folder) {
  int removed = 0;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (!it->is_directory(ignored) || it->is_symlink(ignored) || !IsOwnedByEndedProcess(*it))
      continue;
    if (fs::remove_all(it->path(), ignored) > 0 && !ignored) ++removed;
  }
  return removed;
}

}  // namespace vz::util
