// The agenda screen: the program's side of the agenda window "AGENDA", whose
// content and behaviour live in the screen project (project/agenda_window.h).
//
// RunAgendaScreen opens the window and runs its input until the user leaves
// it with "T01" (query list), "T02" (main menu), "T04" (tools menu) or "ESC"
// (the main menu's quit question); every input's return code is copied into
// the navigation code, which the window leaves as the user left it. Any other
// code keeps the agenda open: the window's list is filled again (its window
// code "Execute,TABLE_RDV.REMPLIR") so that "Actualiser" shows what other
// users wrote meanwhile, and the input goes on.
//
// A window that does not open (the library has no AGENDA) is reported with an
// error box and the routine returns with the navigation code "MNU" (back to
// the main menu's input) instead of waiting on a window that is not there.
// REQUIRES: the screen project is loaded (start-up done).
#ifndef VZ_SRC_OUTPUTS_AGENDA_SCREEN_H_
#define VZ_SRC_OUTPUTS_AGENDA_SCREEN_H_

#include <string_view>

namespace vz::outputs {

// True for the codes that leave the agenda.
bool LeavesAgenda(std::string_view code);

void RunAgendaScreen();

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_AGENDA_SCREEN_H_
