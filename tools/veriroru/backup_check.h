// Finding the backups of a data directory and checking one before it is
// restored.
//
// A backup is a folder of <data>/SAUVEGARDES holding a manifest
// (manifest.h); folders without one are unfinished and not offered. The
// check reads every byte of the backup and changes nothing:
//  - the manifest is present, complete and unedited;
//  - every file it names is there with its size and checksum, and no other
//    data file lies in the folder;
//  - every data file passes SQLite's integrity check, is a file of the
//    record engine's format holding a file of the analysis (when the
//    analysis is known) and holds the number of records the manifest says.
// The first fault found is reported in French, naming the file.
#ifndef VZ_TOOLS_VERIRORU_BACKUP_CHECK_H_
#define VZ_TOOLS_VERIRORU_BACKUP_CHECK_H_

#include <optional>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"
#include "tools/veriroru/manifest.h"
#include "tools/veriroru/progress.h"

namespace vz::veriroru {

struct BackupEntry {
  std::string name;      // folder name ("20261208-013000", "avant-restauration-...")
  std::string folder;    // absolute path
  std::string readable;  // for an adviser: "08/12/2026 à 01:30:00", or the name
};

// Folders of <data>/SAUVEGARDES holding a manifest, newest first.
std::vector<BackupEntry> ListBackups(const std::string& data_directory);

// The folder a user named: a bare name is looked for in
// <data>/SAUVEGARDES, anything else is a path (relative to the current
// directory).
std::string BackupFolderNamed(const std::string& data_directory, const std::string& named);

struct BackupCheck {
  bool ok = false;
  std::string faulty_file;  // the file at fault ("" when the folder itself is)
  std::string reason;
  Manifest manifest;  // valid when ok
};

// `analysis` null: the analysis's files are not checked. `progress` is told
// before each data file the manifest names is checked
// (ProgressPhase::kBackupCheck); the check stops at the first fault.
BackupCheck CheckBackup(const std::string& folder, const vz::engine::Analysis* analysis,
                        const ProgressReport& progress = {});

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_BACKUP_CHECK_H_
