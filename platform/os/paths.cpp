#include "platform/os/paths.h"

#include <glob.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/os/ascii_case.h"

namespace vz::os {

std::string ToNativePath(std::string_view windows_path) {
  std::string_view rest = windows_path;
  const bool has_drive = rest.size() >= 2 && rest[1] == ':' && IsAsciiLetter(rest[0]);
  if (has_drive) {
    rest.remove_prefix(2);
    if (rest.empty()) return ".";
  }
  std::string native(rest);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

std::string_view FileNamePart(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string_view DirectoryPart(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  if (cut == std::string_view::npos) return {};
  if (cut == 0) return path.substr(0, 1);
  return path.substr(0, cut);
}

std::string JoinPath(std::string_view directory, std::string_view path) {
  if (!path.empty() && path.front() == '/') return std::string(path);
  if (directory.empty()) return std::string(path);
  std::string joined(directory);
  if (joined.back() != '/') joined.push_back('/');
  joined.append(path);
  return joined;
}

std::string ProgramPath() {
  std::vector<char> buffer(PATH_MAX + 1);
  for (;;) {
    const ssize_t got = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (got < 0) return {};
    if (static_cast<size_t>(got) < buffer.size()) return std::string(buffer.data(), got);
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramDirectory() {
  return std::string(DirectoryPart(ProgramPath()));
}

std::string CurrentDirectory() {
  char* path = ::getcwd(nullptr, 0);
  if (path == nullptr) return {};
  std::string result(path);
  std::free(path);
  return result;
}

bool ChangeDirectory(const std::string& path) {
  return !path.empty() && ::chdir(path.c_str()) == 0;
}

bool AnyEntryMatches(const std::string& pattern) {
  if (pattern.empty()) return false;
  glob_t found{};
  const int rc =
      ::glob(pattern.c_str(), GLOB_NOSORT | GLOB_NOESCAPE | GLOB_PERIOD, nullptr, &found);
  const bool any = rc == 0 && found.gl_pathc > 0;
  ::globfree(&found);
  return any;
}

}  // namespace vz::os
