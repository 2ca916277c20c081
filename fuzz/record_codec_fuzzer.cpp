// The compact form's reader (platform/engine/record_codec.h) on any bytes:
// the data column of a compact file is outside input (another program, a
// damaged disk). Besides crashes, it checks that a stored form that expands
// gives back the same bytes once compacted and expanded again, and that any
// input taken as a record's bytes comes back byte for byte.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/engine/record_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string record, stored, again;
  if (vz::engine::ExpandRecord(input, &record) == vz::engine::CompactFault::kNone) {
    vz::engine::CompactRecord(record, &stored);
    if (vz::engine::ExpandRecord(stored, &again) != vz::engine::CompactFault::kNone ||
        again != record) {
      std::abort();
    }
  }
  vz::engine::CompactRecord(input, &stored);
  if (vz::engine::ExpandRecord(stored, &again) != vz::engine::CompactFault::kNone ||
      again != input) {
    std::abort();
  }
  return 0;
}
