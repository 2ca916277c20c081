// The window library: every window the program may open, read from a ".wdl"
// file (format: docs/window-library.md).
//
// ParseWindowLibrary checks the whole file and either returns the library or
// the first fault as "FILE:LINE: reason"; a library is never half loaded.
// LoadWindowLibrary adds the file reading. The library owns its window
// templates; "Ouvre" copies them.
#ifndef VZ_PLATFORM_RUNTIME_WINDOW_LIBRARY_H_
#define VZ_PLATFORM_RUNTIME_WINDOW_LIBRARY_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/window_model.h"

namespace vz::runtime {

struct WindowLibrary {
  std::string name;
  std::vector<Window> windows;

  // By name without regard to case or accents; "MENU.WDW" finds MENU.
  const Window* Find(std::string_view window_name) const;
};

struct LibraryLoad {
  std::optional<WindowLibrary> library;
  std::string error;  // "FILE:LINE: reason" when library is empty
};

LibraryLoad ParseWindowLibrary(std::string_view utf8_content, std::string_view file_name);

// Reads and parses a file. A missing or unreadable file gives an error
// without a line number.
LibraryLoad LoadWindowLibrary(const std::filesystem::path& path);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_WINDOW_LIBRARY_H_
