#include "src/config/display_scaling.h"

#include "src/config/parameter_file.h"
#include "src/util/process_services.h"

namespace vz::config {

void RegisterDisplayScaling(std::string_view program_path) {
  RegisterDisplayScaling(program_path, TParamDTA());
}

void RegisterDisplayScaling(std::string_view program_path, const TParamDTA& parameters) {
  SetListSeparator(',');
  if (parameters.ReadComponentParameter("DPIOK") == "1") return;
  util::RunDisplayScalingCommand(program_path);
}

}  // namespace vz::config
