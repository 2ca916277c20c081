// The navigation code: the process-wide copy of the last return code that
// decides which screen comes next.
//
// The main menu, the query list, the agenda and the tools menu copy the screen
// bridge's return code into it after each "Ecran,Saisie"; the code a screen
// leaves behind when it closes is what the main menu dispatches next ("T01"
// query list, "T03" agenda, "T04" tools menu, "MNU" the menu's own input,
// "ESC" the quit question). At most 3 characters: a longer text is cut.
// Screen state, so that every screen (queries, outputs, start-up) may set it
// from the layer they all use. Empty at program start. Single-threaded.
#ifndef VZ_SRC_SCREEN_NAVIGATION_H_
#define VZ_SRC_SCREEN_NAVIGATION_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vz::screen {

inline constexpr size_t kNavigationCodeLength = 3;

const std::string& NavigationCode();
void SetNavigationCode(std::string_view code);

}  // namespace vz::screen

#endif  // VZ_SRC_SCREEN_NAVIGATION_H_
