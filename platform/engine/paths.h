// Where a file of the analysis lives on disk.
//
// The analysis and the program write directories the Windows way
// ("D:\VESTRA", "..\DATA"). A directory substitution replaces the analysis's
// directory of a file by another one; directories are compared without regard
// to case, slash direction or trailing slashes. "?" and "" mean the current
// directory. A directory that still carries a drive letter after substitution
// ("D:\VESTRA" with no substitution) is taken relative to the current
// directory without its drive ("VESTRA").
//
// The database file of a physical file is <directory>/<PHYSICAL>.vzdb, the
// physical name upper-cased (ASCII letters only). Pure functions; no failure.
#ifndef VZ_PLATFORM_ENGINE_PATHS_H_
#define VZ_PLATFORM_ENGINE_PATHS_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vz::engine {

inline constexpr std::string_view kDatabaseExtension = ".vzdb";

// Backslashes become slashes.
std::string MapWindowsPath(std::string_view path);

// True when two directories name the same place as the analysis writes them.
bool SameDirectory(std::string_view a, std::string_view b);

// A list of substitutions in the order they were made; a later substitution of
// the same directory replaces the earlier one.
class DirectorySubstitutions {
 public:
  void Set(std::string_view directory, std::string_view new_directory);
  // The directory of this system in which a file placed in `directory` lives.
  std::string Resolve(std::string_view directory) const;

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

// The database file for a physical name in a resolved directory.
std::string DatabasePath(const std::string& directory, std::string_view physical_name);

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_PATHS_H_
