#include "src/util/fixed_split.h"

namespace vz::util {

std::vector<std::string> SplitFixedCount(std::string_view text, std::string_view separator,
                                         int count) {
  std::vector<std::string> parts;
  if (count <= 0) return parts;
  parts.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const size_t at = separator.empty() ? std::string_view::npos : text.find(separator);
    if (at == std::string_view::npos) {
      parts.emplace_back(text);
      text = {};
    } else {
      parts.emplace_back(text.substr(0, at));
      text.remove_prefix(at + 1);
    }
  }
  return parts;
}

}  // namespace vz::util
