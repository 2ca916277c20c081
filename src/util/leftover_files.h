// Clean-up of the temporary files that ReplacingFile (replacing_file.h)
// leaves behind when its process is killed while writing.
//
// Only files this machine can prove are leftovers are removed: a plain file
// whose name has the form of a ReplacingFile temporary name, written by this
// host (its <host> part is ThisHostPart()) and by a process that no longer
// runs. The temporary files of a running process (this one included), those
// of other workstations sharing the folder, and every other file stay. Only
// the folder itself is looked at, not the folders below it.
//
// Failure: an unreadable folder removes nothing; a leftover that cannot be
// removed stays (it is tried again at the next clean-up). Nothing is shown.
#ifndef VZ_SRC_UTIL_LEFTOVER_FILES_H_
#define VZ_SRC_UTIL_LEFTOVER_FILES_H_

#include <string>

namespace vz::util {

// Removes the leftovers of `folder`; returns how many were removed.
int RemoveLeftoverTemporaryFiles(const std::string& folder);

// The same for the staging folders of ReplacingFolder (replacing_folder.h):
// a folder (not a link) of `folder` named like a temporary file of this host
// whose process has ended is removed with what it holds.
int RemoveLeftoverTemporaryFolders(const std::string& folder);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_LEFTOVER_FILES_H_
