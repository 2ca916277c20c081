#include "platform/os/processes.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/os/ascii_case.h"
#include "platform/os/paths.h"
#include "platform/os/whole_file.h"

namespace vz::os {
namespace {

constexpr std::string_view kDeletedMark = " (deleted)";
constexpr std::string_view kExeSuffix = ".EXE";

bool EndsWithExe(std::string_view name) {
  return EndsWithIgnoringAsciiCase(name, kExeSuffix);
}

bool IsAllDigits(const char* s) {
  if (*s == '\0') return false;
  for (; *s != '\0'; ++s) {
    if (*s < '0' || *s > '9') return false;
  }
  return true;
}

std::string ReadExecutableLink(const std::string& proc_dir) {
  const std::string link = proc_dir + "/exe";
  std::string buffer(4096, '\0');
  const ssize_t got = ::readlink(link.c_str(), buffer.data(), buffer.size());
  if (got <= 0) return {};
  buffer.resize(static_cast<size_t>(got));
  if (buffer.size() > kDeletedMark.size() &&
      buffer.compare(buffer.size() - kDeletedMark.size(), kDeletedMark.size(), kDeletedMark) == 0) {
    buffer.resize(buffer.size() - kDeletedMark.size());
  }
  return buffer;
}

std::string ReadFirstCommandWord(const std::string& proc_dir) {
  std::string cmdline;
  if (!ReadWholeFile(proc_dir + "/cmdline", &cmdline)) return {};
  const size_t end = cmdline.find('\0');
  if (end != std::string::npos) cmdline.resize(end);
  return cmdline;
}

bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

std::string SearchDirectories(const std::string& name) {
  const std::string own = ProgramDirectory();
  if (!own.empty() && IsExecutableFile(JoinPath(own, name))) return JoinPath(own, name);
  const char* env = std::getenv("PATH");
  const std::string search = env != nullptr ? env : "/usr/local/bin:/usr/bin:/bin";
  size_t begin = 0;
  while (begin <= search.size()) {
    size_t end = search.find(':', begin);
    if (end == std::string::npos) end = search.size();
    const std::string directory = search.substr(begin, end - begin);
    // An empty entry would mean the current directory: never searched.
    if (!directory.empty() && IsExecutableFile(JoinPath(directory, name))) {
      return JoinPath(directory, name);
    }
    begin = end + 1;
  }
  return {};
}

bool& PidFdWaiting() {
  static bool enabled = true;
  return enabled;
}

int OpenPidFd(pid_t pid) {
  if (!PidFdWaiting()) return -1;
#ifdef SYS_pidfd_open
  const long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd >= 0) {
    ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
    return static_cast<int>(fd);
  }
#else
  (void)pid;
#endif
  return -1;
}

}  // namespace

std::vector<ProcessInfo> ListProcesses() {
  std::vector<ProcessInfo> processes;
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return processes;
  while (const dirent* entry = ::readdir(proc)) {
    if (!IsAllDigits(entry->d_name)) continue;
    const std::string dir = std::string("/proc/") + entry->d_name;
    std::string executable = ReadExecutableLink(dir);
    if (executable.empty()) executable = ReadFirstCommandWord(dir);
    if (executable.empty()) continue;
    processes.push_back({static_cast<pid_t>(std::atol(entry->d_name)), std::move(executable)});
  }
  ::closedir(proc);
  return processes;
}

std::string ProcessNameKey(std::string_view name) {
  std::string key;
  for (char c : FileNamePart(name)) {
    if (c != ' ') key.push_back(AsciiUpper(c));
  }
  if (EndsWithExe(key)) key.resize(key.size() - kExeSuffix.size());
  return key;
}

bool ProcessNameMatches(std::string_view wanted, std::string_view executable) {
  const std::string key = ProcessNameKey(wanted);
  return !key.empty() && key == ProcessNameKey(executable);
}

std::vector<std::string> SplitCommandLine(std::string_view command_line) {
  std::vector<std::string> words;
  std::string current;
  bool in_word = false;
  bool in_quotes = false;
  for (char c : command_line) {
    if (c == '"') {
      in_quotes = !in_quotes;
      in_word = true;
    } else if (!in_quotes && (c == ' ' || c == '\t')) {
      if (in_word) words.push_back(std::move(current));
      current.clear();
      in_word = false;
    } else {
      current.push_back(c);
      in_word = true;
    }
  }
  if (in_word) words.push_back(std::move(current));
  return words;
}

