// The main menu "MENU.WDW": the hub of the program.
//
// RunMainMenu opens the main menu and dispatches the navigation code to the
// query list ("T01"), the agenda ("T03") and the tools menu ("T04"), each of
// which leaves the next code behind, until the user confirms the quit question
// after "ESC"; then it closes the window. A code that no screen handles ("T02",
// an empty code, anything a window may return) goes back to the menu's own
// input, as "MNU" does, so the dispatch never repeats without the user.
// REQUIRES: the program is initialised (screen project open, database context
// ready).
#ifndef VZ_SRC_STARTUP_MAIN_MENU_H_
#define VZ_SRC_STARTUP_MAIN_MENU_H_

#include "src/startup/menu_screens.h"

namespace vz::startup {

void RunMainMenu(const MenuScreens& screens);

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_MAIN_MENU_H_
