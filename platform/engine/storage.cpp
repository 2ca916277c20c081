#include "platform/engine/storage.h"

#include "platform/engine/file_error.h"
#include "platform/engine/record_codec.h"

namespace vz::engine {

void DataFile::Report(FileFault fault, std::string reason) {
  ReportFileError(fault, file_, path_, reason);
  last_error_ = std::move(reason);
}

std::string_view DataFile::Stored(const std::string& data) {
  if (!compact_) return data;
  CompactRecord(data, &packed_);
  return packed_;
}

bool DataFile::ExpandStored(int64_t recno, std::string_view stored, std::string* out) {
  const CompactFault fault = ExpandRecord(stored, out);
  if (fault == CompactFault::kNone) return true;
  Report(FileFault::kDamaged, DamagedRecordReport(recno, fault));
  return false;
}

}  // namespace vz::engine
