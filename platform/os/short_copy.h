// Copies of a few bytes at a time, the size known only when the program
// runs: a field of a record, a literal run of a compact record, a key's
// component. Two fixed-size moves that may overlap replace the call to
// memcpy; both stay inside the bytes given at either end, so nothing is
// read or written outside [from, from + n) and [to, to + n). Longer copies go
// to memcpy. The ranges must not overlap. Pure, no state.
#ifndef VZ_PLATFORM_OS_SHORT_COPY_H_
#define VZ_PLATFORM_OS_SHORT_COPY_H_

#include <cstddef>
#include <cstring>

namespace vz::os {

inline void CopyShort(void* to, const void* from, std::size_t n) {
  auto* out = static_cast<unsigned char*>(to);
  const auto* in = static_cast<const unsigned char*>(from);
  if (n > 32) {
    std::memcpy(out, in, n);
  } else if (n >= 16) {
    std::memcpy(out, in, 16);
    std::memcpy(out + n - 16, in + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(out, in, 8);
    std::memcpy(out + n - 8, in + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(out, in, 4);
    std::memcpy(out + n - 4, in + n - 4, 4);
  } else if (n >= 2) {
    std::memcpy(out, in, 2);
    std::memcpy(out + n - 2, in + n - 2, 2);
  } else if (n == 1) {
    *out = *in;
  }
}

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_SHORT_COPY_H_
