// Writing a finished output document (a PDF made in memory) under the file
// name the data directory gives it.
//
// The name is used as bytes, exactly as the data directory holds them: a
// directory read from the parameter file may carry cp1252 accents that are
// not UTF-8, which a text file name could not reproduce. The bytes go to
// `<target>.tmp` in the same folder, which is renamed over `target` only when
// complete, so a failed write never leaves half a file and never removes the
// previous one.
// Failure: returns false (nothing replaced, the temporary file removed).
// REQUIRES: `target` names a file in an existing folder.
#ifndef VZ_PROJECT_OUTPUT_FILE_H_
#define VZ_PROJECT_OUTPUT_FILE_H_

#include <filesystem>
#include <string_view>

namespace vz::project {

bool ReplaceFileWithBytes(const std::filesystem::path& target, std::string_view bytes);

}  // namespace vz::project

#endif  // VZ_PROJECT_OUTPUT_FILE_H_
