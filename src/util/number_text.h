// Numbers to fixed-width texts and typed texts to numbers. The padding,
// trimming and rounding rules below are part of the stored formats (six-digit
// query numbers, two-digit field counts, merge-file columns): keep them exact.
// Texts are cp1252 std::string. Nothing throws: a text that is not a number
// converts to 0.
#ifndef VZ_SRC_UTIL_NUMBER_TEXT_H_
#define VZ_SRC_UTIL_NUMBER_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace vz::util {

// Widths above this are taken as this (no caller needs more).
inline constexpr int kMaxTextWidth = 1024;

// The value in `width` characters, zero-padded, a minus sign first:
// 7,2 -> "07"; -5,4 -> "-005"; 12,6 -> "000012". A value wider than the field
// is written in full (123,2 -> "123"); width 0 or less gives the plain number.
std::string IntToText(int32_t value, int width);

// The value right-aligned in `width` characters with leading blanks
// (5,2 -> " 5"). Cut to 255 characters, like every short string.
std::string IntToTextBlankPadded(int32_t value, int width);

// Fixed-point text of `value` with |decimals| decimals and "." as decimal
// point, right-aligned in |width| characters (written in full when wider):
//  - width > 0: zero-padded, a minus sign first (1234.5,8,2 -> "01234.50");
//  - width < 0: blank-padded (1234.25,-8,0 -> "    1234"), and a value of
//    exactly 0 gives |width| blanks;
//  - decimals < 0: trailing "0" characters of the decimals are removed, then
//    a trailing "." (2.5,-6,-2 -> "  2.5").
// Rounding is to the nearest, and a value exactly halfway is rounded away
// from zero on the value's shortest decimal form (the digits it prints
// with), so 2.675 gives "2.68" and -0.125 with 2 decimals gives "-0.13".
// A result that rounds to zero has no minus sign. NaN and infinities are
// written as 0.
std::string NumberToText(double value, int8_t width, int8_t decimals);

// Tolerant integer reading: the first 30 characters, blanks trimmed (mode
// 3), then an optional sign and decimal digits making up the whole text.
// Anything else, an empty text or a value outside 32 bits gives 0:
// " 42 " -> 42, "4 2" -> 0, "12a" -> 0.
int32_t TextToInt(std::string_view text);

// Tolerant decimal reading: the first 30 characters, the first space
// removed (one only), blanks trimmed (mode 3), every "," read as ".", then
// an optional sign, digits with an optional decimal point and an optional
// exponent making up the whole text. Anything else, or a value out of range,
// gives 0: "1 234,50" -> 1234.5, "1 234 567" -> 0.
double TextToNumber(std::string_view text);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_NUMBER_TEXT_H_
