// The scenario reader (platform/runtime/scenario.h) on any text: it gives a
// scenario or an error, never both nor neither, and never crashes.
#include <cstdint>
#include <cstdlib>

#include "platform/runtime/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vz::runtime::ScenarioLoad load = vz::runtime::ParseScenario(text, "fuzz.scn");
  if (load.scenario.has_value() == !load.error.empty()) std::abort();
  if (load.scenario) {
    for (const vz::runtime::ScenarioStep& step : load.scenario->steps) {
      (void)vz::runtime::DescribeStep(step);
    }
  }
  return 0;
}
