// Splitting a text into an exact number of parts at a separator.
// Pure function; nothing fails.
#ifndef VZ_SRC_UTIL_FIXED_SPLIT_H_
#define VZ_SRC_UTIL_FIXED_SPLIT_H_

#include <string>
#include <string_view>
#include <vector>

namespace vz::util {

// Always exactly `count` parts (none when count <= 0). Each part is the text
// before the first occurrence of `separator` (the whole remaining text when
// there is none); the text then continues one character after where the
// separator starts, so callers pass one-character separators (TAB). Parts
// beyond the end of the text are empty. An empty separator is never found.
std::vector<std::string> SplitFixedCount(std::string_view text, std::string_view separator,
                                         int count);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_FIXED_SPLIT_H_
