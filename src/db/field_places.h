// Where each field of each file lies in the program's record buffer, computed
// at compile time from the catalogue's rows (catalogue_rows.h) by the buffer
// rules of catalogue.h: a field lies at the sum of the sizes of the fields
// before it; a keyed file keeps one spare byte at its first composite key
// field, then one 65-byte slot per key, then its 256-byte long texts.
//
// These are the places that the catalogue built at run time gives through
// Describe() (a test compares the two for every file); the record views of
// src/db/layouts take their offsets from here, so that the catalogue's rows
// are the one place where a record layout is written.
//
// Everything here is constexpr and owns nothing.
// Failure: a field number outside the file, or a size list that does not
// read, gives an empty place (size 0); key slots and long texts of a file
// that has none lie at meaningless offsets. Callers that need a place check
// it at compile time (layouts/layout_fields.h does).
#ifndef VZ_SRC_DB_FIELD_PLACES_H_
#define VZ_SRC_DB_FIELD_PLACES_H_

#include <cstddef>
#include <string_view>

#include "src/db/catalogue.h"
#include "src/db/catalogue_rows.h"
#include "src/db/catalogue_table.h"
#include "src/db/file_id.h"

namespace vz::db::places {

struct FieldPlace {
  size_t offset = 0;
  size_t size = 0;   // in bytes; 0 when there is no such field
  char type = '\0';  // the type digit: '1' text, '2' 16-bit integers, '4' reals or a key
};

constexpr const internal::CatalogueRow& RowOf(FileId file) {
  return internal::kCatalogueRows[static_cast<size_t>(file)];
}

// Field `field` (1-based) of `file`.
constexpr FieldPlace Field(FileId file, int field) {
  const internal::CatalogueRow& row = RowOf(file);
  const std::string_view types = row.types;
  if (field < 1 || static_cast<size_t>(field) > types.size()) return {};
  internal::SizeListReader sizes(row.sizes);
  size_t offset = 0;
  int size = 0;
  for (int f = 1; f <= field; ++f) {
    if (!sizes.Next(size)) return {};
    if (f < field) offset += static_cast<size_t>(size);
  }
  return {offset, static_cast<size_t>(size), types[static_cast<size_t>(field - 1)]};
}

// The sum of the sizes of all the fields of `file`.
constexpr size_t DescribedSize(FileId file) {
  internal::SizeListReader sizes(RowOf(file).sizes);
  size_t sum = 0;
  int size = 0;
  while (sizes.Next(size)) sum += static_cast<size_t>(size);
  return sizes.failed() ? 0 : sum;
}

// How many keys of `file` have a slot in the buffer (engine-only keys have
// none): one "NAME=" per key.
constexpr size_t KeySlotCount(FileId file) {
  size_t count = 0;
  for (char c : std::string_view(RowOf(file).keys)) count += c == '=';
  return count;
}

// The offset of key slot `slot` (0 for the first key); with `slot` equal to
// the number of keys, the first byte after the slots.
constexpr size_t KeySlot(FileId file, size_t slot) {
  return Field(file, RowOf(file).first_key_field).offset + 1 + slot * kKeySlotSize;
}

// How many long texts `file` keeps after its key slots.
constexpr size_t LongTextCount(FileId file) {
  size_t count = 0;
  bool in_number = false;
  for (char c : std::string_view(RowOf(file).long_texts)) {
    if (c != ' ' && !in_number) ++count;
    in_number = c != ' ';
  }
  return count;
}

// The offset of long text `index` (0 for the first).
constexpr size_t LongText(FileId file, size_t index) {
  return KeySlot(file, KeySlotCount(file)) + index * kLongTextSize;
}

// The size of the program's buffer: the table's buffer size, but never less
// than the described fields.
constexpr size_t BufferSize(FileId file) {
  const size_t described = DescribedSize(file);
  const size_t table =
      RowOf(file).buffer_size > 0 ? static_cast<size_t>(RowOf(file).buffer_size) : 0;
  return table > described ? table : described;
}

}  // namespace vz::db::places

#endif  // VZ_SRC_DB_FIELD_PLACES_H_
