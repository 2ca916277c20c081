// Creates a demo installation on disk (docs/demo-installation.md): the
// folders, the parameter file, the analysis, then the demo data written
// through the record engine in batches, and optionally a letter template and
// the project's sample letter templates.
//
// Refuses (false, `error` set) a root that exists and is not an empty
// folder, so that no installation is ever written over. A failure half-way
// leaves what was written so far; the message says where it stopped.
#ifndef VZ_TOOLS_DATATOOL_DEMO_INSTALLATION_H_
#define VZ_TOOLS_DATATOOL_DEMO_INSTALLATION_H_

#include <string>

#include "tools/datatool/demo_generator.h"

namespace vz::datatool {

inline constexpr const char* kLetterTemplate = "LETTRE01.TXT";

struct DemoInstallationOptions {
  GenerateOptions data;
  bool letters = false;
  // When set, every file of this folder (the project's letter templates) is
  // copied into the data directory.
  std::string templates_folder;
};

// An installation without data: the folders, the parameter file ("NUMREQ"
// written when last_query > 0) and the analysis. Refuses an existing root
// that is not an empty folder.
bool CreateEmptyInstallation(const std::string& root, int last_query, std::string* error);

bool CreateDemoInstallation(const std::string& root, const DemoInstallationOptions& options,
                            const ProgressFn& progress, GenerateStats* stats, std::string* error);

// The sample letter, cp1252 with CR LF line ends and field keywords.
std::string SampleLetter();

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_DEMO_INSTALLATION_H_
