// The single-instance guard between real processes: copies started at the
// same moment from one installation let exactly one through; copies of
// another installation, and a copy that has died, block nobody.
#include "src/startup/instance_guard.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vz::startup {
namespace {

namespace fs = std::filesystem;

constexpr char kProgram[] = "VUZUVIZA .EXE";

// A copy of the program's start in a child process: it waits at the start
// line, takes the guard, tells the parent whether it is alone, and holds the
// guard until it is killed.
class GuardedCopy {
 public:
  GuardedCopy(const std::string& installation, const int (&start_line)[2]) {
    int answer[2];
    if (::pipe(answer) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(answer[0]);
      ::close(start_line[1]);
      char go = 0;
      if (::read(start_line[0], &go, 1) < 0) ::_exit(2);  // released all at once
      InstanceGuard guard = TakeInstanceGuard(kProgram, installation);
      const char alone = guard.alone ? 'y' : 'n';
      if (::write(answer[1], &alone, 1) != 1) ::_exit(1);
      for (;;) ::pause();
    }
    ::close(answer[1]);
    answer_ = answer[0];
  }
  ~GuardedCopy() {
    if (answer_ >= 0) ::close(answer_);
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  // Whether the copy went through (waits for its answer).
  bool Alone() {
    char alone = 'n';
    return ::read(answer_, &alone, 1) == 1 && alone == 'y';
  }
  void Kill() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

 private:
  pid_t pid_ = 0;
  int answer_ = -1;
};

class InstanceGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("vz_instance_guard_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    for (const char* name : {"A", "B"}) fs::create_directories(root_ / name / "VUZUVIZA");
    ASSERT_EQ(::pipe(start_), 0);
  }
  void TearDown() override {
    for (int fd : start_) ::close(fd);
    fs::remove_all(root_);
  }
  std::string Installation(const char* name) const { return (root_ / name / "VUZUVIZA").string(); }
  // Lets every waiting copy go at the same moment.
  void Start() {
    ::close(start_[1]);
    start_[1] = ::open("/dev/null", O_RDONLY);
  }

  fs::path root_;
  int start_[2] = {-1, -1};
};

TEST_F(InstanceGuardTest, SimultaneousStartsLetExactlyOneThrough) {
  std::vector<std::unique_ptr<GuardedCopy>> copies;
  for (int i = 0; i < 6; ++i) {
    copies.push_back(std::make_unique<GuardedCopy>(Installation("A"), start_));
  }
  GuardedCopy other_installation(Installation("B"), start_);
  Start();
  int through = 0;
  for (auto& copy : copies) through += copy->Alone() ? 1 : 0;
  EXPECT_EQ(through, 1);
  EXPECT_TRUE(other_installation.Alone());
  // Once every copy has died (killed: no clean end), the next start goes
  // through.
  copies.clear();
  EXPECT_TRUE(TakeInstanceGuard(kProgram, Installation("A")).alone);
}

TEST_F(InstanceGuardTest, TheGuardIsHeldUntilTheProcessEnds) {
  GuardedCopy first(Installation("A"), start_);
  Start();
  ASSERT_TRUE(first.Alone());
  EXPECT_FALSE(TakeInstanceGuard(kProgram, Installation("A")).alone);
  EXPECT_TRUE(TakeInstanceGuard("VERIRORU.EXE", Installation("A")).alone);  // another program
  first.Kill();
  InstanceGuard after = TakeInstanceGuard(kProgram, Installation("A"));
  EXPECT_TRUE(after.alone);
  EXPECT_TRUE(after.lock.held());
}

TEST_F(InstanceGuardTest, LockFileNamesTheProgramTheUserAndTheHost) {
  const std::string name = InstanceLockName(kProgram);
  EXPECT_EQ(name.rfind(".vuzuviza-" + std::to_string(::getuid()) + "-", 0), 0u) << name;
  EXPECT_TRUE(name.ends_with(".verrou"));
  EXPECT_EQ(name.find('/'), std::string::npos);
  { InstanceGuard guard = TakeInstanceGuard(kProgram, Installation("A")); }
  EXPECT_TRUE(fs::exists(fs::path(Installation("A")) / name));
}

TEST_F(InstanceGuardTest, ReadOnlyInstallationUsesTheRuntimeFolder) {
  // An installation folder that cannot hold the lock file (here: missing).
  const std::string nowhere = (root_ / "absent" / "VUZUVIZA").string();
  InstanceGuard first = TakeInstanceGuard(kProgram, nowhere);
  EXPECT_TRUE(first.alone);
  EXPECT_TRUE(first.lock.held());
  GuardedCopy second(nowhere, start_);
  Start();
  EXPECT_FALSE(second.Alone());
}

}  // namespace
}  // namespace vz::startup
