// Process-wide values that start-up sets and later screens and runs read:
// the data directory, the parameter file path and the database security
// level. Plain functions over values owned here; single-threaded.
#ifndef VZ_SRC_CONFIG_PROGRAM_SETTINGS_H_
#define VZ_SRC_CONFIG_PROGRAM_SETTINGS_H_

#include <string>
#include <string_view>

namespace vz::config {

// The suite's parameter file, relative to the current directory (or, for
// TParamDTA, to the program's directory), written the Windows way.
inline constexpr std::string_view kParameterFilePath = "..\\FIC01\\PARAM.DTA";

// The directory of the data files, selection files and merge files
// (entry 1 of "REPERTOIREF", trimmed). Empty until start-up sets it.
const std::string& DataDirectory();
void SetDataDirectory(std::string_view directory);

// kParameterFilePath until set otherwise.
const std::string& ParameterFilePath();
void SetParameterFilePath(std::string_view path);

// Appends a failure the adviser was told of to the run log of the data
// directory (src/util/run_log.h); false when the log could not be written.
bool LogRunFailure(std::string_view message);

// 2 until set otherwise.
int DatabaseSecurityLevel();
void SetDatabaseSecurityLevel(int level);

}  // namespace vz::config

#endif  // VZ_SRC_CONFIG_PROGRAM_SETTINGS_H_
