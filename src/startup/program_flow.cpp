#include "src/startup/program_flow.h"

#include "platform/os/cp1252.h"
#include "src/screen/bridge.h"
#include "src/startup/initialisation.h"
#include "src/startup/main_menu.h"
#include "src/util/process_services.h"

namespace vz::startup {

int RunProgram(const ProgramOptions& options) {
  if (util::CountProcesses(options.instance_name) > 1) {
    screen::SendCommand(os::Cp1252("Erreur,Le logiciel est déjà actif !"));
    return kExitAlreadyRunning;
  }
  util::SetScreenCommandSender([](std::string_view command) { screen::SendCommand(command); });
  if (InitialiseProgram() == StartResult::kStopped) return kExitStopped;
  RunMainMenu(options.screens);
  ShutDownProgram();
  return 0;
}

}  // namespace vz::startup
