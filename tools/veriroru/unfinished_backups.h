// Clean-up of unfinished backups: folders of <data>/SAUVEGARDES that a
// backup (backup.h) began and never finished, because its process was
// killed or the machine stopped before the manifest was written last.
//
// Every running backup holds a shared lock on
// <data>/SAUVEGARDES/.sauvegarde-en-cours.verrou (platform/os/file_lock.h)
// for its whole run. A clean-up takes that lock exclusive without waiting:
// when a backup runs anywhere (this or another workstation), nothing is
// removed. Otherwise a folder is removed when all of these hold: its name is
// a backup's ("AAAAMMJJ-HHMMSS", or with "-2", "-3"...; the folders kept by a
// restore are never touched), it has no manifest, and it holds plain files
// only. Failure: what cannot be removed stays and is tried again next time.
#ifndef VZ_TOOLS_VERIRORU_UNFINISHED_BACKUPS_H_
#define VZ_TOOLS_VERIRORU_UNFINISHED_BACKUPS_H_

#include <string>

#include "platform/os/file_lock.h"

namespace vz::veriroru {

// Removes the unfinished backups of `data_directory`; returns how many.
int RemoveUnfinishedBackups(const std::string& data_directory);

// The shared lock a backup holds while it runs (it waits up to a second for
// a clean-up to end). Not held when SAUVEGARDES cannot be created or locked.
vz::os::FileLock HoldBackupInProgress(const std::string& data_directory);

// True for a backup folder's name: 8 digits, '-', 6 digits, then optionally
// '-' and a number.
bool IsBackupFolderName(const std::string& name);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_UNFINISHED_BACKUPS_H_
