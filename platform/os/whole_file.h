// Whole files: read a file into memory in one call, replace a file's
// contents in one step. The one file reader of this system for files read
// whole (profile files, window libraries, projects, scenarios, letter
// templates, pictures, manifests).
//
// ReadWholeFile: true with every byte of the file, as it is (no line-end or
// code page change). False, with `contents` emptied, when the path is empty,
// names nothing, names something other than a regular file (a folder, a
// device), or the file cannot be opened or read to its end. It says nothing
// itself: the caller reports the failure in its own words.
//
// ReplaceFileContents: the new contents go to a temporary file beside the
// old one (through a symbolic link, to the file it names), which is flushed
// to disk and then renamed over it, keeping the old file's permissions: a
// crash leaves either the old or the new file. False, with nothing changed,
// when the temporary file cannot be made, written or renamed.
#ifndef VZ_PLATFORM_OS_WHOLE_FILE_H_
#define VZ_PLATFORM_OS_WHOLE_FILE_H_

#include <string>
#include <string_view>

namespace vz::os {

bool ReadWholeFile(const std::string& path, std::string* contents);

bool ReplaceFileContents(const std::string& path, std::string_view contents);

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_WHOLE_FILE_H_
