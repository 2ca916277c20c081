// Cutting a text read whole into its lines, without copying: a line ends at
// LF, and a CR just before the LF (or at the very end) is not part of it. The
// text after the last LF, if any, is the last line. Pure; nothing fails.
#ifndef VZ_SRC_UTIL_TEXT_LINES_H_
#define VZ_SRC_UTIL_TEXT_LINES_H_

#include <string_view>

namespace vz::util {

// The first line of `rest`, which then holds what follows that line's LF
// (empty after the last line). The line views the same bytes as `rest`.
inline std::string_view TakeLine(std::string_view& rest) {
  const size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_TEXT_LINES_H_
