#include "project/output_file.h"

#include <fstream>
#include <system_error>

namespace vz::project {

namespace fs = std::filesystem;

bool ReplaceFileWithBytes(const fs::path& target, std::string_view bytes) {
  fs::path temporary = target;
  temporary += ".tmp";
  std::error_code ec;
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      fs::remove(temporary, ec);
      return false;
    }
  }
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return false;
  }
  return true;
}

}  // namespace vz::project
