#include "platform/engine/storage.h"

#include "platform/engine/call_log.h"

namespace vz::engine {

void DataFile::Report(std::string reason) {
  LogFileError(file_, path_, reason);
  last_error_ = std::move(reason);
}

}  // namespace vz::engine
