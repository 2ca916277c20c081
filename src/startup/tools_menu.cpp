#include "src/startup/tools_menu.h"

#include <string>

#include "platform/os/paths.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge.h"
#include "src/screen/navigation.h"
#include "src/startup/data_directory_hold.h"

namespace vz::startup {
namespace {

bool EndsToolsMenu(const std::string& code) {
  return code == "T01" || code == "T02" || code == "T03" || code == "ESC";
}

bool RunsToolsProgram(const std::string& code) {
  return code == "SVE" || code == "RST" || code == "RIX";
}

// The tools program works on the database files while this program has them
// closed and has let go of its hold on the data directory (so that a restore
// may run); they reopen on their next use.
void RunToolsProgram(const MenuScreens& screens) {
  db::Hferme("");
  ReleaseDataDirectory();
  const std::string directory = os::CurrentDirectory();
  screens.run_tools_program(kToolsProgram);  // a failed start is not shown
  os::ChangeDirectory(directory);
  HoldDataDirectory();
  screen::SetNavigationCode("MNU");
}

}  // namespace

void RunToolsMenu(const MenuScreens& screens) {
  screen::SendCommand("Ouvre,EX_MNUOUT");
  do {
    screen::SendCommand("Ecran,Saisie");
    screen::SetNavigationCode(screen::ReturnCode());
    if (screen::NavigationCode() == "ETI") screens.label_parameters();
    if (RunsToolsProgram(screen::NavigationCode())) RunToolsProgram(screens);
  } while (!EndsToolsMenu(screen::NavigationCode()));
  screen::SendCommand("Ferme");
}

}  // namespace vz::startup