std::string ResolveProgram(std::string_view program) {
  const std::string native = ToNativePath(program);
  if (native.empty()) return {};
  std::vector<std::string> candidates = {native};
  const std::string_view file = FileNamePart(native);
  if (EndsWithExe(file)) {
    std::string mapped;
    for (char c : file.substr(0, file.size() - kExeSuffix.size())) {
      if (c != ' ') mapped.push_back(AsciiLower(c));
    }
    if (!mapped.empty()) {
      const std::string_view dir = std::string_view(native).substr(0, native.size() - file.size());
      candidates.push_back(std::string(dir) + mapped);
    }
  }
  for (const std::string& candidate : candidates) {
    if (candidate.find('/') != std::string::npos) {
      if (IsExecutableFile(candidate)) return candidate;
    } else if (std::string found = SearchDirectories(candidate); !found.empty()) {
      return found;
    }
  }
  return {};
}

ChildProcess::ChildProcess(pid_t pid) : pid_(pid), pidfd_(OpenPidFd(pid)) {}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept {
  *this = std::move(other);
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    if (pidfd_ >= 0) ::close(pidfd_);
    pid_ = other.pid_;
    pidfd_ = other.pidfd_;
    exited_ = other.exited_;
    wait_status_ = other.wait_status_;
    other.pid_ = -1;
    other.pidfd_ = -1;
  }
  return *this;
}

ChildProcess::~ChildProcess() {
  if (pidfd_ >= 0) ::close(pidfd_);
}

bool ChildProcess::Reap(bool block) {
  if (exited_) return true;
  if (pid_ <= 0) {
    exited_ = true;
    return true;
  }
  for (;;) {
    int status = 0;
    const pid_t got = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    if (got == pid_) {
      exited_ = true;
      wait_status_ = status;
      return true;
    }
    if (got == 0) return false;
    if (errno == EINTR) continue;
    exited_ = true;  // not our child any more (already reaped elsewhere)
    return true;
  }
}

ChildProcess::WaitResult ChildProcess::Wait(int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  if (Reap(false)) return WaitResult::kExited;
  if (timeout_ms < 0) timeout_ms = 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (pidfd_ >= 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd ready{pidfd_, POLLIN, 0};
    const int rc = ::poll(&ready, 1, left > 0 ? static_cast<int>(left) : 0);
    if (rc > 0) return Reap(true) ? WaitResult::kExited : WaitResult::kTimedOut;
    if (rc == 0) return Reap(false) ? WaitResult::kExited : WaitResult::kTimedOut;
    if (errno != EINTR) break;  // fall back to polling
  }
  for (;;) {
    if (Reap(false)) return WaitResult::kExited;
    const auto now = Clock::now();
    if (now >= deadline) return WaitResult::kTimedOut;
    std::this_thread::sleep_for(
        std::min<Clock::duration>(deadline - now, std::chrono::milliseconds(5)));
  }
}

std::optional<ChildProcess> StartProcess(std::string_view command_line) {
  std::vector<std::string> words = SplitCommandLine(command_line);
  if (words.empty()) return std::nullopt;
  const std::string path = ResolveProgram(words[0]);
  if (path.empty()) return std::nullopt;
  words[0] = path;
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return std::nullopt;
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return std::nullopt;
  }
  if (pid == 0) {
    ::close(report[0]);
    ::execv(path.c_str(), argv.data());
    const int error = errno;
    ssize_t ignored = ::write(report[1], &error, sizeof error);
    (void)ignored;
    ::_exit(127);
  }
  ::close(report[1]);
  int error = 0;
  ssize_t got;
  do {
    got = ::read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  if (got > 0) {  // exec failed: the child reports and exits
    int status;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return std::nullopt;
  }
  return ChildProcess(pid);
}

void SetPidFdWaitingForTests(bool enabled) {
  PidFdWaiting() = enabled;
}

bool EndProcess(pid_t pid) {
  // 0 and negative values name process groups: never ended from here.
  if (pid <= 0) return false;
  return ::kill(pid, SIGKILL) == 0;
}

}  // namespace vz::os
