// The demo generator's random numbers: SplitMix64 and our own drawing of
// integers in a range (Lemire's multiply and shift, rejection free), so that
// one seed gives the same installation on every machine and compiler; the
// standard library's distributions are not portable across implementations.
// Plain value type; nothing fails.
#ifndef VZ_TOOLS_DATATOOL_RANDOM_H_
#define VZ_TOOLS_DATATOOL_RANDOM_H_

#include <cstddef>
#include <cstdint>
#include <span>

namespace vz::datatool {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A whole number from `low` to `high`, both included. REQUIRES: low <= high.
  int64_t Between(int64_t low, int64_t high) {
    const uint64_t span = static_cast<uint64_t>(high - low) + 1;
    if (span == 0) return static_cast<int64_t>(Next());
    const unsigned __int128 product = static_cast<unsigned __int128>(Next() >> 32) * span;
    return low + static_cast<int64_t>(static_cast<uint64_t>(product >> 32));
  }

  // True `percent` times in a hundred.
  bool Chance(int percent) { return Between(0, 99) < percent; }

  // An amount of whole euros from `low` to `high`.
  float Euros(int64_t low, int64_t high) { return static_cast<float>(Between(low, high)); }

  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[static_cast<size_t>(Between(0, static_cast<int64_t>(items.size()) - 1))];
  }

 private:
  uint64_t state_;
};

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_RANDOM_H_
