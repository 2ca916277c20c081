#include "src/util/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "src/util/blanks.h"

namespace vz::util {
namespace {

constexpr size_t kReadLimit = 30;
constexpr size_t kShortStringLimit = 255;

int ClampWidth(int width) {
  if (width < 0) return 0;
  return width > kMaxTextWidth ? kMaxTextWidth : width;
}

std::string RightAligned(std::string text, int width) {
  const size_t field = static_cast<size_t>(ClampWidth(width));
  if (text.size() < field) text.insert(0, field - text.size(), ' ');
  return text;
}

// Zero padding with the minus sign moved to the front: from the last position
// of the field to the first, a "-" after position 1 is replaced by "0" and put
// one position to the left, and a blank becomes "0".
void ZeroFill(std::string& text, int width) {
  const size_t field = std::min(static_cast<size_t>(ClampWidth(width)), text.size());
  for (size_t i = field; i >= 1; --i) {
    char& c = text[i - 1];
    if (c == '-' && i > 1) {
      c = '0';
      text[i - 2] = '-';
    }
    if (c == ' ') c = '0';
  }
}

// |value| with `decimals` decimals, rounded half away from zero on the
// value's shortest decimal form. Returns the digits with the decimal point.
std::string FixedMagnitude(double value, int decimals, bool* is_zero) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific);
  const std::string_view shortest(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e = shortest.find('e');
  std::string digits;
  for (char c : shortest.substr(0, e)) {
    if (c != '.') digits.push_back(c);
  }
  const int exponent = std::atoi(std::string(shortest.substr(e + 1)).c_str());
  // digits[0] has the weight 10^exponent; keep the digits down to 10^-decimals.
  const long keep = static_cast<long>(exponent) + 1 + decimals;
  std::string kept;
  bool round_up = false;
  if (keep >= 0) {
    const size_t k = static_cast<size_t>(keep);
    kept = digits.substr(0, std::min(k, digits.size()));
    if (kept.size() < k) kept.append(k - kept.size(), '0');
    round_up = k < digits.size() && digits[k] >= '5';
  }
  if (round_up) {
    size_t i = kept.size();
    while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
    if (i == 0) {
      kept.insert(0, 1, '1');
    } else {
      ++kept[i - 1];
    }
  }
  const size_t first = kept.find_first_not_of('0');
  *is_zero = first == std::string::npos;
  kept.erase(0, *is_zero ? kept.size() : first);
  const size_t needed = static_cast<size_t>(decimals) + 1;
  if (kept.size() < needed) kept.insert(0, needed - kept.size(), '0');
  if (decimals > 0) kept.insert(kept.size() - static_cast<size_t>(decimals), 1, '.');
  return kept;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Optional sign, digits with an optional decimal point (at least one digit),
// optional exponent.
bool IsDecimalNumber(std::string_view s) {
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
  const size_t e = s.find_first_of("eE");
  std::string_view mantissa = s.substr(0, e);
  if (e != std::string_view::npos) {
    std::string_view exponent = s.substr(e + 1);
    if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-')) {
      exponent.remove_prefix(1);
    }
    if (!AllDigits(exponent)) return false;
  }
  const size_t point = mantissa.find('.');
  if (point == std::string_view::npos) return AllDigits(mantissa);
  const std::string_view whole = mantissa.substr(0, point);
  const std::string_view fraction = mantissa.substr(point + 1);
  if (whole.empty() && fraction.empty()) return false;
  return (whole.empty() || AllDigits(whole)) && (fraction.empty() || AllDigits(fraction));
}

}  // namespace

std::string IntToText(int32_t value, int width) {
  std::string text = RightAligned(std::to_string(value), width);
  ZeroFill(text, width);
  return text;
}

std::string IntToTextBlankPadded(int32_t value, int width) {
  std::string text = RightAligned(std::to_string(value), width);
  if (text.size() > kShortStringLimit) text.resize(kShortStringLimit);
  return text;
}

std::string NumberToText(double value, int8_t width, int8_t decimals) {
  if (!std::isfinite(value)) value = 0;
  const int field = std::abs(static_cast<int>(width));
  const int places = std::abs(static_cast<int>(decimals));
  bool is_zero = false;
  std::string text = FixedMagnitude(value, places, &is_zero);
  if (value < 0 && !is_zero) text.insert(0, 1, '-');
  text = RightAligned(std::move(text), field);
  if (width > 0) ZeroFill(text, field);
  if (value == 0 && width < 0) text.assign(static_cast<size_t>(field), ' ');
  if (decimals < 0) {
    const char point = text.find('.') != std::string::npos   ? '.'
                       : text.find(',') != std::string::npos ? ','
                                                             : '\0';
    if (point != '\0') {
      while (!text.empty() && text.back() == '0') text.pop_back();
      if (!text.empty() && text.back() == point) text.pop_back();
    }
  }
  return text;
}

int32_t TextToInt(std::string_view text) {
  const std::string trimmed = TrimBlanks(text.substr(0, kReadLimit), kTrimAll);
  std::string_view s = trimmed;
  const bool negative = !s.empty() && s.front() == '-';
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
  if (!AllDigits(s)) return 0;
  int64_t value = 0;
  for (char c : s) {
    value = value * 10 + (c - '0');
    if (value > int64_t{1} << 32) return 0;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return 0;
  return static_cast<int32_t>(value);
}

double TextToNumber(std::string_view text) {
  std::string s(text.substr(0, kReadLimit));
  const size_t blank = s.find(' ');
  if (blank != std::string::npos) s.erase(blank, 1);
  s = TrimBlanks(s, kTrimAll);
  for (char& c : s) {
    if (c == ',') c = '.';
  }
  if (!IsDecimalNumber(s)) return 0;
  std::string_view digits = s;
  const bool negative = digits.front() == '-';
  if (digits.front() == '+' || digits.front() == '-') digits.remove_prefix(1);
  double value = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) return 0;
  return negative ? -value : value;
}

}  // namespace vz::util
