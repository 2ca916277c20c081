// The common head of the fourteen rubric files (REVENUS, EMPRUNTS, IMPOTS,
// IMMOBUSA, IMMORAPP, FONCIER, VALMOBIL, LIQUIDIT, AUTREVAL, PRIMEUNI,
// RETRAITE, RETRPERS, RETRSOUH, PREVSOUH), which hold the financial data of
// the clients, one record per rubric line.
//
// Every rubric record begins with the client code of its owner (household in
// characters 1 to 8, owner digit "1", "2" or "3" for a joint holding in
// character 9), the 5-character rubric code and a 3-character key part; field
// 4 is the record's amount (in PREVSOUH the first of a run of eight reals).
// Its key "CODCLEF" is the three, 9 + 5 + 3 characters, kept in the first key
// slot; only the place of that slot differs from file to file, and the table
// kRubricFiles gives it. The fields of single files are in rubric_files.h.
//
// RubricRecord is a view on a record buffer; it owns nothing. Texts are cp1252
// views into the buffer; writing cuts a text to its field's width.
// Failure: a damaged length byte reads back clamped; asking for the rubric
// view of a file that is not a rubric file gives no view (std::nullopt).
// REQUIRES: `data` points to a buffer at least as large as the file's buffer.
#ifndef VZ_SRC_DB_LAYOUTS_RUBRIC_RECORD_H_
#define VZ_SRC_DB_LAYOUTS_RUBRIC_RECORD_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "src/db/field_access.h"
#include "src/db/file_id.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

struct RubricRecord {
  uint8_t* data;
  size_t codclef_field_offset;  // where the file describes its key "CODCLEF"

  static constexpr size_t kClientCodeOffset = 0;  // field 1
  static constexpr size_t kClientCodeWidth = 9;
  static constexpr size_t kHouseholdWidth = 8;
  static constexpr size_t kRubricCodeOffset = 10;  // field 2
  static constexpr size_t kRubricCodeWidth = 5;
  static constexpr size_t kKeyPartOffset = 16;  // field 3
  static constexpr size_t kKeyPartWidth = 3;
  static constexpr size_t kAmountOffset = 20;  // field 4
  static constexpr size_t kCodclefWidth = kClientCodeWidth + kRubricCodeWidth + kKeyPartWidth;

  // Field 1: the owner's 9-character client code.
  std::string_view ClientCode() const {
    return TextView(data, kClientCodeOffset, kClientCodeWidth);
  }
  void SetClientCode(std::string_view v) { SetText(data, kClientCodeOffset, kClientCodeWidth, v); }
  // Characters 1 to 8 of the client code (fewer when the code is shorter).
  std::string_view HouseholdCode() const { return ClientCode().substr(0, kHouseholdWidth); }
  // Character 9 of the client code: "1", "2", or "3" for a joint holding;
  // NUL when the code is shorter.
  char OwnerDigit() const { return layout::CharAt(ClientCode(), kHouseholdWidth); }

  // Field 2: the rubric (line) code, as in RUBRIQUE.
  std::string_view RubricCode() const {
    return TextView(data, kRubricCodeOffset, kRubricCodeWidth);
  }
  void SetRubricCode(std::string_view v) { SetText(data, kRubricCodeOffset, kRubricCodeWidth, v); }

  // Field 3: the third part of the key.
  std::string_view KeyPart() const { return TextView(data, kKeyPartOffset, kKeyPartWidth); }
  void SetKeyPart(std::string_view v) { SetText(data, kKeyPartOffset, kKeyPartWidth, v); }

  // Field 4: the record's amount.
  float Amount() const { return GetReal(data, kAmountOffset); }
  void SetAmount(float v) { SetReal(data, kAmountOffset, v); }

  // Key slot "CODCLEF": client code + rubric code + key part, 17 characters.
  size_t CodclefSlotOffset() const { return layout::KeySlotOffset(codclef_field_offset, 0); }
  std::string_view Codclef() const {
    return TextView(data, CodclefSlotOffset(), layout::kKeyTextWidth);
  }
  void SetCodclef(std::string_view v) {
    SetText(data, CodclefSlotOffset(), layout::kKeyTextWidth, v);
  }
};

// Where each rubric file keeps its keys, and what follows them.
struct RubricFileLayout {
  FileId file;
  size_t codclef_field_offset;  // offset of the first composite key field
  size_t key_slot_count;        // REVENUS has a second key after CODCLEF
  size_t trailing_size;         // described fields placed after the key slots
  constexpr size_t BufferSize() const {
    return layout::AfterKeySlots(codclef_field_offset, key_slot_count) + trailing_size;
  }
};

inline constexpr std::array<RubricFileLayout, 14> kRubricFiles = {{
    {FileId::REVENUS, 945, 2, 0},
    {FileId::EMPRUNTS, 3278, 1, 0},
    {FileId::IMPOTS, 868, 1, 0},
    {FileId::IMMOBUSA, 1515, 1, 0},
    {FileId::IMMORAPP, 1599, 1, 0},
    {FileId::FONCIER, 1339, 1, 0},
    // VALMOBIL describes its key as field 55 of 66; fields 56 to 66 (950
    // bytes, none used here) follow the key slot.
    {FileId::VALMOBIL, 1385, 1, 950},
    {FileId::LIQUIDIT, 2264, 1, 0},
    {FileId::AUTREVAL, 1324, 1, 0},
    {FileId::PRIMEUNI, 2447, 1, 0},
    {FileId::RETRAITE, 124, 1, 0},
    {FileId::RETRPERS, 1699, 1, 0},
    {FileId::RETRSOUH, 90, 1, 0},
    {FileId::PREVSOUH, 207, 1, 0},
}};

// The place of `file` in kRubricFiles, or -1 when it is not a rubric file.
constexpr int RubricFileIndex(FileId file) {
  for (size_t i = 0; i < kRubricFiles.size(); ++i) {
    if (kRubricFiles[i].file == file) return static_cast<int>(i);
  }
  return -1;
}

// The layout of `file`, or nullptr when it is not a rubric file.
inline const RubricFileLayout* FindRubricFile(FileId file) {
  const int index = RubricFileIndex(file);
  return index < 0 ? nullptr : &kRubricFiles[static_cast<size_t>(index)];
}

// The common view of a rubric record held in `data`; nullopt when `file` is
// not a rubric file.
std::optional<RubricRecord> RubricRecordIn(FileId file, uint8_t* data);

// The common view on the process-wide record buffer of `file`; nullopt when
// `file` is not a rubric file.
std::optional<RubricRecord> CurrentRubricRecord(FileId file);

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_RUBRIC_RECORD_H_
