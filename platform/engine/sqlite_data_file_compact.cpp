// A compact record read from a SQLite data file, expanded into the reader's
// cursor (the form itself: DataFile::Stored and ExpandStored, record_codec.h).
// A record that does not expand is damage of the file, reported with its
// record number.
#include "platform/engine/sqlite_data_file.h"

namespace vz::engine {

bool SqliteDataFile::ExpandRead(ReaderCursor& cursor, RecordView* record) {
  cursor.expanded_recno = 0;
  if (!ExpandStored(record->recno, record->data, &cursor.expanded)) return false;
  cursor.expanded_recno = record->recno;
  record->data = cursor.expanded;
  return true;
}

}  // namespace vz::engine
