// Services that involve other processes: counting the running copies of a
// program (the single-instance guard), running a child program and waiting
// for it while the windows stay alive (the tools program), ending a process
// by name, and the display-scaling registration command.
//
// Names are the suite's ("VUZUVIZA .EXE", "VERIRORU.EXE") and match
// processes as vz::os::ProcessNameMatches says (file-name parts, upper case,
// no blanks, no final ".EXE"). Single-threaded. Failures show only through
// the results described below; nothing throws.
#ifndef VZ_SRC_UTIL_PROCESS_SERVICES_H_
#define VZ_SRC_UTIL_PROCESS_SERVICES_H_

#include <functional>
#include <string>
#include <string_view>

namespace vz::util {

// The screen command "MULTITACHE,-2" is sent through this callback while a
// child runs (the screen bridge sits above this library and installs it).
// Until one is set, or after an empty one is set, nothing is sent.
void SetScreenCommandSender(std::function<void(std::string_view)> sender);

// The number of running processes of that name. When the name holds a "."
// and the file "<file-name part before its first '.'>.DPR" exists in the
// current directory, a count above 1 becomes 1 (a copy started beside its
// project source is allowed next to the installed one).
int CountProcesses(std::string_view name);

// Starts `program + " " + arguments` (vz::os::StartProcess) and waits for it
// to end: while a 200 ms wait times out, it pauses 20 ms, sends
// "MULTITACHE,-2", and, if the Escape key is down, ends the child it started.
// True when the program was started (and has now ended); false when it could
// not be started.
bool RunAndWait(std::string_view program, std::string_view arguments);

// Ends (at once) the first process of that name, or every one when `all`.
// The running program itself is never ended, and a process that may not be
// ended is passed over. True when a process was ended.
bool EndProcessByName(std::string_view name, bool all);

// 'reg add "HKCU\...\AppCompatFlags\Layers" /v "<path>" /t REG_SZ
// /d "~ HIGHDPIAWARE" /f', exactly as the registration sends it.
std::string DisplayScalingCommand(std::string_view program_path);

// Hands the registration to the command interpreter named by the
// environment variable "ComSpec" with the parameters "/C " + the command,
// through the shell stand-in (vz::os::ShellOpen, which runs nothing), with
// the program's directory as working directory. Not waited for; silent.
void RunDisplayScalingCommand(std::string_view program_path);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_PROCESS_SERVICES_H_
