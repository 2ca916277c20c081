// The generic field accessors behind the record views of this folder: a view
// names a field of its file by number (as the catalogue lists it), and the
// field's offset, size and type come from the catalogue at compile time
// (field_places.h). A field that does not exist, or whose type or size does
// not fit the accessor, does not compile. Each accessor is inline over
// constant offsets: it reads and writes exactly as a hand-written offset
// would.
//
// The places kept only by the program follow the catalogue's rules too: a
// keyed file's key slots (a length byte and up to 64 characters each) and its
// long texts (a length byte and up to 255 characters), which the engine
// stores as five texts of 51 characters in a 260-byte field.
//
// The views hold the buffer's address and own nothing.
// Failure: an element index past the end of its run reads as empty or 0 and
// is ignored on writing, so that a bad index never touches a neighbour field.
// REQUIRES: every buffer passed here is at least kBufferSize<File> bytes.
#ifndef VZ_SRC_DB_LAYOUTS_LAYOUT_FIELDS_H_
#define VZ_SRC_DB_LAYOUTS_LAYOUT_FIELDS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/field_places.h"
#include "src/db/file_id.h"

namespace vz::db::layout {

inline constexpr size_t kKeyTextWidth = kKeySlotCharacters;
inline constexpr size_t kLongTextWidth = kLongTextCharacters;
// The engine stores a long text as five consecutive texts of 51 characters.
inline constexpr size_t kLongTextPieceCount = kLongTextPieces;
inline constexpr size_t kLongTextPieceWidth = kLongTextPieceCharacters;

// The character at `index` of a text, or NUL when the text is shorter.
constexpr char CharAt(std::string_view text, size_t index) {
  return index < text.size() ? text[index] : '\0';
}

namespace internal {

// Field `Field` of `File`, which must exist with type digit `Type` and a
// size that is a whole number of `element`-byte elements (any size when
// `element` is 0).
template <FileId File, int Field, char Type, size_t Element>
constexpr places::FieldPlace CheckedPlace() {
  constexpr places::FieldPlace place = places::Field(File, Field);
  static_assert(place.size > 0, "the catalogue has no such field");
  static_assert(place.type == Type, "the catalogue gives the field another type");
  static_assert(Element == 0 || place.size % Element == 0,
                "the field is not a whole number of elements");
  return place;
}

// Where field `Field` of `File` holds exactly one number of type T (a real
// or a 16-bit integer).
template <FileId File, int Field, class T>
constexpr size_t NumberOffset() {
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, int16_t>);
  constexpr char kType = std::is_same_v<T, float> ? '4' : '2';
  constexpr places::FieldPlace place = CheckedPlace<File, Field, kType, sizeof(T)>();
  static_assert(place.size == sizeof(T), "the field holds more than one number");
  return place.offset;
}

template <FileId File, size_t Slot>
constexpr size_t CheckedKeySlot() {
  static_assert(Slot < places::KeySlotCount(File), "the file has no such key slot");
  return places::KeySlot(File, Slot);
}

template <FileId File, size_t Index>
constexpr size_t CheckedLongText() {
  static_assert(Index < places::LongTextCount(File), "the file has no such long text");
  return places::LongText(File, Index);
}

}  // namespace internal

template <FileId File>
inline constexpr size_t kBufferSize = places::BufferSize(File);

// Where a field with type digit `Type` begins.
template <FileId File, int Field, char Type>
inline constexpr size_t kFieldOffset = internal::CheckedPlace<File, Field, Type, 0>().offset;

// Characters of a text field that holds one text.
template <FileId File, int Field>
inline constexpr size_t kTextWidth = internal::CheckedPlace<File, Field, '1', 0>().size - 1;

// One text filling the whole field.
template <FileId File, int Field>
inline std::string_view Text(const uint8_t* record) {
  constexpr places::FieldPlace place = internal::CheckedPlace<File, Field, '1', 0>();
  return db::TextView(record, place.offset, place.size - 1);
}
template <FileId File, int Field>
inline void SetText(uint8_t* record, std::string_view value) {
  constexpr places::FieldPlace place = internal::CheckedPlace<File, Field, '1', 0>();
  db::SetText(record, place.offset, place.size - 1, value);
}

