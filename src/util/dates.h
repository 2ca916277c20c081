// Dates as eight-digit texts and the simplified age computation.
//
// Format 0 is YYYYMMDD, format 1 is DDMMYYYY (any other format number is
// read as format 0). Years between dates counts 365-day years over a fixed
// month table without leap days, as the suite's stored ages do; it is not a
// calendar computation. Nothing fails: unreadable parts read as 0.
#ifndef VZ_SRC_UTIL_DATES_H_
#define VZ_SRC_UTIL_DATES_H_

#include <string>
#include <string_view>

namespace vz::util {

inline constexpr int kDateYearMonthDay = 0;  // YYYYMMDD
inline constexpr int kDateDayMonthYear = 1;  // DDMMYYYY

// Today's local date (vz::os::Today, which tests can fix) in the format.
std::string TodayText(int format);

// Whole 365-day years from `first` to `second`, truncated toward zero.
// Each date is cut to 8 characters; a date whose integer value is 0 (empty,
// "00000000", not a number) stands for today; a six-character date gets the
// century "19" (YYMMDD -> 19YYMMDD, DDMMYY -> DDMM19YY). The day count of a
// date is |year * 365 + days before the month + day|, with the month clamped
// to 1..12 and the days before it taken from 0, 31, 59, 90, 120, 151, 181,
// 212, 243, 273, 304, 334. An age is YearsBetweenDates(birth, "00000000", 0).
int YearsBetweenDates(std::string_view first, std::string_view second, int format);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_DATES_H_
