// The navigation code: the process-wide copy of the last return code that
// decides which screen comes next.
//
// The main menu, the query list, the agenda and the tools menu copy the screen
// bridge's return code into it after each "Ecran,Saisie"; the code a screen
// leaves behind when it closes is what the main menu dispatches next ("T01"
// query list, "T03" agenda, "T04" tools menu, "MNU" the menu's own input,
// "ESC" the quit question). At most 3 characters: a longer text is cut.
// Header only, so that every screen may set it without linking the start-up
// library. Single-threaded.
#ifndef VZ_SRC_STARTUP_NAVIGATION_H_
#define VZ_SRC_STARTUP_NAVIGATION_H_

#include <string>
#include <string_view>

namespace vz::startup {

inline constexpr size_t kNavigationCodeLength = 3;

namespace internal {
inline std::string& NavigationCodeStorage() {
  static std::string code;
  return code;
}
}  // namespace internal

inline const std::string& NavigationCode() {
  return internal::NavigationCodeStorage();
}

inline void SetNavigationCode(std::string_view code) {
  internal::NavigationCodeStorage() = std::string(code.substr(0, kNavigationCodeLength));
}

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_NAVIGATION_H_
