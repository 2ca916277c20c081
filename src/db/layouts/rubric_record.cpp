#include "src/db/layouts/rubric_record.h"

#include "src/db/record_buffers.h"

namespace vz::db {
namespace {

// Every rubric file describes the common head where RubricRecord reads it
// (field 4 may be the first real of a run) and keeps CODCLEF as its first key.
constexpr bool SharesTheHead(FileId file) {
  for (int field = 1; field <= 4; ++field) {
    const places::FieldPlace head = places::Field(RubricRecord::kHeadFile, field);
    const places::FieldPlace own = places::Field(file, field);
    if (own.offset != head.offset || own.type != head.type) return false;
    if (field < 4 ? own.size != head.size : own.size < head.size) return false;
  }
  const std::string_view keys = places::RowOf(file).keys;
  return keys.substr(0, 8) == "CODCLEF=";
}

constexpr bool EveryRubricFileSharesTheHead() {
  for (const RubricFileLayout& layout : kRubricFiles) {
    if (!SharesTheHead(layout.file)) return false;
  }
  return true;
}
static_assert(EveryRubricFileSharesTheHead());

}  // namespace

std::optional<RubricRecord> RubricRecordIn(FileId file, uint8_t* data) {
  const RubricFileLayout* layout = FindRubricFile(file);
  if (layout == nullptr) return std::nullopt;
  return RubricRecord{data, layout->codclef_slot_offset};
}

std::optional<RubricRecord> CurrentRubricRecord(FileId file) {
  if (FindRubricFile(file) == nullptr) return std::nullopt;
  return RubricRecordIn(file, RecordBuffer(file));
}

}  // namespace vz::db
