#include "src/db/layouts/clipart.h"

#include "src/db/record_buffers.h"

namespace vz::db {

EstateRecord CurrentEstate() {
  return EstateRecord{RecordBuffer(FileId::CLIPART)};
}

}  // namespace vz::db
