// Checks across all the record layouts of this folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "src/db/layouts/layout_probe_test_util.h"

namespace vz::db::testing {
namespace {

std::string DistinctText(size_t index, size_t width) {
  return std::string(width, static_cast<char>('A' + index % 26));
}

// Probes that name the same place twice on purpose (a file's own view and
// the common rubric head; PREVSOUH's amount and the first element of its
// field 4) are checked once.
std::vector<FieldProbe> DistinctPlaces(const std::vector<FieldProbe>& probes) {
  std::vector<FieldProbe> distinct;
  std::set<size_t> offsets;
  for (const FieldProbe& p : probes) {
    if (offsets.insert(p.offset).second) distinct.push_back(p);
  }
  return distinct;
}

// Two accessors that share a byte by mistake would pass one by one; filling
// every named field of a record, then reading them all, catches it.
TEST(LayoutsTest, NamedFieldsOfOneRecordNeverOverlap) {
  for (const FileProbes& file : AllFileProbes()) {
    SCOPED_TRACE(file.name);
    const std::vector<FieldProbe> probes = DistinctPlaces(file.probes);
    std::vector<uint8_t> buffer(file.buffer_size, 0);
    for (size_t i = 0; i < probes.size(); ++i) {
      const FieldProbe& p = probes[i];
      switch (p.kind) {
        case ValueKind::kText:
          p.set_text(buffer.data(), DistinctText(i, p.width));
          break;
        case ValueKind::kReal:
          p.set_real(buffer.data(), 1.5f * static_cast<float>(i + 1));
          break;
        case ValueKind::kInt16:
          p.set_int(buffer.data(), static_cast<int16_t>(100 + i));
          break;
      }
    }
    for (size_t i = 0; i < probes.size(); ++i) {
      const FieldProbe& p = probes[i];
      SCOPED_TRACE(p.name);
      switch (p.kind) {
        case ValueKind::kText:
          EXPECT_EQ(p.get_text(buffer.data()), DistinctText(i, p.width));
          break;
        case ValueKind::kReal:
          EXPECT_EQ(p.get_real(buffer.data()), 1.5f * static_cast<float>(i + 1));
          break;
        case ValueKind::kInt16:
          EXPECT_EQ(p.get_int(buffer.data()), static_cast<int16_t>(100 + i));
          break;
      }
    }
  }
}

// The probe tables themselves follow the buffer rules: key slots 65 bytes
// apart after one spare byte, the long text right after the last slot.
TEST(LayoutsTest, KeySlotsAndLongTextFollowOneAnother) {
  for (const FileProbes& file : AllFileProbes()) {
    SCOPED_TRACE(file.name);
    size_t first_slot = 0;
    size_t slots = 0;
    for (const FieldProbe& p : file.probes) {
      if (p.place != Place::kKeySlot) continue;
      if (p.element == 0) first_slot = p.offset;
      slots = std::max(slots, p.element + 1);
    }
    for (const FieldProbe& p : file.probes) {
      SCOPED_TRACE(p.name);
      if (p.place == Place::kKeySlot) {
        EXPECT_EQ(p.offset, first_slot + 65 * p.element);
      }
      if (p.place == Place::kLongText) {
        EXPECT_EQ(p.offset, first_slot + 65 * slots);
        EXPECT_EQ(p.offset + 256, file.buffer_size);
      }
    }
  }
}

}  // namespace
}  // namespace vz::db::testing
