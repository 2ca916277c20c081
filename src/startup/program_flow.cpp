#include "src/startup/program_flow.h"

#include <string>

#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "src/screen/bridge.h"
#include "src/startup/data_directory_hold.h"
#include "src/startup/initialisation.h"
#include "src/startup/instance_guard.h"
#include "src/startup/main_menu.h"
#include "src/util/file_exists.h"
#include "src/util/process_services.h"

namespace vz::startup {
namespace {

// A copy started beside its project source ("<name before the dot>.DPR" in
// the current directory) is let through beside the installed one.
bool BesideItsProjectSource(std::string_view program) {
  const std::string_view file = os::FileNamePart(program);
  const size_t dot = file.find('.');
  return dot != std::string_view::npos &&
         util::FileExists(std::string(file.substr(0, dot)) + ".DPR");
}

}  // namespace

int RunProgram(const ProgramOptions& options) {
  InstanceGuard guard = TakeInstanceGuard(options.instance_name, options.installation);
  if (!guard.alone && !BesideItsProjectSource(options.instance_name)) {
    screen::SendCommand(os::Cp1252("Erreur,Le logiciel est déjà actif !"));
    return kExitAlreadyRunning;
  }
  util::SetScreenCommandSender([](std::string_view command) { screen::SendCommand(command); });
  if (InitialiseProgram() == StartResult::kStopped) return kExitStopped;
  RunMainMenu(options.screens);
  ShutDownProgram();
  ReleaseDataDirectory();
  return 0;
}

}  // namespace vz::startup
