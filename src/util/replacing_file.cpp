// Files replaced whole through a temporary name (replacing_file.h).
#include "src/util/replacing_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <utility>

#include "src/util/output_file_calls.h"

namespace vz::util {
namespace {

constexpr size_t kStreamBuffer = 1 << 16;
constexpr size_t kHostPartLimit = 32;
// Names already taken (a leftover of an earlier process that had the same
// pid) are skipped; this many attempts end the search.
constexpr int kNameAttempts = 64;

std::atomic<unsigned long> writers_started{0};

bool IsHostCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

std::string MakeHostPart() {
  char name[256] = {};
  std::string part;
  if (::gethostname(name, sizeof name - 1) == 0) {
    for (const char* c = name; *c != '\0' && *c != '.' && part.size() < kHostPartLimit; ++c) {
      part.push_back(IsHostCharacter(*c) ? *c : '-');
    }
  }
  return part.empty() ? std::string("host") : part;
}

std::string NextTemporaryPath(const std::string& final_path) {
  std::string path = final_path;
  path += '.';
  path += ThisHostPart();
  path += '.';
  path += std::to_string(::getpid());
  path += '.';
  path += std::to_string(++writers_started);
  path += kTemporarySuffix;
  return path;
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Cuts the last ".<part>" off `name` into `part`; false when there is none.
bool TakeLastPart(std::string_view& name, std::string_view& part) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  part = name.substr(dot + 1);
  name = name.substr(0, dot);
  return true;
}

// Makes the rename that just happened in the folder of `path` durable.
void SyncFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

const std::string& ThisHostPart() {
  static const std::string part = MakeHostPart();
  return part;
}

ReplacingFile::ReplacingFile(std::string final_path) : final_path_(std::move(final_path)) {
  if (final_path_.empty()) return;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = NextTemporaryPath(final_path_);
    const int fd = OutputFiles().CreateExclusive(candidate);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return;
    }
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
      ::close(fd);
      OutputFiles().Remove(candidate);
      return;
    }
    temporary_path_ = std::move(candidate);
    std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
    return;
  }
}

ReplacingFile::~ReplacingFile() {
  if (file_) Discard();
}

void ReplacingFile::Put(std::string_view bytes) {
  if (!ok()) return;
  // One writer owns its stream: no lock is taken per write.
  if (::fwrite_unlocked(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
}

bool ReplacingFile::Commit() {
  if (!file_) return false;
  bool written = !failed_ && std::fflush(file_) == 0 && OutputFiles().Sync(::fileno(file_)) == 0;
  written = std::fclose(file_) == 0 && written;
  file_ = nullptr;
  if (written && OutputFiles().Rename(temporary_path_, final_path_) == 0) {
    SyncFolderOf(final_path_);
    return true;
  }
  OutputFiles().Remove(temporary_path_);
  return false;
}

void ReplacingFile::Discard() {
  std::fclose(file_);
  file_ = nullptr;
  OutputFiles().Remove(temporary_path_);
}

bool ReplaceFileWithBytes(const std::string& final_path, std::string_view bytes) {
  ReplacingFile file(final_path);
  file.Put(bytes);
  return file.Commit();
}

std::optional<TemporaryFileOwner> TemporaryFileOwnerOf(std::string_view file_name) {
  if (!file_name.ends_with(kTemporarySuffix)) return std::nullopt;
  std::string_view rest = file_name.substr(0, file_name.size() - kTemporarySuffix.size());
  std::string_view count;
  std::string_view pid;
  std::string_view host;
  if (!TakeLastPart(rest, count) || !TakeLastPart(rest, pid) || !TakeLastPart(rest, host)) {
    return std::nullopt;
  }
  if (rest.empty() || !AllDigits(count) || !AllDigits(pid) || host.empty() ||
      host.size() > kHostPartLimit) {
    return std::nullopt;
  }
  for (char c : host) {
    if (!IsHostCharacter(c)) return std::nullopt;
  }
  long long number = 0;
  const auto [end, error] = std::from_chars(pid.data(), pid.data() + pid.size(), number);
  if (error != std::errc() || end != pid.data() + pid.size() || number <= 0 || number > INT_MAX) {
    return std::nullopt;
  }
  return TemporaryFileOwner{std::string(host), static_cast<pid_t>(number)};
}

}  // namespace vz::util
