#include "src/util/dates.h"

#include <cstdlib>

#include "platform/os/local_date.h"
#include "src/util/number_text.h"

namespace vz::util {
namespace {

constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

std::string NormalizedDate(std::string_view date, int format) {
  std::string text(date.substr(0, 8));
  if (TextToInt(text) == 0) text = TodayText(format);
  if (text.size() == 6) text.insert(format == kDateDayMonthYear ? 4 : 0, "19");
  return text;
}

int Part(const std::string& text, size_t position, size_t length) {
  if (position >= text.size()) return 0;
  return TextToInt(std::string_view(text).substr(position, length));
}

int DayCount(const std::string& date, int format) {
  int year, month, day;
  if (format == kDateDayMonthYear) {
    day = Part(date, 0, 2), month = Part(date, 2, 2), year = Part(date, 4, 4);
  } else {
    year = Part(date, 0, 4), month = Part(date, 4, 2), day = Part(date, 6, 2);
  }
  if (month < 1) month = 1;
  if (month > 12) month = 12;
  return std::abs(year * 365 + kDaysBeforeMonth[month - 1] + day);
}

}  // namespace

std::string TodayText(int format) {
  const os::CalendarDate today = os::Today();
  if (format == kDateDayMonthYear) {
    return IntToText(today.day, 2) + IntToText(today.month, 2) + IntToText(today.year, 4);
  }
  return IntToText(today.year, 4) + IntToText(today.month, 2) + IntToText(today.day, 2);
}

int YearsBetweenDates(std::string_view first, std::string_view second, int format) {
  const int from = DayCount(NormalizedDate(first, format), format);
  const int to = DayCount(NormalizedDate(second, format), format);
  return (to - from) / 365;
}

}  // namespace vz::util
