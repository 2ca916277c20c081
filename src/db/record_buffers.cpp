// The program's record session owns the buffers.
#include "src/db/record_buffers.h"

#include "src/db/record_session.h"

namespace vz::db {

uint8_t* RecordBuffer(FileId file) {
  return ProgramSession().Buffer(file);
}

size_t RecordBufferSize(FileId file) {
  return ProgramSession().BufferSize(file);
}

}  // namespace vz::db
