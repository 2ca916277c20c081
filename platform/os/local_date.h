// Today's local date, with an override for tests so that results that depend
// on the date (ages, today's date in texts) are deterministic.
// Single-threaded: the override is process-wide while a ScopedTodayForTests
// lives; overrides nest, the innermost wins, and each restores the previous
// one when it ends.
#ifndef VZ_PLATFORM_OS_LOCAL_DATE_H_
#define VZ_PLATFORM_OS_LOCAL_DATE_H_

#include <optional>

namespace vz::os {

struct CalendarDate {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
};

// Today by the local clock and time zone (or the test override).
CalendarDate Today();

class ScopedTodayForTests {
 public:
  explicit ScopedTodayForTests(CalendarDate date);
  ~ScopedTodayForTests();
  ScopedTodayForTests(const ScopedTodayForTests&) = delete;
  ScopedTodayForTests& operator=(const ScopedTodayForTests&) = delete;

 private:
  std::optional<CalendarDate> previous_;
};

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_LOCAL_DATE_H_
