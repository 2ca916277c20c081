// The window-library reader (platform/runtime/window_library.h) on any text:
// it gives a library or an error, never both nor neither; every window it
// gives is found again by its name.
#include <cstdint>
#include <cstdlib>

#include "platform/runtime/window_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vz::runtime::LibraryLoad load = vz::runtime::ParseWindowLibrary(text, "fuzz.wdl");
  if (load.library.has_value() == !load.error.empty()) std::abort();
  if (load.library) {
    for (const vz::runtime::Window& window : load.library->windows) {
      if (load.library->Find(window.name) == nullptr) std::abort();
    }
  }
  return 0;
}
