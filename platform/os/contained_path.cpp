#include "platform/os/contained_path.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace vz::os {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinks = 40;

// `path` is absolute. `links` counts the links followed so far.
std::optional<fs::path> Resolve(const fs::path& path, int& links) {
  fs::path current = path.root_path();
  for (const fs::path& part : path.relative_path()) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      current = current.parent_path();
      continue;
    }
    const fs::path next = current / part;
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(next, ec))) {
      current = next;
      continue;
    }
    if (++links > kMaxLinks) return std::nullopt;
    fs::path target = fs::read_symlink(next, ec);
    if (ec) return std::nullopt;
    if (target.is_relative()) target = current / target;
    std::optional<fs::path> resolved = Resolve(target, links);
    if (!resolved) return std::nullopt;
    current = *resolved;
  }
  return current;
}

std::optional<fs::path> ResolveFromHere(const std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path.empty() ? "." : path, ec);
  if (ec) return std::nullopt;
  int links = 0;
  return Resolve(absolute, links);
}

}  // namespace

bool StaysInside(const std::string& folder, const std::string& path) {
  const std::optional<fs::path> outer = ResolveFromHere(folder);
  const std::optional<fs::path> inner = ResolveFromHere(path);
  if (!outer || !inner) return false;
  std::vector<fs::path> outer_parts(outer->begin(), outer->end());
  std::vector<fs::path> inner_parts(inner->begin(), inner->end());
  // A trailing separator gives an empty last part: it names the same place.
  if (!outer_parts.empty() && outer_parts.back().empty()) outer_parts.pop_back();
  if (inner_parts.size() < outer_parts.size()) return false;
  return std::equal(outer_parts.begin(), outer_parts.end(), inner_parts.begin());
}

}  // namespace vz::os
