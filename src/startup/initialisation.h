// Start-up and shutdown of the program, in their fixed order.
//
// InitialiseProgram loads the shared window library and opens the screen
// project, creates the database context and describes every file (sharing it
// with the screen runtime and opening the analysis), reads the data directory
// from the parameter "REPERTOIREF" of "..\FIC01\PARAM.DTA", points the
// analysis's directory "D:\VESTRA" at it, applies the engine settings,
// removes the temporary files that a killed earlier run left among the
// outputs (output_leftovers.h), takes the program's hold on its data
// directory and warns of a restore left unfinished (data_directory_hold.h),
// and finally sets the list separator to TAB.
// Failures are shown as screen messages: a window library that cannot be
// loaded stops the start (the database context and the screen module are
// ended, and the caller ends the process); a missing data directory only
// informs the user, and the start goes on with an empty data directory.
//
// ShutDownProgram closes the screen project and every database file, then
// terminates the screen module (only if it was started); the hold on the
// data directory goes with the process (RunProgram lets go of it).
// REQUIRES: InitialiseProgram runs once per process, before any screen.
#ifndef VZ_SRC_STARTUP_INITIALISATION_H_
#define VZ_SRC_STARTUP_INITIALISATION_H_

namespace vz::startup {

enum class StartResult { kReady, kStopped };

StartResult InitialiseProgram();
void ShutDownProgram();

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_INITIALISATION_H_
