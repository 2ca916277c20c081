// The program's hold on its data directory, and the state of the data that
// a restore left (src/db/data_directory_use.h).
//
// From start-up to shutdown the program holds a shared lock on its data
// directory's in-use lock file, so that the tools program refuses to restore
// over files the program uses (from this or another workstation). The tools
// menu lets go of it while the tools program runs, and takes it again after.
//
// Work on the data is refused while a restore is unfinished (its marker
// remains) or running (its exclusive lock keeps the program from taking its
// own): start-up warns once, and every selection is refused with a message
// until the restore is finished or undone. The state is looked at again for
// each selection, so a restore finished meanwhile lets them run again.
//
// Process-wide, single-threaded. Failures: a lock that cannot be made (a
// read-only data directory) is passed over; the data's state is still told.
#ifndef VZ_SRC_STARTUP_DATA_DIRECTORY_HOLD_H_
#define VZ_SRC_STARTUP_DATA_DIRECTORY_HOLD_H_

#include <string>
#include <string_view>

namespace vz::startup {

// Takes the hold on the program's data directory (config::DataDirectory()),
// letting go of any earlier one; nothing when no data directory is set.
void HoldDataDirectory();
void ReleaseDataDirectory();

// The French message (UTF-8) that refuses `what` ("la sélection n'est pas
// lancée") while a restore is unfinished or running; "" when the data may be
// worked on. Takes the hold again when it was lost to a restore.
std::string RestoreRefusal(std::string_view what);

// When RestoreRefusal(what) is not empty, shows it in an "Erreur," box and
// returns true (the work must not run).
bool RefusedForRestore(std::string_view what);

// At start-up: the hold is taken, and an "Erreur," box tells of an
// unfinished or running restore.
void HoldDataDirectoryAndWarn();

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_DATA_DIRECTORY_HOLD_H_
