// Field access by field number (from 1, as in the file descriptions of the
// catalogue), for the tests that check records field by field without the
// named layouts: offsets and widths, text fields, key slots and long texts.
// Each function takes a record (the file's own layout) or, without one, the
// file's process-wide record buffer. Values are cp1252 bytes; texts longer
// than the field are cut as the field access cuts them.
// REQUIRES: `field` is a field of `file`; `key` and `which` exist in it.
#ifndef VZ_TESTS_SUPPORT_NUMBERED_FIELDS_H_
#define VZ_TESTS_SUPPORT_NUMBERED_FIELDS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "src/db/file_id.h"

namespace vz::testing {

size_t FieldOffset(db::FileId file, int field);
// In characters, without the length byte.
size_t FieldWidth(db::FileId file, int field);

void SetField(uint8_t* record, db::FileId file, int field, std::string_view value);
std::string GetField(const uint8_t* record, db::FileId file, int field);
std::string KeySlot(const uint8_t* record, db::FileId file, size_t key = 0);
std::string LongText(const uint8_t* record, db::FileId file, size_t which = 0);
void SetLongText(uint8_t* record, db::FileId file, std::string_view value, size_t which = 0);

// The same on the file's process-wide record buffer.
void SetField(db::FileId file, int field, std::string_view value);
std::string GetField(db::FileId file, int field);
std::string KeySlot(db::FileId file, size_t key = 0);
std::string LongText(db::FileId file, size_t which = 0);
void SetLongText(db::FileId file, std::string_view value, size_t which = 0);

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_NUMBERED_FIELDS_H_
