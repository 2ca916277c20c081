// Building blocks shared by the record layouts: where the program keeps the
// composite keys and the long text of a keyed file, and safe access to the
// elements of a run of values described as one field.
//
// A keyed file's buffer holds its described fields packed up to the first
// composite key field; at that offset comes one spare byte, then one slot of
// 65 bytes per composite key (a length-prefixed text of at most 64
// characters), then, for the files that have one, the long text (a length
// byte and at most 255 characters). The views of this folder are light: they
// hold the buffer's address and own nothing.
//
// Failure: an element index past the end of its run reads as empty or 0 and
// is ignored on writing, so that a bad index never touches a neighbour field.
// REQUIRES: every buffer passed here is at least as large as its layout says.
#ifndef VZ_SRC_DB_LAYOUTS_LAYOUT_FIELDS_H_
#define VZ_SRC_DB_LAYOUTS_LAYOUT_FIELDS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/db/field_access.h"

namespace vz::db::layout {

// One key slot: a length byte and up to 64 characters.
inline constexpr size_t kKeySlotBytes = 65;
inline constexpr size_t kKeyTextWidth = 64;
// The long text kept after the key slots: a length byte and up to 255 characters.
inline constexpr size_t kLongTextWidth = 255;
inline constexpr size_t kLongTextBytes = kLongTextWidth + 1;
// The engine stores a long text as five consecutive texts of 51 characters.
inline constexpr size_t kLongTextPieceCount = 5;
inline constexpr size_t kLongTextPieceWidth = 51;

// Offset of key slot `slot` (0 for the first key) of a file whose first
// composite key field is described at `key_field_offset`.
constexpr size_t KeySlotOffset(size_t key_field_offset, size_t slot) {
  return key_field_offset + 1 + slot * kKeySlotBytes;
}

// Offset of the first byte after `slot_count` key slots: where the long text
// lies for the files that have one.
constexpr size_t AfterKeySlots(size_t key_field_offset, size_t slot_count) {
  return KeySlotOffset(key_field_offset, slot_count);
}

// The character at `index` of a text, or NUL when the text is shorter.
constexpr char CharAt(std::string_view text, size_t index) {
  return index < text.size() ? text[index] : '\0';
}

// Element `index` of a run of `count` texts of `width` characters each
// (width + 1 bytes per element) starting at `offset`.
inline std::string_view RunTextView(const uint8_t* record, size_t offset, size_t width,
                                    size_t count, size_t index) {
  if (index >= count) return {};
  return TextView(record, offset + index * (width + 1), width);
}

inline void SetRunText(uint8_t* record, size_t offset, size_t width, size_t count, size_t index,
                       std::string_view value) {
  if (index >= count) return;
  SetText(record, offset + index * (width + 1), width, value);
}

// Element `index` of a run of `count` 4-byte reals starting at `offset`.
inline float RunReal(const uint8_t* record, size_t offset, size_t count, size_t index) {
  if (index >= count) return 0.0f;
  return GetReal(record, offset + index * sizeof(float));
}

inline void SetRunReal(uint8_t* record, size_t offset, size_t count, size_t index, float value) {
  if (index >= count) return;
  SetReal(record, offset + index * sizeof(float), value);
}

}  // namespace vz::db::layout

#endif  // VZ_SRC_DB_LAYOUTS_LAYOUT_FIELDS_H_
