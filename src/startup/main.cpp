// VUZUVIZA: client selection and mailing for the suite's advisers.
// The program has no window of its own and no command-line options: every
// screen is a window of the suite's screen project. This is the composition
// root: the screen runtime, the project's code, the record engine and the
// program meet here (runtime_wiring.h, docs/architecture.md).
#include "platform/os/paths.h"
#include "src/config/display_scaling.h"
#include "src/startup/program_flow.h"
#include "src/startup/runtime_wiring.h"

int main() {
  vz::startup::WireScreenRuntime();
  // At load: ask the system not to scale the program's windows on
  // high-resolution displays (skipped when "DPIOK" is "1").
  vz::config::RegisterDisplayScaling(vz::os::ProgramPath());
  return vz::startup::RunProgram(vz::startup::ProgramOptions{});
}
