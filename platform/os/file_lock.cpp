#include "platform/os/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace vz::os {

FileLock FileLock::TryLock(const std::string& path, Mode mode) {
  FileLock lock;
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    lock.error_ = std::strerror(errno);
    return lock;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    lock.error_ = "not a regular file";
    ::close(fd);
    return lock;
  }
  const int operation = (mode == Mode::kShared ? LOCK_SH : LOCK_EX) | LOCK_NB;
  int result = -1;
  do {
    result = ::flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    lock.state_ = errno == EWOULDBLOCK ? State::kBusy : State::kUnavailable;
    lock.error_ = std::strerror(errno);
    ::close(fd);
    return lock;
  }
  lock.fd_ = fd;
  lock.state_ = State::kHeld;
  return lock;
}

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      state_(std::exchange(other.state_, State::kUnavailable)),
      error_(std::move(other.error_)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
    state_ = std::exchange(other.state_, State::kUnavailable);
    error_ = std::move(other.error_);
  }
  return *this;
}

FileLock::~FileLock() {
  Release();
}

void FileLock::Release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  state_ = State::kUnavailable;
}

}  // namespace vz::os
