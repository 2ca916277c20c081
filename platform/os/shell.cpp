#include "platform/os/shell.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/os/cp1252.h"

namespace vz::os {

std::string ShellLogLine(std::string_view file, std::string_view parameters) {
  std::string line = Utf8(std::string(file) + " " + std::string(parameters));
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

bool ShellOpen(std::string_view file, std::string_view parameters, std::string_view directory) {
  (void)directory;
  const char* log = std::getenv(kShellLogVariable);
  if (log == nullptr || *log == '\0') return true;
  const std::string line = ShellLogLine(file, parameters) + "\n";
  const int fd = ::open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // One write call per line, so that lines of several writers never mix.
  size_t written = 0;
  bool ok = true;
  while (written < line.size()) {
    const ssize_t put = ::write(fd, line.data() + written, line.size() - written);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      ok = false;
      break;
    }
    written += static_cast<size_t>(put);
  }
  return ::close(fd) == 0 && ok;
}

}  // namespace vz::os
