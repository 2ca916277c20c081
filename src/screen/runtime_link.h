// The screen runtime the bridge talks to: the runtime's four entry points
// (platform/runtime/wd_api.h) as a table of functions that the program's
// composition root gives the bridge before the first command.
//
// The bridge does not link a runtime: the program connects the real one
// (src/startup/runtime_wiring.h), the tests of the program's screens connect
// the recording runtime of tests/support (linking it connects it), and a test
// may connect a runtime of its own. Which runtime runs is decided where the
// program is put together, never by the order of libraries on a link line.
//
// Fails loudly: a command sent before any runtime is connected writes the
// reason to the error output and ends the process with exit code 70.
//
// REQUIRES: every member set. Single-threaded, like the bridge; a runtime
// connected while a module is started receives the following commands and the
// termination, so a program connects its runtime once, at start.
#ifndef VZ_SRC_SCREEN_RUNTIME_LINK_H_
#define VZ_SRC_SCREEN_RUNTIME_LINK_H_

#include <cstdint>

namespace vz::screen {

struct RuntimeEntryPoints {
  int32_t (*init_module)(uint8_t* module_block) = nullptr;
  int32_t (*execute_command)(uint8_t* module_block, const char* command) = nullptr;
  int32_t (*return_value)() = nullptr;
  int32_t (*term_module)(uint8_t* module_block) = nullptr;
};

void ConnectRuntime(const RuntimeEntryPoints& runtime);

}  // namespace vz::screen

#endif  // VZ_SRC_SCREEN_RUNTIME_LINK_H_
