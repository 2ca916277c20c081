#include "src/config/param_dta.h"

#include "platform/os/paths.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"

namespace vz::config {

void TElemsDTA::Add(std::string_view key, std::string_view value) {
  elements_.push_back(
      std::make_unique<ParameterElement>(ParameterElement{std::string(key), std::string(value)}));
}

TParamDTA::TParamDTA() : TParamDTA(kParameterFilePath) {}

TParamDTA::TParamDTA(std::string_view path) : path_(path) {
  SharedParameterTable();
}

std::string TParamDTA::ResolvedPath() const {
  const std::string native = os::ToNativePath(path_);
  if (native.empty()) return {};
  if (native.front() == '/') return native;
  const std::string program_directory = os::ProgramDirectory();
  if (program_directory.empty()) return {};
  return os::JoinPath(program_directory, native);
}

std::string TParamDTA::ReadComponentParameter(std::string_view key) const {
  const std::string file = ResolvedPath();
  if (file.empty()) return {};
  table_param& table = SharedParameterTable();
  ReadParameter(file, key, table, kComponentsSection);
  return table[1];
}

}  // namespace vz::config
