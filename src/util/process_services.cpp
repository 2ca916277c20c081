#include "src/util/process_services.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

#include "platform/os/keyboard.h"
#include "platform/os/paths.h"
#include "platform/os/processes.h"
#include "platform/os/shell.h"
#include "src/util/file_exists.h"

namespace vz::util {
namespace {

constexpr int kWaitSliceMs = 200;
constexpr int kPauseMs = 20;
constexpr std::string_view kKeepWindowsAlive = "MULTITACHE,-2";

std::function<void(std::string_view)>& Sender() {
  static std::function<void(std::string_view)> sender;
  return sender;
}

void SendScreenCommand(std::string_view command) {
  if (Sender()) Sender()(command);
}

}  // namespace

void SetScreenCommandSender(std::function<void(std::string_view)> sender) {
  Sender() = std::move(sender);
}

int CountProcesses(std::string_view name) {
  int count = 0;
  for (const os::ProcessInfo& process : os::ListProcesses()) {
    if (os::ProcessNameMatches(name, process.executable)) ++count;
  }
  const std::string_view file = os::FileNamePart(name);
  const size_t dot = file.find('.');
  if (dot != std::string_view::npos && count > 1) {
    const std::string project_source = std::string(file.substr(0, dot)) + ".DPR";
    if (FileExists(project_source)) count = 1;
  }
  return count;
}

bool RunAndWait(std::string_view program, std::string_view arguments) {
  const std::string command_line = std::string(program) + " " + std::string(arguments);
  std::optional<os::ChildProcess> child = os::StartProcess(command_line);
  if (!child) return false;
  while (child->Wait(kWaitSliceMs) == os::ChildProcess::WaitResult::kTimedOut) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
    SendScreenCommand(kKeepWindowsAlive);
    // Escape ends the child started here, not another process that merely
    // has the same name.
    if (os::EscapeKeyDown()) os::EndProcess(child->pid());
  }
  return true;
}

bool EndProcessByName(std::string_view name, bool all) {
  const pid_t self = ::getpid();
  bool ended = false;
  for (const os::ProcessInfo& process : os::ListProcesses()) {
    if (process.pid == self || !os::ProcessNameMatches(name, process.executable)) continue;
    if (!os::EndProcess(process.pid)) continue;
    ended = true;
    if (!all) break;
  }
  return ended;
}

std::string DisplayScalingCommand(std::string_view program_path) {
  return "reg add \"HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers\""
         " /v \"" +
         std::string(program_path) + "\" /t REG_SZ /d \"~ HIGHDPIAWARE\" /f";
}

void RunDisplayScalingCommand(std::string_view program_path) {
  const char* interpreter = std::getenv("ComSpec");
  std::string directory(os::DirectoryPart(program_path));
  if (directory.empty()) directory = os::ProgramDirectory();
  os::ShellOpen(interpreter != nullptr ? interpreter : "",
                "/C " + DisplayScalingCommand(program_path), directory);
}

}  // namespace vz::util
