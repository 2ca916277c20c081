// The process-wide record buffers: one per database file, allocated once for
// the whole run in one block in catalogue order (so the CLIENT buffer follows
// the CLIPART buffer directly), zero at start. The program's record session
// (record_session.h) owns them; the engine reads records into them and
// writes records from them; the program reads and writes fields in place.
// Each buffer has its full size as the catalogue gives it. Nothing here fails.
#ifndef VZ_SRC_DB_RECORD_BUFFERS_H_
#define VZ_SRC_DB_RECORD_BUFFERS_H_

#include <cstddef>
#include <cstdint>

#include "src/db/file_id.h"

namespace vz::db {

uint8_t* RecordBuffer(FileId file);
size_t RecordBufferSize(FileId file);

}  // namespace vz::db

#endif  // VZ_SRC_DB_RECORD_BUFFERS_H_
