// Backup of an installation's data: every data file of the data directory
// ("<NAME>.vzdb"), each copied consistently through SQLite's online backup,
// and the parameter file, into a new dated folder
//
//   <data>/SAUVEGARDES/AAAAMMJJ-HHMMSS/      (then -2, -3... within one second)
//
// with the manifest (manifest.h) written last. An existing folder is never
// written into. When a file cannot be copied the backup fails: the
// unfinished folder is removed and the message names the file. Nothing of
// the data directory is changed. Backups that a killed run left unfinished
// are removed first (unfinished_backups.h). Messages are French (UTF-8).
#ifndef VZ_TOOLS_VERIRORU_BACKUP_H_
#define VZ_TOOLS_VERIRORU_BACKUP_H_

#include <ctime>
#include <string>
#include <vector>

#include "tools/veriroru/progress.h"
#include "tools/veriroru/tool_paths.h"

namespace vz::veriroru {

struct BackupResult {
  bool ok = false;
  std::string folder;   // the backup folder (absolute)
  std::string message;  // what was done, or why it failed
};

// `progress` is told before each data file is copied (ProgressPhase::kBackup).
BackupResult RunBackup(const ToolPaths& paths, const std::tm& when,
                       const ProgressReport& progress = {});

// The data files of a data directory, by name ("CLIENT.vzdb"), sorted.
std::vector<std::string> DataFileNames(const std::string& data_directory);

// Makes a new folder "<parent>/<stamp>", "<stamp>-2"... that did not exist;
// "" on failure.
std::string MakeFreshFolder(const std::string& parent, const std::string& stamp);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_BACKUP_H_
