#include "src/config/program_settings.h"

#include "platform/os/paths.h"
#include "src/util/run_log.h"

namespace vz::config {
namespace {

struct Settings {
  std::string data_directory;
  std::string parameter_file_path{kParameterFilePath};
  int security_level = 2;
};

Settings& TheSettings() {
  static Settings settings;
  return settings;
}

}  // namespace

const std::string& DataDirectory() {
  return TheSettings().data_directory;
}
void SetDataDirectory(std::string_view directory) {
  TheSettings().data_directory = std::string(directory);
}

bool LogRunFailure(std::string_view message) {
  return util::AppendRunLog(os::ToNativePath(DataDirectory()), message);
}

const std::string& ParameterFilePath() {
  return TheSettings().parameter_file_path;
}
void SetParameterFilePath(std::string_view path) {
  TheSettings().parameter_file_path = std::string(path);
}

int DatabaseSecurityLevel() {
  return TheSettings().security_level;
}
void SetDatabaseSecurityLevel(int level) {
  TheSettings().security_level = level;
}

}  // namespace vz::config
