#include "src/selection/rubric_tests_support.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "src/config/parameter_file.h"
#include "src/util/number_text.h"

namespace vz::selection {
namespace {

bool IsTrimBlank(char c) {
  return c == ' ' || c == '\xFF';
}

// The numbers bound texts read as. A pass tests the same few bounds for every
// client: each text is turned into a number once and found again by its
// characters (a small table indexed by a hash of them; a text that does not
// fit a slot is read every time).
class BoundNumbers {
 public:
  double Get(std::string_view text) {
    if (text.size() > kLongest) return util::TextToNumber(text);
    size_t hash = text.size();
    for (char c : text) hash = hash * 31 + static_cast<unsigned char>(c);
    Slot& slot = slots_[hash % kSlots];
    // An empty view may have no address: nothing is compared or copied then.
    if (slot.size != text.size() ||
        (!text.empty() && std::memcmp(slot.text, text.data(), text.size()) != 0)) {
      slot.value = util::TextToNumber(text);
      if (!text.empty()) std::memcpy(slot.text, text.data(), text.size());
      slot.size = text.size();
    }
    return slot.value;
  }

 private:
  static constexpr size_t kLongest = 23;
  static constexpr size_t kSlots = 16;
  struct Slot {
    size_t size = kLongest + 1;  // matches no text: the slot is empty
    char text[kLongest] = {};
    double value = 0;
  };
  std::array<Slot, kSlots> slots_{};
};

double BoundNumber(std::string_view text) {
  thread_local BoundNumbers numbers;
  return numbers.Get(text);
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

bool InRange(double value, const CriteriaElements& elements, int first, std::string_view no_upper) {
  if (IsNoBoundPair(elements, first, no_upper)) return true;
  const double lower = BoundNumber(elements[first]);
  const double upper = BoundNumber(elements[first + 1]);
  return !(lower > value) && !(upper < value);
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
