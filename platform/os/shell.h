// The stand-in for the original system's shell "open" of a program (used to
// run the command interpreter for the display-scaling registration, which has
// no meaning here). It runs nothing. When the environment variable
// VZ_SHELL_LOG names a file, it appends one line to it: the file and the
// parameters it was given, joined by a blank, converted from cp1252 to UTF-8,
// with any CR or LF replaced by a blank so that one request stays one line.
// Otherwise it does nothing. Never fails loudly: the result says whether the
// request was recorded (or needed no recording).
#ifndef VZ_PLATFORM_OS_SHELL_H_
#define VZ_PLATFORM_OS_SHELL_H_

#include <string>
#include <string_view>

namespace vz::os {

inline constexpr const char* kShellLogVariable = "VZ_SHELL_LOG";

// `directory` is the working directory the program would have had; it is
// accepted for the record of the call and not used.
bool ShellOpen(std::string_view file, std::string_view parameters, std::string_view directory);

// The line ShellOpen records (without its final LF).
std::string ShellLogLine(std::string_view file, std::string_view parameters);

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_SHELL_H_
