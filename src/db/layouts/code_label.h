// Named fields of the three small coded-label files that share their head:
// PROFES (professions, key CODPROF), ANNEXE (matrimonial regimes and other
// annex entries, key CODRUBR) and RUBRIQUE (the rubric catalogue, key
// CODRUBR). Each record is a 2-character prefix, a 3-character number and a
// 30-character label; the 5-character key is prefix + number. Only the place
// of the key differs: PROFES describes more fields before its key.
//
// The views own nothing. Texts are cp1252 views into the buffer; writing cuts
// a text to its field's width.
// Failure: a damaged length byte reads back clamped to the field's width.
// REQUIRES: `data` points to a buffer of at least kBufferSize bytes.
#ifndef VZ_SRC_DB_LAYOUTS_CODE_LABEL_H_
#define VZ_SRC_DB_LAYOUTS_CODE_LABEL_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/db/field_access.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

template <size_t KeyFieldOffset>
struct CodeLabelRecord {
  uint8_t* data;

  static constexpr size_t kPrefixOffset = 0;  // field 1
  static constexpr size_t kPrefixWidth = 2;
  static constexpr size_t kNumberOffset = 3;  // field 2
  static constexpr size_t kNumberWidth = 3;
  static constexpr size_t kLabelOffset = 7;  // field 3
  static constexpr size_t kLabelWidth = 30;
  static constexpr size_t kKeyFieldOffset = KeyFieldOffset;
  static constexpr size_t kKeySlotOffset = layout::KeySlotOffset(KeyFieldOffset, 0);
  static constexpr size_t kBufferSize = layout::AfterKeySlots(KeyFieldOffset, 1);

  // Field 1: code prefix.
  std::string_view Prefix() const { return TextView(data, kPrefixOffset, kPrefixWidth); }
  void SetPrefix(std::string_view v) { SetText(data, kPrefixOffset, kPrefixWidth, v); }

  // Field 2: number within the prefix.
  std::string_view Number() const { return TextView(data, kNumberOffset, kNumberWidth); }
  void SetNumber(std::string_view v) { SetText(data, kNumberOffset, kNumberWidth, v); }

  // Field 3: the label shown to the adviser and written into letters.
  std::string_view Label() const { return TextView(data, kLabelOffset, kLabelWidth); }
  void SetLabel(std::string_view v) { SetText(data, kLabelOffset, kLabelWidth, v); }

  // Key slot (CODPROF or CODRUBR): prefix + number, 5 characters.
  std::string_view Key() const { return TextView(data, kKeySlotOffset, layout::kKeyTextWidth); }
  void SetKey(std::string_view v) { SetText(data, kKeySlotOffset, layout::kKeyTextWidth, v); }
};

// PROFES: key "CODPROF" described as field 13 at offset 235.
using ProfessionRecord = CodeLabelRecord<235>;
// ANNEXE and RUBRIQUE: key "CODRUBR" described as field 7 at offset 50.
using AnnexRecord = CodeLabelRecord<50>;
using RubricCatalogueRecord = CodeLabelRecord<50>;

// Views on the process-wide record buffers of PROFES, ANNEXE and RUBRIQUE.
ProfessionRecord CurrentProfession();
AnnexRecord CurrentAnnex();
RubricCatalogueRecord CurrentRubricCatalogue();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_CODE_LABEL_H_
