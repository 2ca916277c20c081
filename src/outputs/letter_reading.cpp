// Values written for reading in the letters (letter_reading.h).
#include "src/outputs/letter_reading.h"

#include <cmath>

#include "src/util/number_text.h"
#include "src/util/thousands.h"

namespace vz::outputs {
namespace {

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsRealDay(int year, int month, int day) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  const int last = kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
  return day <= last;
}

}  // namespace

std::string ReadingAmount(double amount) {
  if (!std::isfinite(amount)) return "0";
  // The stored rule rounds; the reading form groups the same units.
  const std::string units = util::NumberToText(amount, 1, 0);
  return util::GroupThousands(units);
}

std::string ReadingRate(double rate) {
  if (!std::isfinite(rate)) return "0";
  std::string text = util::NumberToText(rate, 1, -2);
  const size_t point = text.find('.');
  if (point != std::string::npos) text[point] = ',';
  return util::GroupThousands(text);
}

std::string ReadingDate(std::string_view yyyymmdd) {
  if (yyyymmdd.size() != 8) return {};
  for (char c : yyyymmdd) {
    if (c < '0' || c > '9') return {};
  }
  const int year = util::TextToInt(yyyymmdd.substr(0, 4));
  const int month = util::TextToInt(yyyymmdd.substr(4, 2));
  const int day = util::TextToInt(yyyymmdd.substr(6, 2));
  if (!IsRealDay(year, month, day)) return {};
  std::string text;
  text.append(yyyymmdd.substr(6, 2)).append("/");
  text.append(yyyymmdd.substr(4, 2)).append("/");
  text.append(yyyymmdd.substr(0, 4));
  return text;
}

std::string ReadingIdentityValue(std::string_view keyword, std::string_view stored) {
  const std::string_view code = keyword.substr(0, 5);
  if (code == "0000I") return ReadingDate(Trimmed(stored));
  return std::string(Trimmed(stored));
}

}  // namespace vz::outputs
