#include "src/outputs/agenda_screen.h"

#include "platform/os/cp1252.h"
#include "src/screen/bridge.h"
#include "src/screen/navigation.h"

namespace vz::outputs {

bool LeavesAgenda(std::string_view code) {
  return code == "T01" || code == "T02" || code == "T04" || code == "ESC";
}

void RunAgendaScreen() {
  screen::SendCommand("Ouvre,AGENDA");
  if (screen::IntegerReturnValue() != 0) {
    // No agenda window: waiting for input now would work in the window below
    // it, and "Ferme" would close that one.
    screen::SendCommand(os::Cp1252("Erreur,La fenêtre de l'agenda n'a pas pu être ouverte."));
    screen::SetNavigationCode("MNU");
    return;
  }
  while (true) {
    screen::SendCommand("Ecran,Saisie");
    screen::SetNavigationCode(screen::ReturnCode());
    if (LeavesAgenda(screen::NavigationCode())) break;
    screen::SendCommand("Execute,TABLE_RDV.REMPLIR");
  }
  screen::SendCommand("Ferme");
}

}  // namespace vz::outputs
