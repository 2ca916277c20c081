#include "src/db/describe.h"

#include "platform/engine/le_api.h"
#include "src/db/catalogue.h"
#include "src/db/conversion_ring.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"

namespace vz::db {

void DescribeAllFiles() {
  for (const FileDescription& file : Catalogue()) {
    // The last text argument is converted first.
    const char* types = ToEngine(file.types);
    const char* name = ToEngine(file.name);
    LE_HDecritEnregistrement(ContextHandle(), name, file.record_size, file.field_sizes.data(),
                             file.field_count(), types, RecordBuffer(file.id));
  }
}

}  // namespace vz::db
