// Numbers written for people: the digits of the integer part in groups of
// three separated by a space ("154 872", "-3 584", "0"). Used where a text
// shows an amount to the user; stored formats never use it (number_text.h).
// Pure functions on cp1252/ASCII texts; nothing fails.
#ifndef VZ_SRC_UTIL_THOUSANDS_H_
#define VZ_SRC_UTIL_THOUSANDS_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace vz::util {

// The value with its thousands separated by a space: 154872 -> "154 872",
// -3584 -> "-3 584", 999 -> "999", 0 -> "0".
std::string ThousandsText(int64_t value);

// The same grouping inside a number already written: the run of digits that
// follows an optional leading sign is grouped, the rest (a decimal part, a
// unit) is kept as it is: "-1234567.25" -> "-1 234 567.25", "1234 EUR" ->
// "1 234 EUR". A text that does not start with a digit after the sign is
// returned unchanged.
std::string GroupThousands(std::string_view number_text);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_THOUSANDS_H_
