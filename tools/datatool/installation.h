// Where an installation keeps its pieces, as the suite lays it out:
//   <root>/FIC01/PARAM.DTA   parameter file, section "COMPOSANTS"
//   <root>/HSF/vestra.wdd    analysis
//   <root>/VUZUVIZA/         the program's directory
//   data directory           "REPERTOIREF", written the Windows way and
//                            relative to the program's directory
// LocateInstallation reads an existing installation; the demo generator
// writes a new one with WriteParameterFile. Failures give false and a
// message naming what is missing; nothing is changed on disk by a read.
#ifndef VZ_TOOLS_DATATOOL_INSTALLATION_H_
#define VZ_TOOLS_DATATOOL_INSTALLATION_H_

#include <string>

namespace vz::datatool {

inline constexpr const char* kParameterFile = "FIC01/PARAM.DTA";
inline constexpr const char* kAnalysisFile = "HSF/vestra.wdd";
inline constexpr const char* kProgramDirectory = "VUZUVIZA";
inline constexpr const char* kDataDirectoryName = "DONNEES";
inline constexpr const char* kDataDirectoryParameter = "..\\DONNEES";
inline constexpr const char* kSection = "COMPOSANTS";

struct Installation {
  std::string root;
  std::string parameter_file;
  std::string analysis_file;
  std::string program_directory;
  std::string data_directory;  // a path of this system
};

// The paths of `root` (any path); no file is read.
Installation InstallationPaths(const std::string& root);

// Reads the data directory from the parameter file and checks that the
// analysis and the data directory exist.
bool LocateInstallation(const std::string& root, Installation* installation, std::string* error);

// Field 1 of a parameter value: the text before the first ",".
std::string FirstField(const std::string& value);

// The data directory named by a "REPERTOIREF" field, a path of this system:
// backslashes mapped, a relative path taken from the program's directory.
std::string ResolveDataDirectory(const std::string& program_directory, const std::string& field);

// Writes the parameter file of a new installation: "REPERTOIREF", "DPIOK",
// and "NUMREQ" when `last_query` > 0.
bool WriteParameterFile(const Installation& installation, int last_query, std::string* error);

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_INSTALLATION_H_
