// Local date and time as the tools program names folders and reports.
// Plain functions over a broken-down local time; no failure.
#ifndef VZ_TOOLS_VERIRORU_TIME_STAMP_H_
#define VZ_TOOLS_VERIRORU_TIME_STAMP_H_

#include <ctime>
#include <string>

namespace vz::veriroru {

// The local time now.
std::tm LocalNow();

// "20261208-013000" (AAAAMMJJ-HHMMSS).
std::string FolderStamp(const std::tm& when);

// "08/12/2026 à 01:30:00", for an adviser (UTF-8).
std::string ReadableStamp(const std::tm& when);

// "08/12/2026 à 01:30:00" from a folder stamp, or the stamp itself when it
// is not one.
std::string ReadableFolderStamp(const std::string& stamp);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_TIME_STAMP_H_
