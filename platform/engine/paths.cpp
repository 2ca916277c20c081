#include "platform/engine/paths.h"

#include "platform/engine/analysis.h"
#include "platform/os/ascii_case.h"

namespace vz::engine {
namespace {

// Upper case, forward slashes, no trailing slash (except a lone "/").
std::string NormalizeDirectory(std::string_view directory) {
  std::string out = os::AsciiUpper(MapWindowsPath(directory));
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && os::IsAsciiLetter(path[0]);
}

}  // namespace

std::string MapWindowsPath(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

bool SameDirectory(std::string_view a, std::string_view b) {
  return NormalizeDirectory(a) == NormalizeDirectory(b);
}

void DirectorySubstitutions::Set(std::string_view directory, std::string_view new_directory) {
  for (auto& entry : entries_) {
    if (SameDirectory(entry.first, directory)) {
      entry.second = std::string(new_directory);
      return;
    }
  }
  entries_.emplace_back(std::string(directory), std::string(new_directory));
}

std::string DirectorySubstitutions::Resolve(std::string_view directory) const {
  std::string_view chosen = directory;
  for (const auto& entry : entries_) {
    if (SameDirectory(entry.first, directory)) chosen = entry.second;
  }
  if (chosen.empty() || chosen == "?") return ".";
  std::string mapped = MapWindowsPath(chosen);
  if (HasDrive(mapped)) {
    mapped.erase(0, 2);
    while (!mapped.empty() && mapped.front() == '/') mapped.erase(0, 1);
    if (mapped.empty()) return ".";
  }
  while (mapped.size() > 1 && mapped.back() == '/') mapped.pop_back();
  return mapped;
}

std::string DatabasePath(const std::string& directory, std::string_view physical_name) {
  std::string_view base = directory.empty() ? std::string_view(".") : directory;
  std::string name = os::AsciiUpper(physical_name);
  std::string path;
  path.reserve(base.size() + 1 + name.size() + kDatabaseExtension.size());
  path.append(base);
  if (base.back() != '/') path.push_back('/');
  path.append(name);
  path.append(kDatabaseExtension);
  return path;
}

}  // namespace vz::engine
