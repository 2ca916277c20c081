// Processes of this system: listing them through /proc, starting a program
// from a command line, waiting for a child with a time-out, ending one.
//
// Executable names. The suite names programs the Windows way ("VUZUVIZA
// .EXE", "VERIRORU.EXE"); here the executable files are "vuzuviza" and
// "veriroru". A wanted name matches a process when both, reduced to their
// file-name part, upper-cased (ASCII), stripped of blanks and of one final
// ".EXE", are equal: "VUZUVIZA .EXE" matches a process running
// "/opt/x/vuzuviza". An empty wanted name matches nothing.
//
// Starting (StartProcess): the command line is split into words at blanks,
// double quotes grouping (and not kept); backslashes are plain characters.
// The first word names the program: Windows-style paths are mapped
// (paths.h), and a file-name part ending in ".EXE" also gives the candidate
// "lower case, no blanks, no .EXE" ("VERIRORU.EXE" -> "veriroru"). A program
// with a '/' is taken as it is; otherwise it is looked for in the running
// program's directory first (as on the original system), then along PATH.
// A program that is not found or cannot be executed is a failed start: no
// child is left behind.
//
// Ending is immediate (SIGKILL), as the original system's termination is.
// The caller of StartProcess owns the child and should wait for it, so that
// it does not remain as a zombie.
#ifndef VZ_PLATFORM_OS_PROCESSES_H_
#define VZ_PLATFORM_OS_PROCESSES_H_

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vz::os {

struct ProcessInfo {
  pid_t pid = 0;
  // The executable's full path (readlink of /proc/PID/exe, without a
  // " (deleted)" mark), or else the first word of /proc/PID/cmdline.
  std::string executable;
};

// Every process whose executable can be named; processes that vanish while
// listed, kernel threads and zombies are left out.
std::vector<ProcessInfo> ListProcesses();

// The comparison key of a name: file-name part, ASCII upper case, no blanks,
// no final ".EXE".
std::string ProcessNameKey(std::string_view name);

bool ProcessNameMatches(std::string_view wanted, std::string_view executable);

// Splits a command line into words (double quotes group, and are dropped).
std::vector<std::string> SplitCommandLine(std::string_view command_line);

// The executable file that the first word of a command line names, or empty
// when none is found.
std::string ResolveProgram(std::string_view program);

// A started child. Move-only; destroying it neither waits nor ends it.
class ChildProcess {
 public:
  ChildProcess() = default;
  explicit ChildProcess(pid_t pid);
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  pid_t pid() const { return pid_; }
  bool exited() const { return exited_; }
  // Valid once exited(): the status as waitpid reports it.
  int wait_status() const { return wait_status_; }

  enum class WaitResult { kExited, kTimedOut };
  // Waits up to timeout_ms milliseconds (0: just looks). A child that can no
  // longer be waited for counts as exited.
  WaitResult Wait(int timeout_ms);

 private:
  bool Reap(bool block);

  pid_t pid_ = -1;
  int pidfd_ = -1;
  bool exited_ = false;
  int wait_status_ = 0;
};

// Starts the program a command line names. Empty when the program cannot be
// started (not found, not executable, exec failed, no process available).
std::optional<ChildProcess> StartProcess(std::string_view command_line);

// Tests: children started from now on are waited for by polling waitpid, as
// on kernels without process file descriptors, when `enabled` is false.
void SetPidFdWaitingForTests(bool enabled);

// Ends a process at once. False when it does not exist or may not be ended.
bool EndProcess(pid_t pid);

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_PROCESSES_H_
