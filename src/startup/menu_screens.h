// The screen routines that the main menu and the tools menu reach.
//
// The menus call them through this table so that the program wires the real
// screens (and tests their stand-ins). Each routine runs its whole screen and
// leaves its ending code in the navigation code (src/screen/navigation.h);
// the tools menu actions leave it alone. DefaultMenuScreens() gives the
// program's own routines. The agenda is src/outputs/agenda_screen.h, the query list
// src/queries/query_list.h. The placeholders, which set the navigation code to
// "MNU" (back to the main menu's input), stay for tests.
#ifndef VZ_SRC_STARTUP_MENU_SCREENS_H_
#define VZ_SRC_STARTUP_MENU_SCREENS_H_

#include <functional>
#include <string>
#include <string_view>

namespace vz::startup {

struct MenuScreens {
  std::function<void()> query_list;        // "T01"
  std::function<void()> agenda;            // "T03"
  std::function<void()> tools_menu;        // "T04"
  std::function<void()> label_parameters;  // "ETI" of the tools menu
  // Starts the tools program and waits for it to end; false when it could not
  // be started ("SVE", "RST", "RIX" of the tools menu).
  std::function<bool(std::string_view program)> run_tools_program;
};

// The program's own routines: the tools menu, the label parameters screen, the
// tools program through run-and-wait, and the placeholders described above.
MenuScreens DefaultMenuScreens();

// Placeholder screens: each sets the navigation code to "MNU".
void RunQueryListPlaceholder();
void RunAgendaPlaceholder();

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_MENU_SCREENS_H_
