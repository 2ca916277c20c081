#include "src/util/thousands.h"

namespace vz::util {
namespace {

constexpr size_t kGroup = 3;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string ThousandsText(int64_t value) {
  return GroupThousands(std::to_string(value));
}

std::string GroupThousands(std::string_view number_text) {
  size_t start = 0;
  if (!number_text.empty() && (number_text[0] == '-' || number_text[0] == '+')) start = 1;
  size_t end = start;
  while (end < number_text.size() && IsDigit(number_text[end])) ++end;
  std::string grouped(number_text.substr(0, start));
  const size_t digits = end - start;
  for (size_t i = 0; i < digits; ++i) {
    if (i > 0 && (digits - i) % kGroup == 0) grouped += ' ';
    grouped += number_text[start + i];
  }
  grouped += number_text.substr(end);
  return grouped;
}

}  // namespace vz::util
