// The log of failed runs (run_log.h).
#include "src/util/run_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/os/cp1252.h"

namespace vz::util {
namespace {

std::string Stamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

void RotateWhenLong(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 ||
      static_cast<std::uintmax_t>(info.st_size) < kRunLogLimit) {
    return;
  }
  std::rename((path + ".1").c_str(), (path + ".2").c_str());
  std::rename(path.c_str(), (path + ".1").c_str());
}

}  // namespace

std::string RunLogPath(const std::string& directory) {
  if (directory.empty()) return std::string(kRunLogName);
  std::string path = directory;
  if (path.back() != '/') path += '/';
  path += kRunLogName;
  return path;
}

bool AppendRunLog(const std::string& directory, std::string_view message) {
  const std::string path = RunLogPath(directory);
  RotateWhenLong(path);
  std::string line = Stamp() + " pid " + std::to_string(::getpid()) + ": " + os::Utf8(message);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  line += '\n';
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const char* p = line.data();
  std::size_t left = line.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return ::close(fd) == 0 && left == 0;
}

}  // namespace vz::util
