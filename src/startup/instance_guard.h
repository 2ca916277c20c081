// The single-instance guard: one running copy of the program per user and
// per installation.
//
// The installation is the program directory the program runs from (its
// current directory at start, from which "..\FIC01\PARAM.DTA" is read). The
// guard is an exclusive lock (platform/os/file_lock.h) on the lock file
//   <installation>/.<program>-<user id>-<host>.verrou
// taken without waiting and held by the process until it ends: the kernel
// lets go of it at exit, crash or kill, so a dead copy never blocks the next
// start, and two copies started at the same moment cannot both take it.
// Copies run by other users, on other workstations sharing the installation,
// or from another installation take other lock files and never block this
// one. When the installation's folder cannot hold the lock file (read-only),
// the lock file is put in the user's runtime folder ($XDG_RUNTIME_DIR, else
// /tmp) under a name made of the installation's full path.
//
// Failure: when no lock file can be used at all, the guard lets the program
// run (it cannot tell) and says why on the error output.
#ifndef VZ_SRC_STARTUP_INSTANCE_GUARD_H_
#define VZ_SRC_STARTUP_INSTANCE_GUARD_H_

#include <string>
#include <string_view>

#include "platform/os/file_lock.h"

namespace vz::startup {

struct InstanceGuard {
  // False when another copy of this user holds the installation's lock.
  bool alone = true;
  // The lock held for the process's life (nothing when not alone).
  os::FileLock lock;
};

// `program` is the suite's name of the program ("VUZUVIZA .EXE");
// `installation` the program directory (absolute or relative).
InstanceGuard TakeInstanceGuard(std::string_view program, const std::string& installation);

// The lock file's name inside the installation.
std::string InstanceLockName(std::string_view program);

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_INSTANCE_GUARD_H_
