// The program's flow from start to end.
//
// RunProgram refuses to run beside another running copy of the program by the
// same user from the same installation (instance_guard.h: it shows "Erreur,Le
// logiciel est déjà actif !" and ends at once, touching neither the database
// nor the screen project), then initialises, runs the
// main menu and shuts down. It returns the process exit code: 0 after a normal
// end, 1 when the start was stopped (window library missing), 2 when another
// copy runs. The tools program's wait sends "MULTITACHE,-2"
// through the screen bridge.
// REQUIRES: called once per process, on the main thread.
#ifndef VZ_SRC_STARTUP_PROGRAM_FLOW_H_
#define VZ_SRC_STARTUP_PROGRAM_FLOW_H_

#include <string>

#include "src/startup/menu_screens.h"

namespace vz::startup {

struct ProgramOptions {
  // The program's name, which names the single-instance guard's lock file.
  std::string instance_name = "VUZUVIZA .EXE";
  // The installation (program directory) whose lock file the guard takes;
  // empty: the current directory.
  std::string installation;
  MenuScreens screens = DefaultMenuScreens();
};

inline constexpr int kExitStopped = 1;
inline constexpr int kExitAlreadyRunning = 2;

int RunProgram(const ProgramOptions& options);

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_PROGRAM_FLOW_H_
