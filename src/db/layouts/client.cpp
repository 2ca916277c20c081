#include "src/db/layouts/client.h"

#include "src/db/record_buffers.h"

namespace vz::db {

ClientRecord CurrentClient() {
  return ClientRecord{RecordBuffer(FileId::CLIENT)};
}

}  // namespace vz::db
