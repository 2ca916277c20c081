// Where the tools program finds the installation it works on.
//
// Started from the tools menu, the program's current directory is the
// program directory of the installation: the parameter file is
// "..\FIC01\PARAM.DTA" and the analysis "..\HSF\vestra.wdd" from there, and
// the data directory is field 1 of "REPERTOIREF" (section "COMPOSANTS"),
// blanks trimmed, resolved as the record engine resolves it (backslashes
// mapped, relative to the program directory). When the current directory
// holds no parameter file, the directory of the running executable is tried
// the same way.
//
// A data directory named on the command line (--donnees) wins; the
// parameter file is then kept only when its "REPERTOIREF" names that same
// directory, so that a backup never carries another installation's settings.
//
// Plain values; nothing here changes the disk. Locate fails (false, French
// message in `error`) when no data directory can be found or it does not
// exist. Messages are UTF-8 (the tool converts to cp1252 where it stores
// or shows text through the screen runtime).
#ifndef VZ_TOOLS_VERIRORU_TOOL_PATHS_H_
#define VZ_TOOLS_VERIRORU_TOOL_PATHS_H_

#include <string>

namespace vz::veriroru {

inline constexpr const char* kParameterFile = "../FIC01/PARAM.DTA";
inline constexpr const char* kAnalysisFile = "../HSF/vestra.wdd";
inline constexpr const char* kBackupFolder = "SAUVEGARDES";
inline constexpr const char* kReportFolder = "RAPPORTS";

struct ToolPaths {
  std::string data_directory;  // absolute, no trailing slash
  std::string parameter_file;  // absolute; empty when none belongs to it
  std::string analysis_file;   // absolute; empty when none was found
};

// The data directory named by a "REPERTOIREF" value, seen from
// `program_directory`; empty when the value's first field is blank.
std::string DataDirectoryFromParameter(const std::string& program_directory,
                                       const std::string& value);

// `explicit_data_directory` empty: found from the parameter file.
bool LocateToolPaths(const std::string& explicit_data_directory, ToolPaths* paths,
                     std::string* error);

// The same search from given program directories (tests).
bool LocateToolPathsFrom(const std::string& explicit_data_directory,
                         const std::string& current_directory,
                         const std::string& executable_directory, ToolPaths* paths,
                         std::string* error);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_TOOL_PATHS_H_
