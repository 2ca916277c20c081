// The display-scaling registration run once when the program loads: it asks
// the original system's compatibility layer not to scale the program's
// windows. Here the command goes to the shell stand-in (vz::os::ShellOpen),
// which runs nothing. It sets the list separator to "," first, and does
// nothing more when the component parameter "DPIOK" is "1". Silent: a
// failure is retried at the next start, since "DPIOK" is never written by
// this program. It lives here rather than with the process services because
// it reads the parameter file.
#ifndef VZ_SRC_CONFIG_DISPLAY_SCALING_H_
#define VZ_SRC_CONFIG_DISPLAY_SCALING_H_

#include <string_view>

#include "src/config/param_dta.h"

namespace vz::config {

// `program_path`: the full path of the running program (vz::os::ProgramPath).
void RegisterDisplayScaling(std::string_view program_path);

// The same with the parameter file object given (tests, tools).
void RegisterDisplayScaling(std::string_view program_path, const TParamDTA& parameters);

}  // namespace vz::config

#endif  // VZ_SRC_CONFIG_DISPLAY_SCALING_H_
