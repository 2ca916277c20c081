// Short copies of every size up to past the longest inline move: the bytes
// arrive whole and in order, and nothing around either range is read into
// or written over (guard bytes, and the sanitizer build).
#include "platform/os/short_copy.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace vz::os {
namespace {

TEST(ShortCopyTest, EverySizeCopiesExactlyItsBytes) {
  constexpr std::size_t kGuard = 8;
  for (std::size_t n = 0; n <= 70; ++n) {
    SCOPED_TRACE(n);
    // Exactly n bytes allocated on each side: a move past either end is a
    // heap overflow under the sanitizer, a changed guard byte otherwise.
    std::vector<unsigned char> from(n);
    for (std::size_t i = 0; i < n; ++i) from[i] = static_cast<unsigned char>(i * 7 + 1);
    std::vector<unsigned char> to(n + 2 * kGuard, 0xEE);
    CopyShort(to.data() + kGuard, from.data(), n);
    for (std::size_t i = 0; i < kGuard; ++i) {
      ASSERT_EQ(to[i], 0xEE);
      ASSERT_EQ(to[kGuard + n + i], 0xEE);
    }
    for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(to[kGuard + i], from[i]) << "byte " << i;
  }
}

}  // namespace
}  // namespace vz::os
