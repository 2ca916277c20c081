// Buffer synchronisation: keeps a file's record buffer consistent with what
// the engine stores, after (and for writes also before) every record
// operation.
//
// When a record is current, the composite keys are rebuilt in their slots
// from the record's fields, long texts are split into (writes) or joined from
// (reads) the five 51-character pieces the engine stores, and the special
// rules apply (the CLIENT date-time stamp and field widths; CHARSOC's keys are
// cut, never padded). When no record is current, the whole buffer is zeroed,
// so every text reads empty and every number 0. Files outside the key table
// are left alone.
//
// A record is current after an add or a modify, never after a delete, and
// otherwise exactly when the engine is not out of file. Nothing here fails or
// allocates; an unknown file name does nothing. Works on the process-wide
// record buffers, or on a buffer the caller gives (each record session keeps
// buffers of its own: record_session.h); single-threaded.
#ifndef VZ_SRC_DB_BUFFER_SYNC_H_
#define VZ_SRC_DB_BUFFER_SYNC_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "src/db/file_id.h"

namespace vz::db {

// kReadSlotsLater: a read whose key slots stay empty (RebuildKeySlotsOf
// builds them later).
enum class SyncOperation { kAdd, kModify, kDelete, kRead, kReadSlotsLater };

// A file name or operation word without blanks and NULs, with the accented
// letters à á â ä å Ä Å ç Ç è é ê ë ì í î ï ò ô ö Ö ù ú û Ü (cp1252) replaced
// by their plain letters and a to z in upper case. At most 255 characters.
class NormalisedName {
 public:
  explicit NormalisedName(std::string_view text);
  std::string_view view() const { return {text_, size_}; }

 private:
  char text_[255];
  size_t size_ = 0;
};

// The catalogue file whose name is the normalised text, if any.
std::optional<FileId> FindFileByWrittenName(std::string_view written);

// "HAJOUTE", "HMODIFIE" and "HSUPPRIME" (as normalised) name writes; any other
// word is taken as a read.
SyncOperation OperationFromWord(std::string_view word);

// The synchronisation as the callers name it: file and operation as written.
void SynchroniseBuffer(std::string_view file, std::string_view operation, bool out_of_file);

// The same for a file already looked up.
void SynchroniseBuffer(FileId file, SyncOperation operation, bool out_of_file);

// The same on `record` instead of the file's process-wide buffer.
// REQUIRES: record holds Describe(file).buffer_size bytes.
void SynchroniseBuffer(FileId file, SyncOperation operation, bool out_of_file, uint8_t* record);

// Builds the key slots of the record in `record` from its fields, as a read
// does. REQUIRES: as above.
void RebuildKeySlotsOf(FileId file, uint8_t* record);

}  // namespace vz::db

#endif  // VZ_SRC_DB_BUFFER_SYNC_H_
