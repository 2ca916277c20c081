#include "platform/os/file_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace vz::os {
namespace {

namespace fs = std::filesystem;
using Mode = FileLock::Mode;
using State = FileLock::State;

class FileLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("vz_file_lock_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    path_ = (folder_ / "verrou").string();
  }
  void TearDown() override { fs::remove_all(folder_); }

  // A child process that takes the lock, says so through a pipe and waits to
  // be killed. Returns its pid once it holds the lock (0 if it could not).
  pid_t ChildHolding(Mode mode) {
    int ready[2];
    if (::pipe(ready) != 0) return 0;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(ready[0]);
      FileLock lock = FileLock::TryLock(path_, mode);
      const char answer = lock.held() ? 'y' : 'n';
      if (::write(ready[1], &answer, 1) != 1) ::_exit(1);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    char answer = 'n';
    const bool told = ::read(ready[0], &answer, 1) == 1;
    ::close(ready[0]);
    if (!told || answer != 'y') {
      Kill(pid);
      return 0;
    }
    return pid;
  }
  static void Kill(pid_t pid) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }

  fs::path folder_;
  std::string path_;
};

TEST_F(FileLockTest, ExclusiveAndSharedLocksBetweenProcesses) {
  struct Case {
    Mode held_by_other;
    Mode wanted;
    State expected;
  };
  const Case cases[] = {
      {Mode::kExclusive, Mode::kExclusive, State::kBusy},
      {Mode::kExclusive, Mode::kShared, State::kBusy},
      {Mode::kShared, Mode::kExclusive, State::kBusy},
      {Mode::kShared, Mode::kShared, State::kHeld},
  };
  for (const Case& c : cases) {
    const pid_t other = ChildHolding(c.held_by_other);
    ASSERT_NE(other, 0);
    EXPECT_EQ(FileLock::TryLock(path_, c.wanted).state(), c.expected)
        << static_cast<int>(c.held_by_other) << " then " << static_cast<int>(c.wanted);
    // A killed holder lets go of its lock.
    Kill(other);
    EXPECT_TRUE(FileLock::TryLock(path_, Mode::kExclusive).held());
  }
}

TEST_F(FileLockTest, ReleaseAndMoveHandTheLockOn) {
  FileLock first = FileLock::TryLock(path_, Mode::kExclusive);
  ASSERT_TRUE(first.held());
  FileLock moved = std::move(first);
  EXPECT_FALSE(first.held());
  EXPECT_TRUE(moved.held());
  const pid_t other_try = ::fork();
  if (other_try == 0) ::_exit(FileLock::TryLock(path_, Mode::kShared).held() ? 0 : 3);
  int status = 0;
  ::waitpid(other_try, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 3);
  moved.Release();
  EXPECT_FALSE(moved.held());
  const pid_t after_release = ChildHolding(Mode::kExclusive);
  EXPECT_NE(after_release, 0);
  if (after_release != 0) Kill(after_release);
}

TEST_F(FileLockTest, UnusablePlacesAreUnavailable) {
  EXPECT_EQ(FileLock::TryLock((folder_ / "absent" / "verrou").string(), Mode::kShared).state(),
            State::kUnavailable);
  fs::create_symlink(folder_ / "elsewhere", folder_ / "link");
  FileLock through_link = FileLock::TryLock((folder_ / "link").string(), Mode::kShared);
  EXPECT_EQ(through_link.state(), State::kUnavailable);
  EXPECT_FALSE(through_link.error().empty());
  EXPECT_FALSE(fs::exists(folder_ / "elsewhere"));
  fs::create_directory(folder_ / "dir");
  EXPECT_EQ(FileLock::TryLock((folder_ / "dir").string(), Mode::kShared).state(),
            State::kUnavailable);
}

}  // namespace
}  // namespace vz::os
