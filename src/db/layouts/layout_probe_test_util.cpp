#include "src/db/layouts/layout_probe_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "src/db/field_access.h"

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

void CheckText(const FieldProbe& p, size_t buffer_size) {
  const size_t end = p.offset + 1 + p.width;
  EXPECT_LE(end, buffer_size) << "field runs past the buffer";

  // A value longer than the field is cut to the width and stays inside it.
  std::vector<uint8_t> buffer = FilledBuffer(buffer_size);
  const std::string overlong = OverlongText(p.width);
  p.set_text(buffer.data(), overlong);
  EXPECT_EQ(buffer[p.offset], p.width) << "length byte";
  EXPECT_EQ(0, std::memcmp(buffer.data() + p.offset + 1, overlong.data(), p.width));
  ExpectUntouchedOutside(buffer, p.offset, end);
  EXPECT_EQ(p.get_text(buffer.data()), std::string_view(overlong).substr(0, p.width));

  // A shorter value leaves zeros after it, inside the field only.
  if (p.width >= 2) {
    buffer = FilledBuffer(buffer_size);
    p.set_text(buffer.data(), "Z");
    EXPECT_EQ(buffer[p.offset], 1);
    EXPECT_EQ(buffer[p.offset + 1], 'Z');
    EXPECT_TRUE(std::all_of(buffer.begin() + p.offset + 2, buffer.begin() + end,
                            [](uint8_t b) { return b == 0; }));
    ExpectUntouchedOutside(buffer, p.offset, end);
    EXPECT_EQ(p.get_text(buffer.data()), "Z");
  }

  // Hostile: a damaged length byte reads back clamped to the field, from the
  // field's own characters.
  buffer = FilledBuffer(buffer_size);
  buffer[p.offset] = 0xFF;
  const std::string_view damaged = p.get_text(buffer.data());
  EXPECT_EQ(damaged.size(), p.width);
  EXPECT_EQ(static_cast<const void*>(damaged.data()),
            static_cast<const void*>(buffer.data() + p.offset + 1));

  // An empty value empties the field.
  buffer = FilledBuffer(buffer_size);
  p.set_text(buffer.data(), "");
  EXPECT_EQ(buffer[p.offset], 0);
  EXPECT_TRUE(p.get_text(buffer.data()).empty());
  ExpectUntouchedOutside(buffer, p.offset, end);
}

void CheckReal(const FieldProbe& p, size_t buffer_size) {
  const size_t end = p.offset + sizeof(float);
  EXPECT_LE(end, buffer_size) << "field runs past the buffer";

  std::vector<uint8_t> buffer = FilledBuffer(buffer_size);
  p.set_real(buffer.data(), 1234.5f);
  EXPECT_EQ(GetReal(buffer.data(), p.offset), 1234.5f);
  ExpectUntouchedOutside(buffer, p.offset, end);
  EXPECT_EQ(p.get_real(buffer.data()), 1234.5f);

  buffer = FilledBuffer(buffer_size);
  SetReal(buffer.data(), p.offset, -0.125f);
  EXPECT_EQ(p.get_real(buffer.data()), -0.125f);
}

void CheckInt16(const FieldProbe& p, size_t buffer_size) {
  const size_t end = p.offset + sizeof(int16_t);
  EXPECT_LE(end, buffer_size) << "field runs past the buffer";

  std::vector<uint8_t> buffer = FilledBuffer(buffer_size);
  p.set_int(buffer.data(), 0x1234);
  EXPECT_EQ(GetInt16(buffer.data(), p.offset), 0x1234);
  ExpectUntouchedOutside(buffer, p.offset, end);
  EXPECT_EQ(p.get_int(buffer.data()), 0x1234);

  buffer = FilledBuffer(buffer_size);
  SetInt16(buffer.data(), p.offset, -2);
  EXPECT_EQ(p.get_int(buffer.data()), -2);
}

}  // namespace

void CheckProbe(const FieldProbe& probe, size_t buffer_size) {
  SCOPED_TRACE(probe.name);
  switch (probe.kind) {
    case ValueKind::kText:
      CheckText(probe, buffer_size);
      break;
    case ValueKind::kReal:
      CheckReal(probe, buffer_size);
      break;
    case ValueKind::kInt16:
      CheckInt16(probe, buffer_size);
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
