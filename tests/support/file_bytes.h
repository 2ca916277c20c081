// The bytes of a file as a test reads them back to compare: every byte as it
// is (no line-end or encoding change). A file that cannot be read gives ""
// so that the comparison that follows fails and shows what was expected.
#ifndef VZ_TESTS_SUPPORT_FILE_BYTES_H_
#define VZ_TESTS_SUPPORT_FILE_BYTES_H_

#include <filesystem>
#include <string>

#include "platform/os/whole_file.h"

namespace vz::testing {

inline std::string FileBytes(const std::filesystem::path& path) {
  std::string bytes;
  if (!os::ReadWholeFile(path.string(), &bytes)) bytes.clear();
  return bytes;
}

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_FILE_BYTES_H_
