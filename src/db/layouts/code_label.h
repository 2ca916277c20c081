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

#include "src/db/file_id.h"
#include "src/db/layouts/layout_fields.h"

namespace vz::db {

template <FileId File>
struct CodeLabelRecord {
  static constexpr FileId kFile = File;
  static constexpr size_t kBufferSize = layout::kBufferSize<kFile>;

  uint8_t* data;

  // Field 1: code prefix.
  std::string_view Prefix() const { return layout::Text<kFile, 1>(data); }
  void SetPrefix(std::string_view v) { layout::SetText<kFile, 1>(data, v); }

  // Field 2: number within the prefix.
  std::string_view Number() const { return layout::Text<kFile, 2>(data); }
  void SetNumber(std::string_view v) { layout::SetText<kFile, 2>(data, v); }

  // Field 3: the label shown to the adviser and written into letters.
  std::string_view Label() const { return layout::Text<kFile, 3>(data); }
  void SetLabel(std::string_view v) { layout::SetText<kFile, 3>(data, v); }

  // Key slot (CODPROF or CODRUBR): prefix + number, 5 characters.
  std::string_view Key() const { return layout::KeySlot<kFile, 0>(data); }
  void SetKey(std::string_view v) { layout::SetKeySlot<kFile, 0>(data, v); }
};

using ProfessionRecord = CodeLabelRecord<FileId::PROFES>;
using AnnexRecord = CodeLabelRecord<FileId::ANNEXE>;
using RubricCatalogueRecord = CodeLabelRecord<FileId::RUBRIQUE>;

// Views on the process-wide record buffers of PROFES, ANNEXE and RUBRIQUE.
ProfessionRecord CurrentProfession();
AnnexRecord CurrentAnnex();
RubricCatalogueRecord CurrentRubricCatalogue();

}  // namespace vz::db

#endif  // VZ_SRC_DB_LAYOUTS_CODE_LABEL_H_
