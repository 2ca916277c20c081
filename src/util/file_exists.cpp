#include "src/util/file_exists.h"

#include "platform/os/paths.h"

namespace vz::util {

bool FileExists(std::string_view path) {
  return os::AnyEntryMatches(os::ToNativePath(path));
}

}  // namespace vz::util
