// The tools menu "EX_MNUOUT".
//
// RunToolsMenu runs the label parameters screen ("ETI") and the suite's tools
// program "VERIRORU.EXE" ("SVE", "RST", "RIX": all three run it the same way)
// until the user picks a code for the main menu ("T01", "T02", "T03", "ESC"),
// which it leaves in the navigation code. Before the tools program runs, every
// database file is closed so that the program may work on them (they reopen on
// their next use); afterwards the current directory is the one before the run,
// whatever the tools program did. A tools program that cannot be started is
// silent: the menu takes input again.
// REQUIRES: the program is initialised.
#ifndef VZ_SRC_STARTUP_TOOLS_MENU_H_
#define VZ_SRC_STARTUP_TOOLS_MENU_H_

#include "src/startup/menu_screens.h"

namespace vz::startup {

inline constexpr const char kToolsProgram[] = "VERIRORU.EXE";

void RunToolsMenu(const MenuScreens& screens);

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_TOOLS_MENU_H_
