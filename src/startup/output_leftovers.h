// Start-up clean-up of the temporary files that a killed run of this program
// left among its outputs (src/util/leftover_files.h: only this host's files
// of ended processes, in the exact temporary-name pattern of the program's
// file writer).
//
// The folders cleaned are those the outputs go to: the data directory
// (selection and merge files), its labels folder "ETIQUETTES", its letters
// folder "LETTRES" and each folder directly inside it (one per query and
// template). A missing folder is passed over; nothing is shown.
#ifndef VZ_SRC_STARTUP_OUTPUT_LEFTOVERS_H_
#define VZ_SRC_STARTUP_OUTPUT_LEFTOVERS_H_

#include <string>

namespace vz::startup {

// `data_directory` as the program settings hold it (a Windows-style path is
// mapped; empty means the current directory, as for the writers). Returns the
// number of leftovers removed.
int RemoveOutputLeftovers(const std::string& data_directory);

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_OUTPUT_LEFTOVERS_H_
