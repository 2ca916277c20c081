#include "src/db/layouts/rubric_record.h"

#include "src/db/record_buffers.h"

namespace vz::db {

std::optional<RubricRecord> RubricRecordIn(FileId file, uint8_t* data) {
  const RubricFileLayout* layout = FindRubricFile(file);
  if (layout == nullptr) return std::nullopt;
  return RubricRecord{data, layout->codclef_field_offset};
}

std::optional<RubricRecord> CurrentRubricRecord(FileId file) {
  if (FindRubricFile(file) == nullptr) return std::nullopt;
  return RubricRecordIn(file, RecordBuffer(file));
}

}  // namespace vz::db
