#include "src/selection/rubric_tests_support.h"

#include <cmath>

#include "src/config/parameter_file.h"
#include "src/util/number_text.h"

namespace vz::selection {
namespace {

bool IsTrimBlank(char c) {
  return c == ' ' || c == '\xFF';
}

}  // namespace

CriteriaElements::CriteriaElements(std::string_view text, char separator) {
  while (!text.empty() && IsTrimBlank(text.back())) text.remove_suffix(1);
  size_t pos = 0;
  while (count_ < kMaxElements) {
    const size_t end = text.find(separator, pos);
    if (end == std::string_view::npos) {
      elements_[static_cast<size_t>(count_++)] = text.substr(pos);
      break;
    }
    elements_[static_cast<size_t>(count_++)] = text.substr(pos, end - pos);
    pos = end + 1;
  }
}

CriteriaElements::CriteriaElements(std::string_view text)
    : CriteriaElements(text, config::ListSeparator()) {}

std::string_view CriteriaElements::operator[](int number) const {
  if (number < 1 || number > count_) return {};
  return elements_[static_cast<size_t>(number - 1)];
}

bool IsNoBoundPair(const CriteriaElements& elements, int first, std::string_view no_upper) {
  return elements[first] == "0" && elements[first + 1] == no_upper;
}

BoundPair ReadBoundPair(const CriteriaElements& elements, int first) {
  BoundPair pair;
  pair.lower = util::TextToNumber(elements[first]);
  pair.upper = util::TextToNumber(elements[first + 1]);
  pair.no_amount_bound = IsNoBoundPair(elements, first, kNoUpperAmount);
  pair.no_rate_bound = IsNoBoundPair(elements, first, kNoUpperRate);
  return pair;
}

bool InRange(double value, const BoundPair& pair, NoUpper kind) {
  if (kind == NoUpper::kAmount ? pair.no_amount_bound : pair.no_rate_bound) return true;
  return !(pair.lower > value) && !(pair.upper < value);
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double floor = std::floor(value);
  const double fraction = value - floor;
  if (fraction < 0.5) return floor;
  if (fraction > 0.5) return floor + 1.0;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::string_view TrimInto(std::string_view text, char* buffer, size_t capacity) {
  while (!text.empty() && IsTrimBlank(text.front())) text.remove_prefix(1);
  size_t length = 0;
  for (size_t i = 0; i < text.size() && length < capacity; ++i) {
    buffer[length++] = text[i];
    if (i >= 1 && text[i] == ' ') {
      while (i + 1 < text.size() && IsTrimBlank(text[i + 1])) ++i;
    }
  }
  while (length > 0 && IsTrimBlank(buffer[length - 1])) --length;
  return {buffer, length};
}

}  // namespace vz::selection
