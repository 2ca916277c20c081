#include "src/config/program_settings.h"

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
