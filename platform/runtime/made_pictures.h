// The folder of pictures that project code makes while the program runs (the
// preview of a label sheet): an image field may name a file of it as it
// names a picture of the installation, and the desktop front end looks there
// too. One folder per user and process, under the system's temporary folder.
// Never fails: creating the folder is the caller's business.
#ifndef VZ_PLATFORM_RUNTIME_MADE_PICTURES_H_
#define VZ_PLATFORM_RUNTIME_MADE_PICTURES_H_

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace vz::runtime {

inline std::filesystem::path MadePicturesFolder() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  return base / ("vuzuviza-images-" + std::to_string(getuid()) + "-" + std::to_string(getpid()));
}

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_MADE_PICTURES_H_
