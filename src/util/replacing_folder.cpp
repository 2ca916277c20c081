// A folder of outputs replaced as a whole set (replacing_folder.h).
#include "src/util/replacing_folder.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "src/util/replacing_file.h"

namespace vz::util {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 64;
std::atomic<unsigned long> folders_started{0};

std::string NextStagingPath(const std::string& final_folder) {
  return final_folder + '.' + ThisHostPart() + '.' + std::to_string(::getpid()) + '.' +
         std::to_string(++folders_started) + std::string(kTemporarySuffix);
}

std::string ParentOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

bool SyncPath(const std::string& path, bool whole_file_system) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = (whole_file_system ? ::syncfs(fd) : ::fsync(fd)) == 0;
  ::close(fd);
  return synced;
}

// Hard link, else copy: the previous folder keeps its own file until the exchange.
bool CarryFile(const fs::path& from, const fs::path& to) {
  if (::link(from.c_str(), to.c_str()) == 0) return true;
  std::error_code error;
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
}

bool ExchangeFolders(const std::string& staging, const std::string& final_folder,
                     const std::string& previous) {
  std::error_code error;
  if (!fs::exists(fs::symlink_status(final_folder, error))) {
    return std::rename(staging.c_str(), final_folder.c_str()) == 0;
  }
  if (::renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, final_folder.c_str(), RENAME_EXCHANGE) ==
      0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  // No exchange on this file system: the previous set steps aside first.
  if (std::rename(final_folder.c_str(), previous.c_str()) != 0) return false;
  if (std::rename(staging.c_str(), final_folder.c_str()) != 0) {
    std::rename(previous.c_str(), final_folder.c_str());
    return false;
  }
  return true;
}

}  // namespace

ReplacingFolder::ReplacingFolder(std::string final_folder) : final_(std::move(final_folder)) {
  while (final_.size() > 1 && final_.back() == '/') final_.pop_back();
  if (final_.empty()) return;
  std::error_code error;
  fs::create_directories(ParentOf(final_), error);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = NextStagingPath(final_);
    if (::mkdir(candidate.c_str(), 0777) == 0) {
      staging_ = std::move(candidate);
      return;
    }
    if (errno != EEXIST) return;
  }
}

ReplacingFolder::~ReplacingFolder() {
  Discard();
}

void ReplacingFolder::Discard() {
  if (staging_.empty()) return;
  std::error_code error;
  fs::remove_all(staging_, error);
  staging_.clear();
}

bool ReplacingFolder::Commit(const std::function<bool(std::string_view name)>& replaced) {
  if (staging_.empty()) return false;
  std::error_code error;
  std::vector<fs::path> folders_to_move;
  for (fs::directory_iterator it(final_, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (replaced(name)) continue;
    const fs::path target = fs::path(staging_) / name;
    std::error_code status;
    if (fs::exists(fs::symlink_status(target, status))) continue;  // the new set has its own
    if (it->is_directory(status) && !it->is_symlink(status)) {
      folders_to_move.push_back(it->path().filename());
      continue;
    }
    if (!CarryFile(it->path(), target)) {
      Discard();
      return false;
    }
  }
  const std::string previous = NextStagingPath(final_);
  if (!SyncPath(staging_, true) || !ExchangeFolders(staging_, final_, previous)) {
    Discard();
    return false;
  }
  SyncPath(ParentOf(final_), false);
  // After an exchange the staging name holds the previous set; after two
  // renames it is `previous`.
  const std::string old_set = fs::exists(previous, error) ? previous : staging_;
  for (const fs::path& folder : folders_to_move) {
    std::error_code ignored;
    fs::rename(fs::path(old_set) / folder, fs::path(final_) / folder, ignored);
  }
  fs::remove_all(old_set, error);
  staging_.clear();
  return true;
}

}  // namespace vz::util
