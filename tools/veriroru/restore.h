// Restore of a backup (backup.h) over the data directory.
//
// The backup is checked first (backup_check.h); if anything is wrong the
// restore is refused, naming the faulty file, and nothing is replaced. Then:
//  1. every file of the backup is copied beside its destination under a
//     temporary name, and the copy's checksum checked again;
//  2. the data files in place are made whole (write-ahead log folded in)
//     and moved, with any side file, into a new folder
//     <data>/SAUVEGARDES/avant-restauration-AAAAMMJJ-HHMMSS/, so that the
//     adviser can go back; data files that the backup does not hold are
//     moved there too, so that the data are exactly the backup's;
//  3. each temporary copy is renamed to its final name;
//  4. the parameter file is restored keeping the current "REPERTOIREF"
//     (the data directory in use stays the one in use); the file replaced
//     is kept in the same folder.
// When the folder of step 2 holds only sound files it gets a manifest of its
// own and is offered as a backup. A failure in steps 2-3 puts the previous
// files back. While a restore runs, the folder of step 2 holds the marker
// RESTAURATION-INACHEVEE.TXT: a run stopped half-way (the tools program
// killed) leaves it, and UnfinishedRestores finds it until a restore ends
// well (src/db/data_directory_use.h). Messages are French (UTF-8).
//
// A restore holds the data directory's in-use lock exclusive from its check
// to its end (src/db/data_directory_use.h): it is refused, with nothing
// changed, while a program of the suite works on that data directory (the
// tools menu lets go of the program's lock while the tools program runs), and
// no program starts work on the data while it swaps the files.
#ifndef VZ_TOOLS_VERIRORU_RESTORE_H_
#define VZ_TOOLS_VERIRORU_RESTORE_H_

#include <ctime>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"
#include "src/db/data_directory_use.h"
#include "tools/veriroru/progress.h"
#include "tools/veriroru/tool_paths.h"

namespace vz::veriroru {

struct RestoreResult {
  bool ok = false;
  std::string kept_folder;  // where the replaced files were moved
  std::string message;
};

using vz::db::kUnfinishedRestoreMarker;

// The folders of <data>/SAUVEGARDES left by a restore that did not end.
std::vector<std::string> UnfinishedRestores(const std::string& data_directory);

// `progress` is told before each data file of the backup is checked
// (ProgressPhase::kBackupCheck), then, once the whole backup is found sound,
// before each is copied into the data directory (ProgressPhase::kRestoreCopy).
RestoreResult RunRestore(const ToolPaths& paths, const vz::engine::Analysis* analysis,
                         const std::string& backup_folder, const std::tm& when,
                         const ProgressReport& progress = {});

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_RESTORE_H_
