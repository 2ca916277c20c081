#include "src/db/layouts/layout_probe_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace vz::db::testing {
namespace {

constexpr uint8_t kFill = 0xA5;
// Bytes past the end of the buffer, so that a write beyond it is seen.
constexpr size_t kGuard = 64;

std::vector<uint8_t> FilledBuffer(size_t size) {
  return std::vector<uint8_t>(size + kGuard, kFill);
}

// Reports the first byte outside [begin, end) that no longer holds the fill.
void ExpectUntouchedOutside(const std::vector<uint8_t>& buffer, size_t begin, size_t end) {
  for (size_t i = 0; i < buffer.size(); ++i) {
    if (i >= begin && i < end) continue;
    if (buffer[i] != kFill) {
      ADD_FAILURE() << "byte " << i << " changed, outside the field [" << begin << ", " << end
                    << ")";
      return;
    }
  }
}

// A text longer than any field, mixing cp1252 letters above 127 with ASCII.
std::string OverlongText(size_t width) {
  std::string text;
  for (size_t i = 0; i < width + 3; ++i) {
    text.push_back(i % 3 == 0 ? static_cast<char>(0xE9) : static_cast<char>('a' + i % 26));
  }
  return text;
}

void CheckText(const FieldProbe& p, ProbePlace at, size_t buffer_size) {
  const size_t end = at.offset + at.bytes;
  const size_t width = at.bytes - 1;
  EXPECT_LE(end, buffer_size) << "field runs past the buffer";

  // A value longer than the field is cut to the width and stays inside it.
  std::vector<uint8_t> buffer = FilledBuffer(buffer_size);
  const std::string overlong = OverlongText(width);
  p.set_text(buffer.data(), overlong);
  EXPECT_EQ(buffer[at.offset], width) << "length byte";
  EXPECT_EQ(0, std::memcmp(buffer.data() + at.offset + 1, overlong.data(), width));
  ExpectUntouchedOutside(buffer, at.offset, end);
  EXPECT_EQ(p.get_text(buffer.data()), std::string_view(overlong).substr(0, width));

  // A shorter value leaves zeros after it, inside the field only.
  if (width >= 2) {
    buffer = FilledBuffer(buffer_size);
    p.set_text(buffer.data(), "Z");
    EXPECT_EQ(buffer[at.offset], 1);
    EXPECT_EQ(buffer[at.offset + 1], 'Z');
    EXPECT_TRUE(std::all_of(buffer.begin() + at.offset + 2, buffer.begin() + end,
                            [](uint8_t b) { return b == 0; }));
    ExpectUntouchedOutside(buffer, at.offset, end);
    EXPECT_EQ(p.get_text(buffer.data()), "Z");
  }

  // Hostile: a damaged length byte reads back clamped to the field, from the
  // field's own characters.
  buffer = FilledBuffer(buffer_size);
  buffer[at.offset] = 0xFF;
  const std::string_view damaged = p.get_text(buffer.data());
  EXPECT_EQ(damaged.size(), width);
  EXPECT_EQ(static_cast<const void*>(damaged.data()),
            static_cast<const void*>(buffer.data() + at.offset + 1));

  // An empty value empties the field.
  buffer = FilledBuffer(buffer_size);
  p.set_text(buffer.data(), "");
  EXPECT_EQ(buffer[at.offset], 0);
  EXPECT_TRUE(p.get_text(buffer.data()).empty());
  ExpectUntouchedOutside(buffer, at.offset, end);
}

// A number is written where the catalogue places it, in the engine's byte
// order, and read back from there; nothing else changes.
template <class T, class Get, class Set>
void CheckNumber(ProbePlace at, size_t buffer_size, const Get& get, const Set& set, T first,
                 T second) {
  EXPECT_EQ(at.bytes, sizeof(T));
  const size_t end = at.offset + sizeof(T);
  EXPECT_LE(end, buffer_size) << "field runs past the buffer";

  std::vector<uint8_t> buffer = FilledBuffer(buffer_size);
  set(buffer.data(), first);
  T stored;
  std::memcpy(&stored, buffer.data() + at.offset, sizeof stored);
  EXPECT_EQ(stored, first);
  ExpectUntouchedOutside(buffer, at.offset, end);
  EXPECT_EQ(get(buffer.data()), first);

  buffer = FilledBuffer(buffer_size);
  std::memcpy(buffer.data() + at.offset, &second, sizeof second);
  EXPECT_EQ(get(buffer.data()), second);
}

}  // namespace

ProbePlace Locate(const FieldProbe& p, const FileDescription& file) {
  switch (p.place) {
    case Place::kKeySlot:
      if (p.element >= file.keys.size()) break;
      return {file.keys[p.element].slot_offset, kKeySlotSize};
    case Place::kLongText:
      if (file.long_texts.size() != 1) break;
      return {file.long_texts[0].text_offset, kLongTextSize};
    case Place::kField: {
      if (p.field < 1 || p.field > file.field_count()) break;
      const size_t index = static_cast<size_t>(p.field - 1);
      const size_t size = static_cast<size_t>(file.field_sizes[index]);
      const size_t element = p.kind == ValueKind::kReal    ? sizeof(float)
                             : p.kind == ValueKind::kInt16 ? sizeof(int16_t)
                                                           : size / p.run_length;
      return {file.field_offsets[index] + p.element * element, element};
    }
  }
  ADD_FAILURE() << p.name << ": no such place in " << file.name;
  return {};
}

void CheckProbe(const FieldProbe& probe, const FileDescription& file) {
  SCOPED_TRACE(probe.name);
  const ProbePlace at = Locate(probe, file);
  if (at.bytes == 0) return;
  switch (probe.kind) {
    case ValueKind::kText:
      CheckText(probe, at, file.buffer_size);
      break;
    case ValueKind::kReal:
      CheckNumber(at, file.buffer_size, probe.get_real, probe.set_real, 1234.5f, -0.125f);
      break;
    case ValueKind::kInt16:
      CheckNumber<int16_t>(at, file.buffer_size, probe.get_int, probe.set_int, 0x1234, -2);
      break;
  }
}

std::vector<FileProbes> AllFileProbes() {
  std::vector<FileProbes> all;
  for (auto part : {ClientFileProbes, CodeLabelFileProbes, QueryFileProbes, RubricFileProbes}) {
    for (FileProbes& file : part()) all.push_back(std::move(file));
  }
  return all;
}

}  // namespace vz::db::testing
