#include "src/db/layouts/interfa.h"

#include "src/db/record_buffers.h"

namespace vz::db {

InterfaceRecord CurrentInterface() {
  return InterfaceRecord{RecordBuffer(FileId::INTERFA)};
}

}  // namespace vz::db
