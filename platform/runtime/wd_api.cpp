// The four entry points of the screen runtime (declared in wd_api.h), over
// one process-wide module. The module starts on InitModule, or on the first
// command if InitModule was not called, and ends on TermModule; a command
// after TermModule starts a new one. The screen project's procedures and the
// record engine's context creation are wired in here.
#include "platform/runtime/wd_api.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/engine/le_api.h"
#include "platform/os/cp1252.h"
#include "platform/runtime/module.h"
#include "platform/runtime/scripted_front_end.h"
#include "project/project_code.h"

namespace {

// The runtime's own context is shared with the program's, which describes the
// catalogue's 103 files; the runtime asks for the same room.
constexpr int32_t kRuntimeDescriptionCount = 103;

std::unique_ptr<vz::runtime::Module>& TheModule() {
  static std::unique_ptr<vz::runtime::Module> module;
  return module;
}

int32_t g_last_value = 0;

vz::runtime::Module& StartedModule() {
  auto& module = TheModule();
  if (!module) {
    vz::runtime::CodeRegistry registry;
    vz::project::RegisterProjectCode(registry);
    module = vz::runtime::Module::Create(
        vz::runtime::Module::FromProcessEnvironment(), std::move(registry),
        [] { return LE_CreateContexteHF(kRuntimeDescriptionCount); });
  }
  return *module;
}

}  // namespace

extern "C" {

int32_t InitModule(uint8_t* module_block) {
  vz::runtime::Module& module = StartedModule();
  if (module_block)
    vz::runtime::WriteModuleResults(module_block, "", module.session().return_code());
  return 0;
}

int32_t WDExecuteCommande(uint8_t* module_block, const char* command) {
  g_last_value = StartedModule().Execute(module_block, command);
  return g_last_value;
}

int32_t nGetValeurRetour(void) {
  return g_last_value;
}

int32_t TermModule(uint8_t* /*module_block*/) {
  auto& module = TheModule();
  if (!module) return 0;
  const std::string problem = module->Finish();
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", vz::os::Utf8(problem).c_str());
    std::fflush(stderr);
    std::_Exit(vz::runtime::kScenarioFailureExit);
  }
  module.reset();
  return 0;
}

}  // extern "C"
