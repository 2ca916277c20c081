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
  // The head lies where REVENUS describes it, as in every rubric file
  // (rubric_record.cpp checks the fourteen at compile time).
  static constexpr FileId kHeadFile = FileId::REVENUS;
  static constexpr size_t kClientCodeWidth = layout::kTextWidth<kHeadFile, 1>;
  static constexpr size_t kHouseholdWidth = 8;
  static constexpr size_t kCodclefWidth =
      kClientCodeWidth + layout::kTextWidth<kHeadFile, 2> + layout::kTextWidth<kHeadFile, 3>;

  uint8_t* data;
  size_t codclef_slot_offset;  // where the file keeps its key "CODCLEF"

  // Field 1: the owner's 9-character client code.
  std::string_view ClientCode() const { return layout::Text<kHeadFile, 1>(data); }
  void SetClientCode(std::string_view v) { layout::SetText<kHeadFile, 1>(data, v); }
  // Characters 1 to 8 of the client code (fewer when the code is shorter).
  std::string_view HouseholdCode() const { return ClientCode().substr(0, kHouseholdWidth); }
  // Character 9 of the client code: "1", "2", or "3" for a joint holding;
  // NUL when the code is shorter.
  char OwnerDigit() const { return layout::CharAt(ClientCode(), kHouseholdWidth); }

  // Field 2: the rubric (line) code, as in RUBRIQUE.
  std::string_view RubricCode() const { return layout::Text<kHeadFile, 2>(data); }
  void SetRubricCode(std::string_view v) { layout::SetText<kHeadFile, 2>(data, v); }

  // Field 3: the third part of the key.
  std::string_view KeyPart() const { return layout::Text<kHeadFile, 3>(data); }
  void SetKeyPart(std::string_view v) { layout::SetText<kHeadFile, 3>(data, v); }

  // Field 4: the record's amount.
  float Amount() const { return layout::Real<kHeadFile, 4>(data); }
  void SetAmount(float v) { layout::SetReal<kHeadFile, 4>(data, v); }

  // Key slot "CODCLEF": client code + rubric code + key part, 17 characters.
  std::string_view Codclef() const {
    return TextView(data, codclef_slot_offset, layout::kKeyTextWidth);
  }
  void SetCodclef(std::string_view v) {
    SetText(data, codclef_slot_offset, layout::kKeyTextWidth, v);
  }
};

// A rubric file and the place of its key CODCLEF, its first key.
struct RubricFileLayout {
  FileId file;
  size_t codclef_slot_offset;
};

// The entry of one rubric file, whose first key slot holds CODCLEF.
template <FileId File>
constexpr RubricFileLayout RubricFile() {
  return {File, layout::kKeySlotOffset<File, 0>};
}

inline constexpr std::array<RubricFileLayout, 14> kRubricFiles = {{
    RubricFile<FileId::REVENUS>(),
    RubricFile<FileId::EMPRUNTS>(),
    RubricFile<FileId::IMPOTS>(),
    RubricFile<FileId::IMMOBUSA>(),
    RubricFile<FileId::IMMORAPP>(),
    RubricFile<FileId::FONCIER>(),
    RubricFile<FileId::VALMOBIL>(),
    RubricFile<FileId::LIQUIDIT>(),
    RubricFile<FileId::AUTREVAL>(),
    RubricFile<FileId::PRIMEUNI>(),
    RubricFile<FileId::RETRAITE>(),
    RubricFile<FileId::RETRPERS>(),
    RubricFile<FileId::RETRSOUH>(),
    RubricFile<FileId::PREVSOUH>(),
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
