#include "src/db/layouts/adresses.h"

#include "src/db/record_buffers.h"

namespace vz::db {

AddressRecord CurrentAddress() {
  return AddressRecord{RecordBuffer(FileId::ADRESSES)};
}

}  // namespace vz::db
