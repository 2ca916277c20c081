#include "tools/veriroru/unfinished_backups.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "tools/veriroru/manifest.h"
#include "tools/veriroru/tool_paths.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBackupLockName = ".sauvegarde-en-cours.verrou";

std::string LockPath(const std::string& data_directory) {
  return data_directory + "/" + kBackupFolder + "/" + kBackupLockName;
}

bool AllDigits(const std::string& text, std::size_t from, std::size_t count) {
  if (text.size() < from + count) return false;
  for (std::size_t i = from; i < from + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

bool HoldsPlainFilesOnly(const fs::path& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; it != end; it.increment(ec)) {
    if (ec) return false;
    std::error_code type_error;
    if (it->is_symlink(type_error) || !it->is_regular_file(type_error)) return false;
  }
  return !ec;
}

}  // namespace

bool IsBackupFolderName(const std::string& name) {
  if (!AllDigits(name, 0, 8) || name.size() < 15 || name[8] != '-' || !AllDigits(name, 9, 6)) {
    return false;
  }
  if (name.size() == 15) return true;
  return name[15] == '-' && name.size() > 16 && AllDigits(name, 16, name.size() - 16);
}

int RemoveUnfinishedBackups(const std::string& data_directory) {
  const fs::path parent = fs::path(data_directory) / kBackupFolder;
  std::error_code ec;
  if (!fs::is_directory(parent, ec)) return 0;
  const vz::os::FileLock no_backup_running =
      vz::os::FileLock::TryLock(LockPath(data_directory), vz::os::FileLock::Mode::kExclusive);
  if (!no_backup_running.held()) return 0;
  std::vector<fs::path> unfinished;
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_error;
    if (it->is_symlink(type_error) || !it->is_directory(type_error)) continue;
    if (!IsBackupFolderName(it->path().filename().string())) continue;
    if (fs::exists(it->path() / kManifestName, type_error) || type_error) continue;
    if (HoldsPlainFilesOnly(it->path())) unfinished.push_back(it->path());
  }
  int removed = 0;
  for (const fs::path& folder : unfinished) {
    std::error_code remove_error;
    fs::remove_all(folder, remove_error);
    if (!remove_error) ++removed;
  }
  return removed;
}

vz::os::FileLock HoldBackupInProgress(const std::string& data_directory) {
  std::error_code ec;
  fs::create_directories(fs::path(data_directory) / kBackupFolder, ec);
  vz::os::FileLock lock;
  for (int attempt = 0; attempt < 20; ++attempt) {
    lock = vz::os::FileLock::TryLock(LockPath(data_directory), vz::os::FileLock::Mode::kShared);
    if (lock.state() != vz::os::FileLock::State::kBusy) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return lock;
}

}  // namespace vz::veriroru
