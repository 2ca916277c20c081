#include "src/db/layouts/selectes.h"

#include "src/db/record_buffers.h"

namespace vz::db {

SelectedRecord CurrentSelected() {
  return SelectedRecord{RecordBuffer(FileId::SELECTES)};
}

}  // namespace vz::db
