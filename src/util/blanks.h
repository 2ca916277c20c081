// Blank handling on cp1252 texts: fitting to a width, trimming, testing.
// "Blank" is the space (32); trimming also treats character 255 as a blank.
// Pure functions; nothing fails.
#ifndef VZ_SRC_UTIL_BLANKS_H_
#define VZ_SRC_UTIL_BLANKS_H_

#include <string>
#include <string_view>

namespace vz::util {

// Trimming modes.
inline constexpr int kTrimLeading = 0;   // remove leading blanks
inline constexpr int kTrimRuns = 1;      // reduce runs of blanks (below)
inline constexpr int kTrimTrailing = 2;  // remove trailing blanks
inline constexpr int kTrimAll = 3;       // modes 0, 1 and 2, in that order

// Mode 1, scanning from the second character on: wherever a space (32)
// stands, it stays and every blank (32 or 255) directly after it is removed.
// The first character is never examined, so a text starting with two spaces
// keeps both ("  A" stays "  A"); a run that starts with character 255 is
// only reduced from its first space on ("A\xFF\xFF B" stays as it is).
// Any other mode returns the text unchanged.
std::string TrimBlanks(std::string_view text, int mode);

// The first n characters, or the text padded with blanks up to n characters.
// n <= 0 gives the empty text.
std::string FitToWidth(std::string_view text, int n);

// True when trimming mode 3 leaves nothing.
bool IsBlank(std::string_view text);

// Removes every trailing space (32) and NUL (0).
std::string TrimRightBlanksAndNuls(std::string_view text);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_BLANKS_H_
