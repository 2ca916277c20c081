#include "platform/os/processes.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/os/ascii_case.h"
#include "platform/os/paths.h"

namespace vz::os {
namespace {

namespace fs = std::filesystem;

TEST(ProcessNameTest, NamesMatchTheWayTheSuiteWritesThem) {
  struct Case {
    const char* wanted;
    const char* executable;
    bool matches;
  };
  const Case cases[] = {
      {"VUZUVIZA .EXE", "/opt/x/vuzuviza", true},
      {"VUZUVIZA .EXE", "vuzuviza", true},
      {"vuzuviza", "/opt/x/VUZUVIZA.EXE", true},
      {"VERIRORU.EXE", "/usr/local/bin/veriroru", true},
      {"C:\\SUITE\\VERIRORU.EXE", "/opt/suite/veriroru", true},  // file-name parts only
      {"VERIRORU.EXE", "/opt/veriroru/other", false},
      {"VUZUVIZA .EXE", "/opt/x/vuzuviza2", false},
      {"VUZUVIZA.EXE.EXE", "/opt/x/vuzuviza.exe", false},  // one ".EXE" removed
      {"VUZUVIZA.EXE.EXE", "/opt/x/vuzuviza.exe.exe", true},
      {"VUZUVIZA.DPR", "/opt/x/vuzuviza", false},
      {"", "/opt/x/vuzuviza", false},
      {" .EXE", "/opt/x/.exe", false},  // reduces to nothing: matches nothing
      {"A", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.wanted) + " vs " + c.executable);
    EXPECT_EQ(ProcessNameMatches(c.wanted, c.executable), c.matches);
  }
  EXPECT_EQ(ProcessNameKey("VUZUVIZA .EXE"), "VUZUVIZA");
}

TEST(CommandLineTest, WordsAndQuotes) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"VERIRORU.EXE ", {"VERIRORU.EXE"}},
      {"a b  c", {"a", "b", "c"}},
      {"\tA\t\"b c\" d", {"A", "b c", "d"}},
      {"x\"y z\"w", {"xy zw"}},
      {"a \"\" b", {"a", "", "b"}},
      {"..\\VERIRORU\\VERIRORU.EXE /S", {"..\\VERIRORU\\VERIRORU.EXE", "/S"}},
      {"\"unterminated arg", {"unterminated arg"}},
      {"", {}},
      {"   ", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitCommandLine(c.line), c.words);
  }
}

