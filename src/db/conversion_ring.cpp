#include "src/db/conversion_ring.h"

#include <cstring>

namespace vz::db {

const char* ConversionRing::Convert(std::string_view text) {
  std::array<uint8_t, kSlotSize>& slot = slots_[next_];
  next_ = (next_ + 1) % kSlots;
  // The text with its NUL, as a length-prefixed text of at most 255 characters.
  size_t characters = text.size() < kSlotSize - 1 ? text.size() : kSlotSize - 1;
  if (characters > 0) std::memcpy(slot.data() + 1, text.data(), characters);
  if (characters + 1 <= kSlotSize - 1) {
    slot[1 + characters] = 0;
    slot[0] = static_cast<uint8_t>(characters + 1);
  } else {
    // The NUL did not fit: the slot's last character becomes the NUL.
    slot[kSlotSize - 1] = 0;
    slot[0] = static_cast<uint8_t>(kSlotSize - 1);
  }
  return reinterpret_cast<const char*>(slot.data() + 1);
}

ConversionRing& EngineTexts() {
  static ConversionRing ring;
  return ring;
}

}  // namespace vz::db
