// Advisory locks on a lock file, held by a process for as long as it keeps
// the FileLock (flock(2) on a descriptor opened close-on-exec): the kernel
// lets go of the lock when the process ends, however it ends (exit, crash,
// SIGKILL), so a lock is never left behind by a dead process. Children
// started later do not inherit it.
//
// Many processes may hold a shared lock on one file at once; an exclusive
// lock excludes every other lock. Taking a lock never waits: it is taken at
// once or refused. The lock file is created when missing (mode 0600 under
// the process's umask, never through a symbolic link) and is never removed:
// removing it would let a second process lock a new file of the same name.
//
// Failure: TryLock returns a FileLock whose state() says why it holds
// nothing: kBusy when another holder has a conflicting lock, kUnavailable
// when the file cannot be opened or locked (missing folder, no permission, a
// symbolic link in its place, a file system without locks); error() then
// holds the system's reason. Nothing throws.
#ifndef VZ_PLATFORM_OS_FILE_LOCK_H_
#define VZ_PLATFORM_OS_FILE_LOCK_H_

#include <string>

namespace vz::os {

class FileLock {
 public:
  enum class Mode { kShared, kExclusive };
  enum class State { kHeld, kBusy, kUnavailable };

  static FileLock TryLock(const std::string& path, Mode mode);

  FileLock() = default;
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  bool held() const { return state_ == State::kHeld; }
  State state() const { return state_; }
  const std::string& error() const { return error_; }
  // Lets go of the lock now (closing the descriptor); the object then holds
  // nothing, with the state kUnavailable.
  void Release();

 private:
  int fd_ = -1;
  State state_ = State::kUnavailable;
  std::string error_;
};

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_FILE_LOCK_H_
