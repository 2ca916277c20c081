// What the programs of the suite that work on one data directory tell each
// other through it (the program, the tools program, other workstations):
//
// - The in-use lock file ".donnees-en-service.verrou" of the data directory.
//   A program working on the data files holds a shared lock on it
//   (platform/os/file_lock.h) for as long as it runs; a restore, which swaps
//   the data files, takes it exclusive and is refused while anyone else holds
//   it. The kernel lets go of a lock when its process ends, however it ends.
// - The marker RESTAURATION-INACHEVEE.TXT, which a restore leaves in its
//   folder <data>/SAUVEGARDES/avant-restauration-.../ while it swaps the
//   files: a folder that still holds it names a restore that did not end, and
//   the data files are then a mix of two states until a restore ends well.
//
// `data_directory` is a native path ("" is the current directory).
// Failures: an unreadable SAUVEGARDES folder holds no unfinished restore; a
// lock that cannot be taken says why through FileLock::state().
#ifndef VZ_SRC_DB_DATA_DIRECTORY_USE_H_
#define VZ_SRC_DB_DATA_DIRECTORY_USE_H_

#include <string>
#include <vector>

#include "platform/os/file_lock.h"

namespace vz::db {

inline constexpr const char* kBackupFolderName = "SAUVEGARDES";
inline constexpr const char* kUnfinishedRestoreMarker = "RESTAURATION-INACHEVEE.TXT";
inline constexpr const char* kInUseLockName = ".donnees-en-service.verrou";

// The folders of <data>/SAUVEGARDES that hold the marker, in name order.
std::vector<std::string> UnfinishedRestoreFolders(const std::string& data_directory);

// Shared: a program at work on the data directory. Exclusive: a restore.
os::FileLock LockDataDirectory(const std::string& data_directory, os::FileLock::Mode mode);

}  // namespace vz::db

#endif  // VZ_SRC_DB_DATA_DIRECTORY_USE_H_
