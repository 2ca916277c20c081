// VUZUVIZA: client selection and mailing for the suite's advisers.
// The program has no window of its own and no command-line options: every
// screen is a window of the suite's screen project.
#include "platform/os/paths.h"
#include "src/config/display_scaling.h"
#include "src/startup/program_flow.h"

int main() {
  // At load: ask the system not to scale the program's windows on
  // high-resolution displays (skipped when "DPIOK" is "1").
  vz::config::RegisterDisplayScaling(vz::os::ProgramPath());
  return vz::startup::RunProgram(vz::startup::ProgramOptions{});
}
