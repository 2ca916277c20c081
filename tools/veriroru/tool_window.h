// The tools program's window, shown through the screen runtime when the
// program is started with no command (as the tools menu starts it):
// "Sauvegarder", "Restaurer..." over the list of backups, "Vérifier et
// réindexer", "Quitter"; Escape leaves. While an action runs, the progress
// window (progress_window.h) shows the file being handled; it is closed
// before what the action did is shown in the report area and a message box.
//
// The window library VERIRORU.wdl is looked for beside the executable, then
// in the current directory and its parent. The front end is the runtime's
// choice (scenario, desktop); the caller makes sure one of them is there,
// so that the window never waits for an input nobody can give.
//
// RunToolWindow returns the process exit code: 0 when the adviser left the
// window, 1 when the window library cannot be loaded (message on the error
// output); a scenario that disagrees with the window ends the process with
// the runtime's exit code 70.
#ifndef VZ_TOOLS_VERIRORU_TOOL_WINDOW_H_
#define VZ_TOOLS_VERIRORU_TOOL_WINDOW_H_

#include <string>

#include "tools/veriroru/tool_paths.h"

namespace vz::veriroru {

inline constexpr const char* kWindowLibrary = "VERIRORU.wdl";
inline constexpr const char* kToolWindowName = "VERIRORU";

// `located` false: the installation was not found, `paths` is unusable and
// `locate_error` is shown; the window opens with its actions disabled.
int RunToolWindow(bool located, const ToolPaths& paths, const std::string& locate_error);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_TOOL_WINDOW_H_
