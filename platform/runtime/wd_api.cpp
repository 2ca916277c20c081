// The four entry points of the screen runtime (declared in wd_api.h), over
// one process-wide module. The module starts on InitModule, or on the first
// command if InitModule was not called, and ends on TermModule; a command
// after TermModule starts a new one. The project's code and the engine
// context creation come from the program (entry_point_setup.h).
#include "platform/runtime/wd_api.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include "platform/os/cp1252.h"
#include "platform/runtime/entry_point_setup.h"
#include "platform/runtime/module.h"
#include "platform/runtime/scripted_front_end.h"

namespace {

std::unique_ptr<vz::runtime::Module>& TheModule() {
  static std::unique_ptr<vz::runtime::Module> module;
  return module;
}

std::optional<vz::runtime::EntryPointSetup>& TheSetup() {
  static std::optional<vz::runtime::EntryPointSetup> setup;
  return setup;
}

int32_t g_last_value = 0;

vz::runtime::Module& StartedModule() {
  auto& module = TheModule();
  if (!module) {
    const auto& setup = TheSetup();
    if (!setup) {
      std::fprintf(stderr,
                   "screen runtime: the module starts before the program gave it its project "
                   "code (SetEntryPointSetup)\n");
      std::fflush(stderr);
      std::_Exit(vz::runtime::kScenarioFailureExit);
    }
    vz::runtime::CodeRegistry registry;
    if (setup->register_code) setup->register_code(registry);
    module = vz::runtime::Module::Create(vz::runtime::Module::FromProcessEnvironment(),
                                         std::move(registry), setup->create_engine_context);
  }
  return *module;
}

}  // namespace

namespace vz::runtime {

void SetEntryPointSetup(EntryPointSetup setup) {
  TheSetup() = std::move(setup);
}

}  // namespace vz::runtime

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
