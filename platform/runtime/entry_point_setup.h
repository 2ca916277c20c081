// What the module behind the four entry points (wd_api.h) is given by the
// program that links them: the screen project's procedures and window code,
// and the way to create the runtime's own record engine context ("HFCTX").
//
// The runtime knows nothing of the project or of the engine: the program's
// composition root hands both over here, once, before the module starts
// (InitModule or the first command). Each module start calls register_code on
// a fresh registry, so that every module starts from the same code; the
// engine context is created on the first "HFCTX" of a module and kept.
//
// Empty members are allowed and explicit: no register_code, no project code
// (an "execute" of a procedure is then a problem in the transcript); no
// create_engine_context, no context ("HFCTX" gives 0 and notes it).
//
// Fails loudly: an entry point called before SetEntryPointSetup writes the
// reason to the error output and ends the process with exit code 70; a module
// without its project code must not run a session that looks normal.
//
// REQUIRES: called from the thread that calls the entry points. A call while
// a module runs applies to the next module (after TermModule).
#ifndef VZ_PLATFORM_RUNTIME_ENTRY_POINT_SETUP_H_
#define VZ_PLATFORM_RUNTIME_ENTRY_POINT_SETUP_H_

#include <cstdint>
#include <functional>

#include "platform/runtime/code_registry.h"

namespace vz::runtime {

struct EntryPointSetup {
  std::function<void(CodeRegistry&)> register_code;
  std::function<int32_t()> create_engine_context;
};

void SetEntryPointSetup(EntryPointSetup setup);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_ENTRY_POINT_SETUP_H_
