#include "src/startup/main_menu.h"

#include <string>

#include "platform/os/cp1252.h"
#include "src/screen/bridge.h"
#include "src/screen/navigation.h"

namespace vz::startup {
namespace {

// Runs the screens that the navigation code names, one after the other, until
// it asks for the menu's input ("MNU") or the quit question ("ESC").
void DispatchNavigationCode(const MenuScreens& screens) {
  while (screen::NavigationCode() != "ESC" && screen::NavigationCode() != "MNU") {
    if (screen::NavigationCode() == "T01") screens.query_list();
    if (screen::NavigationCode() == "T03") screens.agenda();
    if (screen::NavigationCode() == "T04") screens.tools_menu();
    const std::string& code = screen::NavigationCode();
    if (code != "T01" && code != "T03" && code != "T04" && code != "ESC") {
      screen::SetNavigationCode("MNU");
    }
  }
}

}  // namespace

void RunMainMenu(const MenuScreens& screens) {
  screen::SetNavigationCode("");
  screen::SendCommand("Ouvre,MENU.WDW");
  do {
    screen::SendCommand("Ecran,Saisie");
    screen::SetNavigationCode(screen::ReturnCode());
    DispatchNavigationCode(screens);
    if (screen::NavigationCode() == "ESC") {
      screen::SendCommand(os::Cp1252("OUINON,Désirez vous quitter le logiciel ?"));
      if (screen::IntegerReturnValue() == 0) screen::SetNavigationCode("");
    }
  } while (screen::NavigationCode() != "ESC");
  screen::SendCommand("Ferme");
}

}  // namespace vz::startup