// One real; one 16-bit integer.
template <FileId File, int Field>
inline float Real(const uint8_t* record) {
  constexpr size_t offset = internal::NumberOffset<File, Field, float>();
  return db::GetReal(record, offset);
}
template <FileId File, int Field>
inline void SetReal(uint8_t* record, float value) {
  constexpr size_t offset = internal::NumberOffset<File, Field, float>();
  db::SetReal(record, offset, value);
}
template <FileId File, int Field>
inline int16_t Int16(const uint8_t* record) {
  constexpr size_t offset = internal::NumberOffset<File, Field, int16_t>();
  return db::GetInt16(record, offset);
}
template <FileId File, int Field>
inline void SetInt16(uint8_t* record, int16_t value) {
  constexpr size_t offset = internal::NumberOffset<File, Field, int16_t>();
  db::SetInt16(record, offset, value);
}

// Element `index` of a field that holds a run of `Count` texts of the same
// width.
template <FileId File, int Field, size_t Count>
inline std::string_view TextAt(const uint8_t* record, size_t index) {
  constexpr places::FieldPlace place = internal::CheckedPlace<File, Field, '1', Count>();
  constexpr size_t element = place.size / Count;
  if (index >= Count) return {};
  return db::TextView(record, place.offset + index * element, element - 1);
}
template <FileId File, int Field, size_t Count>
inline void SetTextAt(uint8_t* record, size_t index, std::string_view value) {
  constexpr places::FieldPlace place = internal::CheckedPlace<File, Field, '1', Count>();
  constexpr size_t element = place.size / Count;
  if (index >= Count) return;
  db::SetText(record, place.offset + index * element, element - 1, value);
}

// Element `index` of a field that holds a run of reals.
template <FileId File, int Field>
inline constexpr size_t kRealCount = internal::CheckedPlace<File, Field, '4', 4>().size / 4;
template <FileId File, int Field>
inline float RealAt(const uint8_t* record, size_t index) {
  constexpr places::FieldPlace place = internal::CheckedPlace<File, Field, '4', 4>();
  if (index >= kRealCount<File, Field>) return 0.0f;
  return db::GetReal(record, place.offset + index * 4);
}
template <FileId File, int Field>
inline void SetRealAt(uint8_t* record, size_t index, float value) {
  constexpr places::FieldPlace place = internal::CheckedPlace<File, Field, '4', 4>();
  if (index >= kRealCount<File, Field>) return;
  db::SetReal(record, place.offset + index * 4, value);
}

// The program's slot of key `Slot` (0 for the file's first key).
template <FileId File, size_t Slot>
inline constexpr size_t kKeySlotOffset = internal::CheckedKeySlot<File, Slot>();
template <FileId File, size_t Slot>
inline std::string_view KeySlot(const uint8_t* record) {
  return db::TextView(record, kKeySlotOffset<File, Slot>, kKeyTextWidth);
}
template <FileId File, size_t Slot>
inline void SetKeySlot(uint8_t* record, std::string_view value) {
  db::SetText(record, kKeySlotOffset<File, Slot>, kKeyTextWidth, value);
}

// The program's long text `Index` (0 for the file's first).
template <FileId File, size_t Index>
inline constexpr size_t kLongTextOffset = internal::CheckedLongText<File, Index>();
template <FileId File, size_t Index = 0>
inline std::string_view LongText(const uint8_t* record) {
  return db::TextView(record, kLongTextOffset<File, Index>, kLongTextWidth);
}
template <FileId File, size_t Index = 0>
inline void SetLongText(uint8_t* record, std::string_view value) {
  db::SetText(record, kLongTextOffset<File, Index>, kLongTextWidth, value);
}

}  // namespace vz::db::layout

#endif  // VZ_SRC_DB_LAYOUTS_LAYOUT_FIELDS_H_
