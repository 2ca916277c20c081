// The bridge, the runtime, the project's code and the engine, put together.
#include "src/startup/runtime_wiring.h"

#include <utility>

#include "platform/engine/le_api.h"
#include "platform/runtime/entry_point_setup.h"
#include "platform/runtime/wd_api.h"
#include "project/project_code.h"
#include "src/db/context.h"
#include "src/screen/runtime_link.h"

namespace vz::startup {

void WireScreenRuntime() {
  runtime::EntryPointSetup setup;
  setup.register_code = &project::RegisterProjectCode;
  setup.create_engine_context = [] { return LE_CreateContexteHF(db::kDescriptionCount); };
  runtime::SetEntryPointSetup(std::move(setup));
  screen::ConnectRuntime({&InitModule, &WDExecuteCommande, &nGetValeurRetour, &TermModule});
}

}  // namespace vz::startup
