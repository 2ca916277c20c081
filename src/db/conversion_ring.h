// The conversion ring: turns the program's texts into the NUL-terminated
// strings the engine takes, without allocating.
//
// Eleven slots of 256 bytes, used in turn. A slot holds the text as a
// length-prefixed text of at most 255 characters including the added NUL, so a
// text of 255 characters or more reaches the engine as its first 254. A
// converted text stays valid until 11 more conversions have been made; an
// engine call with several text arguments converts the last one first. The
// ring is process-wide and single-threaded, like the record buffers.
#ifndef VZ_SRC_DB_CONVERSION_RING_H_
#define VZ_SRC_DB_CONVERSION_RING_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vz::db {

class ConversionRing {
 public:
  static constexpr size_t kSlots = 11;
  static constexpr size_t kSlotSize = 256;

  // Copies text (cut to 255 characters) into the next slot, NUL-terminated,
  // and returns the address of its first character. A NUL inside the text
  // ends what the engine sees there.
  const char* Convert(std::string_view text);

  size_t next_slot() const { return next_; }

 private:
  std::array<std::array<uint8_t, kSlotSize>, kSlots> slots_{};
  size_t next_ = 0;
};

// The process-wide ring used by every engine call of the record sessions.
ConversionRing& EngineTexts();

// Shorthand for EngineTexts().Convert(text).
inline const char* ToEngine(std::string_view text) {
  return EngineTexts().Convert(text);
}

}  // namespace vz::db

#endif  // VZ_SRC_DB_CONVERSION_RING_H_
