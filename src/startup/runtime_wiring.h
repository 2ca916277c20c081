// The composition of the program's screen side, done once at start by every
// program that runs the real screen runtime (the program's main, the desktop
// robot of the end-to-end tests, the benchmarks):
//   - the screen bridge (src/screen) is connected to the runtime's four entry
//     points (platform/runtime/wd_api.h);
//   - the runtime is given the screen project's procedures and window code
//     (project/project_code.h) and the way to create its own record engine
//     context: LE_CreateContexteHF with as many descriptions as the
//     program's own context (src/db/context.h), with which it is shared.
// This is the one place where runtime, project, engine and program meet; the
// layers below know nothing of each other's wiring (docs/architecture.md).
//
// REQUIRES: called before the first screen command. Calling it again changes
// nothing. Nothing here fails; the runtime reports what goes wrong later.
#ifndef VZ_SRC_STARTUP_RUNTIME_WIRING_H_
#define VZ_SRC_STARTUP_RUNTIME_WIRING_H_

namespace vz::startup {

void WireScreenRuntime();

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_RUNTIME_WIRING_H_