// Each test runs copies of the system's sleep program under a name of its
// own, so that tests running at the same time never count each other.
class ChildProcessTest : public testing::Test {
 protected:
  void SetUp() override {
    name_ = "vzslp" + std::to_string(::getpid());
    dir_ = fs::temp_directory_path() / ("vz_proc_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    program_ = (dir_ / name_).string();
    const std::string sleep = ResolveProgram("sleep");
    ASSERT_FALSE(sleep.empty());
    fs::copy_file(sleep, program_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<pid_t> Running(std::string_view wanted) {
    std::vector<pid_t> pids;
    for (const ProcessInfo& p : ListProcesses()) {
      if (ProcessNameMatches(wanted, p.executable)) pids.push_back(p.pid);
    }
    return pids;
  }

  std::string name_;
  fs::path dir_;
  std::string program_;
};

TEST_F(ChildProcessTest, StartListEndAndWait) {
  auto first = StartProcess(program_ + " 30");
  auto second = StartProcess("\"" + program_ + "\" 30");
  ASSERT_TRUE(first.has_value());
  ASSERT_TRUE(second.has_value());
  const std::string upper = AsciiUpper(name_);
  std::vector<pid_t> pids = Running(upper + " .EXE");
  std::sort(pids.begin(), pids.end());
  std::vector<pid_t> expected = {first->pid(), second->pid()};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(pids, expected);
  for (const ProcessInfo& p : ListProcesses()) {
    if (p.pid == first->pid()) {
      EXPECT_EQ(p.executable, fs::canonical(program_).string());
    }
  }

  EXPECT_EQ(first->Wait(30), ChildProcess::WaitResult::kTimedOut);
  EXPECT_FALSE(first->exited());
  EXPECT_TRUE(EndProcess(first->pid()));
  EXPECT_TRUE(EndProcess(second->pid()));
  EXPECT_EQ(first->Wait(5000), ChildProcess::WaitResult::kExited);
  EXPECT_EQ(second->Wait(5000), ChildProcess::WaitResult::kExited);
  EXPECT_TRUE(WIFSIGNALED(first->wait_status()));
  EXPECT_EQ(WTERMSIG(first->wait_status()), SIGKILL);
  EXPECT_TRUE(Running(name_).empty());
  // Waiting again is harmless; the ended process cannot be ended twice.
  EXPECT_EQ(first->Wait(0), ChildProcess::WaitResult::kExited);
  EXPECT_FALSE(EndProcess(first->pid()));
}

TEST_F(ChildProcessTest, ExitStatusAndQuotedArguments) {
  auto quick = StartProcess(program_ + " 0");
  ASSERT_TRUE(quick.has_value());
  EXPECT_EQ(quick->Wait(5000), ChildProcess::WaitResult::kExited);
  EXPECT_TRUE(WIFEXITED(quick->wait_status()));
  EXPECT_EQ(WEXITSTATUS(quick->wait_status()), 0);

  auto shell = StartProcess("sh -c \"exit 3\"");
  ASSERT_TRUE(shell.has_value());
  EXPECT_EQ(shell->Wait(5000), ChildProcess::WaitResult::kExited);
  EXPECT_EQ(WEXITSTATUS(shell->wait_status()), 3);

  // A moved child is still waited for once.
  auto moved_from = StartProcess(program_ + " 0");
  ASSERT_TRUE(moved_from.has_value());
  ChildProcess moved = std::move(*moved_from);
  EXPECT_EQ(moved.Wait(5000), ChildProcess::WaitResult::kExited);
}

TEST_F(ChildProcessTest, WindowsStyleProgramNamesAreFound) {
  // "<dir>\VZSLPnnn.EXE" names the file "<dir>/vzslpnnn".
  const std::string upper = AsciiUpper(name_);
  const std::string windows = dir_.string() + "\\" + upper + ".EXE";
  EXPECT_EQ(ResolveProgram(windows), program_);
  EXPECT_EQ(ResolveProgram("SLEEP.EXE"), ResolveProgram("sleep"));
  auto child = StartProcess(windows + " 0");
  ASSERT_TRUE(child.has_value());
  EXPECT_EQ(child->Wait(5000), ChildProcess::WaitResult::kExited);

  // A bare name is looked for beside the running program first.
  const std::string beside = JoinPath(ProgramDirectory(), name_ + "b");
  fs::copy_file(program_, beside);
  EXPECT_EQ(ResolveProgram(upper + "B.EXE"), beside);
  fs::remove(beside);
}

TEST_F(ChildProcessTest, WaitingWithoutProcessFileDescriptors) {
  SetPidFdWaitingForTests(false);
  auto running = StartProcess(program_ + " 30");
  auto quick = StartProcess("sh -c \"exit 4\"");
  SetPidFdWaitingForTests(true);
  ASSERT_TRUE(running.has_value());
  ASSERT_TRUE(quick.has_value());
  EXPECT_EQ(running->Wait(30), ChildProcess::WaitResult::kTimedOut);
  EXPECT_EQ(running->Wait(0), ChildProcess::WaitResult::kTimedOut);
  EXPECT_TRUE(EndProcess(running->pid()));
  EXPECT_EQ(running->Wait(5000), ChildProcess::WaitResult::kExited);
  EXPECT_EQ(WTERMSIG(running->wait_status()), SIGKILL);
  EXPECT_EQ(quick->Wait(5000), ChildProcess::WaitResult::kExited);
  EXPECT_EQ(WEXITSTATUS(quick->wait_status()), 4);
}

TEST_F(ChildProcessTest, FailedStartsLeaveNoChild) {
  const std::string text_file = (dir_ / "notes").string();
  std::ofstream(text_file) << "not a program";
  const std::string bad_binary = (dir_ / "garbage").string();
  std::ofstream(bad_binary) << std::string(64, '\x7f');
  fs::permissions(bad_binary, fs::perms::owner_all);
  const std::string cases[] = {
      "",
      "   ",
      (dir_ / "missing").string(),
      "no-such-program-anywhere-vz 1",
      text_file,          // not executable
      dir_.string(),      // a directory
      bad_binary + " 1",  // executable bit, but exec fails
      "\"\" x",           // empty program word
  };
  for (const std::string& line : cases) {
    SCOPED_TRACE(line);
    EXPECT_FALSE(StartProcess(line).has_value());
    int status;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);  // nothing to reap
  }
}

TEST(EndProcessTest, GroupsAndAbsentProcessesAreNeverEnded) {
  EXPECT_FALSE(EndProcess(0));
  EXPECT_FALSE(EndProcess(-1));
  EXPECT_FALSE(EndProcess(-::getpgrp()));
  EXPECT_FALSE(EndProcess(0x7ffffff0));
}

TEST_F(ChildProcessTest, DeletedExecutableKeepsItsName) {
  auto child = StartProcess(program_ + " 30");
  ASSERT_TRUE(child.has_value());
  fs::remove(program_);
  EXPECT_EQ(Running(name_), std::vector<pid_t>{child->pid()});
  EndProcess(child->pid());
  EXPECT_EQ(child->Wait(5000), ChildProcess::WaitResult::kExited);
}

}  // namespace
}  // namespace vz::os
