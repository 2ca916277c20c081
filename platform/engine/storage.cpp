#include "platform/engine/storage.h"

#include "platform/engine/file_error.h"

namespace vz::engine {

void DataFile::Report(FileFault fault, std::string reason) {
  ReportFileError(fault, file_, path_, reason);
  last_error_ = std::move(reason);
}

}  // namespace vz::engine
