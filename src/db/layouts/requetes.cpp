#include "src/db/layouts/requetes.h"

#include "src/db/record_buffers.h"

namespace vz::db {

QueryLineRecord CurrentQueryLine() {
  return QueryLineRecord{RecordBuffer(FileId::REQUETES)};
}

}  // namespace vz::db
