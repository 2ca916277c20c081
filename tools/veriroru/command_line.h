// The tools program's command line.
//
//   veriroru                          the window (as the tools menu starts it)
//   veriroru sauvegarder  [--donnees <répertoire>]
//   veriroru restaurer <dossier> [--donnees <répertoire>]
//   veriroru verifier     [--donnees <répertoire>]
//   veriroru sauvegardes  [--donnees <répertoire>]   lists the backups
//
// Empty arguments are ignored (the tools menu passes one). ParseCommandLine
// never fails loudly: a line it cannot read gives kUsage with the reason.
// RunCommandLine runs the command and returns the exit code: 0 on success,
// 1 when the action failed, 2 for a command line it cannot read; messages go
// to `out` (results) and `err` (failures and usage), in UTF-8.
#ifndef VZ_TOOLS_VERIRORU_COMMAND_LINE_H_
#define VZ_TOOLS_VERIRORU_COMMAND_LINE_H_

#include <ostream>
#include <string>
#include <vector>

namespace vz::veriroru {

struct Command {
  enum class Kind { kWindow, kBackup, kRestore, kCheck, kList, kUsage };
  Kind kind = Kind::kWindow;
  std::string data_directory;  // --donnees; empty: found from the parameter file
  std::string backup;          // restaurer's folder
  std::string error;           // kUsage: what is wrong ("" for a plain request of help)
};

Command ParseCommandLine(const std::vector<std::string>& arguments);

// The short usage text (French).
std::string UsageText();

int RunCommandLine(const Command& command, std::ostream& out, std::ostream& err);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_COMMAND_LINE_H_
