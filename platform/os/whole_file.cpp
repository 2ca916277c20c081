#include "platform/os/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace vz::os {

bool ReadWholeFile(const std::string& path, std::string* contents) {
  contents->clear();
  // Without waiting: a pipe or a device named by mistake is refused at once.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  contents->reserve(static_cast<size_t>(info.st_size));
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    contents->append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  if (!ok) contents->clear();
  return ok;
}

bool ReplaceFileContents(const std::string& path, std::string_view contents) {
  // Write through a symbolic link to the file it names, keeping the link.
  std::string target = path;
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    target = resolved;
    std::free(resolved);
  }
  mode_t mode = 0644;
  struct stat info;
  if (::stat(target.c_str(), &info) == 0) mode = info.st_mode & 07777;

  std::string temporary = target + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = true;
  size_t written = 0;
  while (ok && written < contents.size()) {
    const ssize_t put = ::write(fd, contents.data() + written, contents.size() - written);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0)
      ok = false;
    else
      written += static_cast<size_t>(put);
  }
  if (ok) ok = ::fchmod(fd, mode) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here loses nothing.
  const size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const int dir_fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);
    ::close(dir_fd);
  }
  return true;
}

}  // namespace vz::os
