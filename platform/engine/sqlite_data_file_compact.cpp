// The compact form of the records of a SQLite data file: made on write,
// expanded on read (record_codec.h). A record that does not expand is damage
// of the file, reported with its record number.
#include "platform/engine/record_codec.h"
#include "platform/engine/sqlite_data_file.h"

namespace vz::engine {

std::string_view SqliteDataFile::Stored(const std::string& data) {
  if (!compact_) return data;
  CompactRecord(data, &packed_);
  return packed_;
}

bool SqliteDataFile::ExpandRead(ReaderCursor& cursor, RecordView* record) {
  if (!ExpandStored(record->recno, record->data, &cursor.expanded)) return false;
  record->data = cursor.expanded;
  return true;
}

bool SqliteDataFile::ExpandStored(int64_t recno, std::string_view stored, std::string* out) {
  const CompactFault fault = ExpandRecord(stored, out);
  if (fault == CompactFault::kNone) return true;
  Report(FileFault::kDamaged, DamagedRecordReport(recno, fault));
  return false;
}

}  // namespace vz::engine
