#include "src/util/process_services.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/os/ascii_case.h"
#include "platform/os/keyboard.h"
#include "platform/os/paths.h"
#include "platform/os/processes.h"
#include "platform/os/shell.h"
#include "platform/os/whole_file.h"

namespace vz::util {
namespace {

namespace fs = std::filesystem;

// Copies of the system's sleep program under a name owned by this test
// process, so that tests running at the same time never see each other.
class ProcessServicesTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_directory_ = os::CurrentDirectory();
    name_ = "vzutl" + std::to_string(::getpid());
    upper_ = os::AsciiUpper(name_);
    dir_ = fs::temp_directory_path() / ("vz_util_proc_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    program_ = (dir_ / name_).string();
    const std::string sleep = os::ResolveProgram("sleep");
    ASSERT_FALSE(sleep.empty());
    fs::copy_file(sleep, program_);
    SetScreenCommandSender([this](std::string_view command) { sent_.emplace_back(command); });
  }
  void TearDown() override {
    for (os::ChildProcess& child : children_) {
      os::EndProcess(child.pid());
      child.Wait(5000);
    }
    SetScreenCommandSender(nullptr);
    os::SetEscapeKeyStateSource(nullptr);
    os::ChangeDirectory(saved_directory_);
    fs::remove_all(dir_);
  }

  os::ChildProcess& Start(const std::string& seconds) {
    auto child = os::StartProcess(program_ + " " + seconds);
    EXPECT_TRUE(child.has_value());
    children_.push_back(std::move(*child));
    return children_.back();
  }

  // Waits until `n` of the started children have ended.
  int EndedChildren() {
    int ended = 0;
    for (os::ChildProcess& child : children_) {
      if (child.Wait(0) == os::ChildProcess::WaitResult::kExited) ++ended;
    }
    return ended;
  }
  void WaitForEnded(int n) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (EndedChildren() < n && std::chrono::steady_clock::now() < limit) {
      for (os::ChildProcess& child : children_) child.Wait(10);
    }
  }

  std::string saved_directory_;
  std::string name_;
  std::string upper_;
  fs::path dir_;
  std::string program_;
  std::vector<os::ChildProcess> children_;
  std::vector<std::string> sent_;
};

TEST_F(ProcessServicesTest, CountsCopiesAndAllowsOneBesideItsProjectSource) {
  EXPECT_EQ(CountProcesses(upper_ + " .EXE"), 0);
  Start("30");
  EXPECT_EQ(CountProcesses(upper_ + " .EXE"), 1);
  Start("30");
  EXPECT_EQ(CountProcesses(upper_ + " .EXE"), 2);
  EXPECT_EQ(CountProcesses(name_), 2);
  EXPECT_EQ(CountProcesses("C:\\SUITE\\" + upper_ + ".EXE"), 2);

  // The project source "<NAME> .DPR" in the current directory allows a second copy.
  ASSERT_TRUE(os::ChangeDirectory(dir_.string()));
  std::ofstream(dir_ / (upper_ + " .DPR")) << "program";
  EXPECT_EQ(CountProcesses(upper_ + " .EXE"), 1);
  EXPECT_EQ(CountProcesses(name_), 2);            // no "." in the name: no project source rule
  EXPECT_EQ(CountProcesses(upper_ + ".EXE"), 2);  // looks for "<NAME>.DPR", absent
  Start("30");
  EXPECT_EQ(CountProcesses(upper_ + " .EXE"), 1);
  EXPECT_EQ(CountProcesses("NOSUCH" + upper_ + ".EXE"), 0);
}

TEST_F(ProcessServicesTest, EndsTheFirstOrEveryProcessOfAName) {
  Start("30");
  Start("30");
  Start("30");
  EXPECT_TRUE(EndProcessByName(upper_ + " .EXE", false));
  WaitForEnded(1);
  EXPECT_EQ(EndedChildren(), 1);
  EXPECT_TRUE(EndProcessByName("D:\\TOOLS\\" + upper_ + ".EXE", true));
  WaitForEnded(3);
  EXPECT_EQ(EndedChildren(), 3);
  EXPECT_FALSE(EndProcessByName(upper_ + ".EXE", true));
  EXPECT_FALSE(EndProcessByName("", true));
  // The running program is never ended by its own name.
  EXPECT_FALSE(EndProcessByName(std::string(os::FileNamePart(os::ProgramPath())), true));
}

TEST_F(ProcessServicesTest, RunAndWaitKeepsTheWindowsAlive) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(RunAndWait(program_, "0.3"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
  ASSERT_FALSE(sent_.empty());
  for (const std::string& command : sent_) EXPECT_EQ(command, "MULTITACHE,-2");

  // Windows-style name of the same program, empty argument (the line ends with a blank).
  EXPECT_TRUE(RunAndWait(dir_.string() + "\\" + upper_ + ".EXE", "0"));
}

TEST_F(ProcessServicesTest, AProgramThatCannotStartIsReportedAndNothingIsSent) {
  EXPECT_FALSE(RunAndWait("NOSUCHPROGRAM" + upper_ + ".EXE", ""));
  EXPECT_FALSE(RunAndWait((dir_ / "missing").string(), "1"));
  EXPECT_FALSE(RunAndWait("", ""));
  EXPECT_TRUE(sent_.empty());
}

TEST_F(ProcessServicesTest, EscapeEndsTheChildItStartedOnly) {
  // Another process of the same name runs first: it must survive.
  os::ChildProcess& other = Start("30");
  int polls = 0;
  os::SetEscapeKeyStateSource([&polls] { return ++polls >= 2; });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(RunAndWait(program_, "30"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_GE(polls, 2);
  EXPECT_GE(sent_.size(), 2u);
  EXPECT_EQ(other.Wait(0), os::ChildProcess::WaitResult::kTimedOut);
  EXPECT_EQ(CountProcesses(upper_ + ".EXE"), 1);
}

TEST_F(ProcessServicesTest, DisplayScalingCommandGoesToTheShellStandIn) {
  const std::string path = "/opt/suite/VUZUVIZA/vuzuviza";
  const std::string command = DisplayScalingCommand(path);
  EXPECT_EQ(command,
            "reg add \"HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags"
            "\\Layers\" /v \"/opt/suite/VUZUVIZA/vuzuviza\" /t REG_SZ /d \"~ HIGHDPIAWARE\" /f");

  const std::string log = (dir_ / "shell.log").string();
  ::setenv(os::kShellLogVariable, log.c_str(), 1);
  ::setenv("ComSpec", "C:\\WINDOWS\\system32\\cmd.exe", 1);
  RunDisplayScalingCommand(path);
  ::unsetenv("ComSpec");
  RunDisplayScalingCommand(path);
  ::unsetenv(os::kShellLogVariable);
  std::string text;
  ASSERT_TRUE(os::ReadWholeFile(log, &text));
  EXPECT_EQ(text, "C:\\WINDOWS\\system32\\cmd.exe /C " + command + "\n /C " + command + "\n");
}

}  // namespace
}  // namespace vz::util
