#include "platform/os/local_date.h"

#include <ctime>

namespace vz::os {
namespace {

std::optional<CalendarDate>& Override() {
  static std::optional<CalendarDate> date;
  return date;
}

}  // namespace

CalendarDate Today() {
  if (Override()) return *Override();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) return {1970, 1, 1};
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

ScopedTodayForTests::ScopedTodayForTests(CalendarDate date) : previous_(Override()) {
  Override() = date;
}

ScopedTodayForTests::~ScopedTodayForTests() {
  Override() = previous_;
}

}  // namespace vz::os
