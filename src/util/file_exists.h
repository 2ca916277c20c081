// "Does a file exist": true when at least one directory entry, file or
// directory, matches the path, wildcards '*' and '?' allowed. The path may be
// written the Windows way (backslashes, a drive letter): it is mapped by
// vz::os::ToNativePath first. Names are matched with their case.
#ifndef VZ_SRC_UTIL_FILE_EXISTS_H_
#define VZ_SRC_UTIL_FILE_EXISTS_H_

#include <string_view>

namespace vz::util {

bool FileExists(std::string_view path);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_FILE_EXISTS_H_
