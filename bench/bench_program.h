// Helpers shared by the benchmarks that run the program itself on a generated
// installation: the screen project placed beside the program with an empty
// scenario, the screen module started on it (wired as the program wires
// it), the program's database context opened over the installation and
// closed at the end, a query line written into REQUETES, and the data files
// rewritten in the compact form. Failures come
// back as false, never an exception.
//
// REQUIRES: VZ_PROJECT_DIR names the folder of the screen project (set by
//           bench/CMakeLists.txt for each benchmark that includes this file).
#ifndef VZ_BENCH_BENCH_PROGRAM_H_
#define VZ_BENCH_BENCH_PROGRAM_H_

#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "bench/bench_support.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/analysis_writer.h"
#include "src/db/describe.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/db/record_session.h"
#include "src/screen/bridge.h"
#include "src/startup/runtime_wiring.h"
#include "tools/datatool/installation.h"
#include "tools/datatool/record_form_migration.h"

namespace vz::bench {

// Copies ORVANE.wdl and ORVANE.WDP beside the program, writes an empty
// scenario (a single comment line, `comment`) into `folder` and makes the
// program's folder the current one. Returns the scenario's path.
inline std::string PlaceScreenProject(const datatool::Installation& installation,
                                      const std::string& folder, std::string_view comment) {
  namespace fs = std::filesystem;
  const fs::path program = installation.program_directory;
  fs::create_directories(program);
  for (const char* name : {"ORVANE.wdl", "ORVANE.WDP"}) {
    fs::copy_file(fs::path(VZ_PROJECT_DIR) / name, program / name,
                  fs::copy_options::overwrite_existing);
  }
  const std::string scenario = (fs::path(folder) / "empty.scenario").string();
  std::ofstream(scenario) << comment << "\n";
  fs::current_path(program);
  return scenario;
}

// Starts a screen module with the front end the environment now names, over
// the real runtime wired as the program wires it, and opens the screen
// project in it. False when the project does not open.
inline bool StartScreenModule() {
  startup::WireScreenRuntime();
  screen::SendCommand("BIBLI,disque,ORVANE.wdl");
  screen::SendCommand("PROJET,ORVANE.WDP");
  return screen::IntegerReturnValue() == 0;
}

// PlaceScreenProject, then the scripted front end on the empty scenario (the
// run never waits for input) and StartScreenModule. False, after printing
// "<program>: the screen project does not open", when it does not open.
inline bool OpenScreenProject(const char* program, const datatool::Installation& installation,
                              const std::string& folder, std::string_view comment) {
  const std::string scenario = PlaceScreenProject(installation, folder, comment);
  setenv("VZ_SCENARIO", scenario.c_str(), 1);
  if (!StartScreenModule()) {
    std::fprintf(stderr, "%s: the screen project does not open\n", program);
    return false;
  }
  return true;
}

// The installation of the run (ObtainInstallation, then its generation
// printed when it is new, and LocateBenchInstallation) with the screen
// project open on it (OpenScreenProject). False, after printing why, when
// any step fails.
inline bool PrepareBenchRun(const char* program, std::string_view prefix, bool queries,
                            std::string_view comment, CommonOptions* options,
                            BenchInstallation* generated, datatool::Installation* installation) {
  if (!ObtainInstallation(program, prefix, queries, options, generated)) return false;
  if (options->installation.empty()) PrintGeneration(program, *generated);
  if (!LocateBenchInstallation(program, *generated, installation)) return false;
  return OpenScreenProject(program, *installation, generated->folder, comment);
}

// The program's database context over the installation, with the tab as the
// list separator.
// Rewrites the installation's data files in the compact form, as the tools
// program's "compact" does, and says so on standard output. False (said on
// standard error) when a file could not be.
inline bool MakeCompact(const char* program, const datatool::Installation& installation) {
  const auto start = Clock::now();
  std::ostringstream lines;
  std::string error;
  if (!datatool::MigrateRecordForm(installation, engine::RecordForm::kCompact, lines, std::cerr,
                                   &error)) {
    std::fprintf(stderr, "%s: compact form: %s\n", program, error.c_str());
    return false;
  }
  std::printf("%s: data files in the compact form (%.1f s)\n", program, Seconds(start));
  return true;
}

inline void OpenProgramDatabase(const datatool::Installation& installation) {
  db::SetContextHandle(db::CreateEngineContext(103));
  db::DescribeAllFiles();
  db::Houvreanalyse(installation.analysis_file, "", "", "", "");
  db::Hsubstrep(db::kPlaceholderDirectory, installation.data_directory);
  db::Hseterrignore(1);
  config::SetDataDirectory(installation.data_directory);
  config::SetListSeparator('\t');
}

// Closes every file and the database context.
inline void CloseProgramDatabase() {
  db::Hferme("");
  db::HftermineCTX();
}

// Adds one line of query `code` (prefix and number) to REQUETES, marked "E".
inline void AddQueryLine(std::string_view code, std::string_view key, std::string_view state,
                         std::string_view text) {
  std::memset(db::RecordBuffer(db::FileId::REQUETES), 0,
              db::RecordBufferSize(db::FileId::REQUETES));
  db::QueryLineRecord line = db::CurrentQueryLine();
  line.SetPrefix(code.substr(0, 2));
  line.SetNumber(code.substr(2));
  line.SetCriteriaKey(key);
  line.SetState(state);
  line.SetMarker("E");
  line.SetLineText(text);
  db::Hajoute("REQUETES");
}

}  // namespace vz::bench

#endif  // VZ_BENCH_BENCH_PROGRAM_H_
