// Check and reindex of every data file of the data directory (file_check.h)
// and the report of it, written in cp1252 (lines ended by CR LF) to
//
//   <data>/RAPPORTS/verification-AAAAMMJJ-HHMMSS.txt   (-2, -3... within a second)
//
// The report gives, per file, its records, the keys rebuilt, what was put
// right and the problems left, then a summary. The run fails (ok false) when
// a problem is left or the report cannot be written; the text is returned in
// UTF-8 either way, to be shown.
#ifndef VZ_TOOLS_VERIRORU_VERIFICATION_H_
#define VZ_TOOLS_VERIRORU_VERIFICATION_H_

#include <ctime>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"
#include "tools/veriroru/file_check.h"
#include "tools/veriroru/progress.h"
#include "tools/veriroru/tool_paths.h"

namespace vz::veriroru {

struct VerificationResult {
  bool ok = false;
  std::string report_path;  // "" when it could not be written
  std::string report;       // UTF-8
  std::vector<FileCheckResult> files;
};

// `analysis` null: the keys are not checked (each file says so).
// `progress` is told before each file is checked (ProgressPhase::kCheckAndIndex).
VerificationResult RunVerification(const ToolPaths& paths, const vz::engine::Analysis* analysis,
                                   const std::tm& when, const ProgressReport& progress = {});

// The report's text for the results (UTF-8, lines ended by LF).
std::string ReportText(const ToolPaths& paths, const std::tm& when,
                       const std::vector<FileCheckResult>& files);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_VERIFICATION_H_
