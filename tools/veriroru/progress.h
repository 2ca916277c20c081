// Progress of the tools program's long actions: a backup, a restore (the
// check of the backup, then the copy of its files) and a check-and-reindex
// each walk the data files one by one, and tell the caller before each file
// is handled: its name, how many files are done and how many there are; the
// copy of a large file into a backup also tells how far it has gone.
//
// The report is optional: an empty ProgressReport is never called and the
// action runs as it would without one. The callback is the caller's; it runs
// on the action's thread, must not throw, and cannot stop the action.
#ifndef VZ_TOOLS_VERIRORU_PROGRESS_H_
#define VZ_TOOLS_VERIRORU_PROGRESS_H_

#include <cstddef>
#include <functional>
#include <string>

namespace vz::veriroru {

enum class ProgressPhase {
  kBackup,         // a data file copied into the new backup folder
  kBackupCheck,    // a data file of the chosen backup checked before a restore
  kRestoreCopy,    // a data file of the backup copied beside the one it replaces
  kCheckAndIndex,  // a data file checked and reindexed
};

struct ProgressStep {
  ProgressPhase phase = ProgressPhase::kBackup;
  std::string file;       // "CLIENT.vzdb"
  std::size_t done = 0;   // files of this phase already handled
  std::size_t total = 0;  // files of this phase in all (done < total)
  // The share of `file` already handled, 0 to 1: a large file copied into a
  // backup reports again as its copy goes on; other steps report 0 only.
  double file_share = 0.0;
};

using ProgressReport = std::function<void(const ProgressStep&)>;

// Calls `report` when there is one.
inline void ReportProgress(const ProgressReport& report, ProgressPhase phase,
                           const std::string& file, std::size_t done, std::size_t total,
                           double file_share = 0.0) {
  if (report) report(ProgressStep{phase, file, done, total, file_share});
}

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_PROGRESS_H_
