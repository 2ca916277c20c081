// Start-up clean-up of output leftovers (output_leftovers.h).
#include "src/startup/output_leftovers.h"

#include <filesystem>
#include <system_error>

#include "platform/os/paths.h"
#include "src/util/leftover_files.h"

namespace vz::startup {
namespace {

namespace fs = std::filesystem;

constexpr char kLabelsFolder[] = "ETIQUETTES";
constexpr char kLettersFolder[] = "LETTRES";

}  // namespace

int RemoveOutputLeftovers(const std::string& data_directory) {
  const std::string native = os::ToNativePath(data_directory);
  const fs::path data = native.empty() ? fs::path(".") : fs::path(native);
  int removed = util::RemoveLeftoverTemporaryFiles(data.string());
  removed += util::RemoveLeftoverTemporaryFiles((data / kLabelsFolder).string());
  const fs::path letters = data / kLettersFolder;
  removed += util::RemoveLeftoverTemporaryFiles(letters.string());
  std::error_code error;
  for (fs::directory_iterator it(letters, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      removed += util::RemoveLeftoverTemporaryFiles(it->path().string());
    }
  }
  return removed;
}

}  // namespace vz::startup
