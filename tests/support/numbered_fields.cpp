#include "tests/support/numbered_fields.h"

#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/record_buffers.h"

namespace vz::testing {

size_t FieldOffset(db::FileId file, int field) {
  return db::Describe(file).field_offsets[static_cast<size_t>(field - 1)];
}

size_t FieldWidth(db::FileId file, int field) {
  return static_cast<size_t>(db::Describe(file).field_sizes[static_cast<size_t>(field - 1)] - 1);
}

void SetField(uint8_t* record, db::FileId file, int field, std::string_view value) {
  db::SetText(record, FieldOffset(file, field), FieldWidth(file, field), value);
}

std::string GetField(const uint8_t* record, db::FileId file, int field) {
  return db::GetText(record, FieldOffset(file, field), FieldWidth(file, field));
}

std::string KeySlot(const uint8_t* record, db::FileId file, size_t key) {
  return db::GetText(record, db::Describe(file).keys[key].slot_offset, db::kKeySlotCharacters);
}

std::string LongText(const uint8_t* record, db::FileId file, size_t which) {
  return db::GetText(record, db::Describe(file).long_texts[which].text_offset,
                     db::kLongTextCharacters);
}

void SetLongText(uint8_t* record, db::FileId file, std::string_view value, size_t which) {
  db::SetText(record, db::Describe(file).long_texts[which].text_offset, db::kLongTextCharacters,
              value);
}

void SetField(db::FileId file, int field, std::string_view value) {
  SetField(db::RecordBuffer(file), file, field, value);
}

std::string GetField(db::FileId file, int field) {
  return GetField(db::RecordBuffer(file), file, field);
}

std::string KeySlot(db::FileId file, size_t key) {
  return KeySlot(db::RecordBuffer(file), file, key);
}

std::string LongText(db::FileId file, size_t which) {
  return LongText(db::RecordBuffer(file), file, which);
}

void SetLongText(db::FileId file, std::string_view value, size_t which) {
  SetLongText(db::RecordBuffer(file), file, value, which);
}

}  // namespace vz::testing
