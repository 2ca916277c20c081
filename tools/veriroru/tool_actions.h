// The three actions of the tools program, as the command line and the
// window run them: backup, restore of a named backup, check and reindex.
// Each loads what it needs (the analysis), stamps the time and gives one
// outcome: success or not, a French message (UTF-8) and, for the check, the
// report's text. Nothing here throws or prints.
#ifndef VZ_TOOLS_VERIRORU_TOOL_ACTIONS_H_
#define VZ_TOOLS_VERIRORU_TOOL_ACTIONS_H_

#include <optional>
#include <string>

#include "platform/engine/analysis.h"
#include "tools/veriroru/progress.h"
#include "tools/veriroru/tool_paths.h"

namespace vz::veriroru {

struct ActionOutcome {
  bool ok = false;
  std::string message;
  std::string report;  // the check's report; empty for the other actions
};

// `progress`, when given, is told before each data file is handled
// (progress.h); a restore tells it for its check, then for its copy.
ActionOutcome BackUp(const ToolPaths& paths, const ProgressReport& progress = {});
// `named`: a folder name of <data>/SAUVEGARDES, or a path.
ActionOutcome Restore(const ToolPaths& paths, const std::string& named,
                      const ProgressReport& progress = {});
ActionOutcome CheckAndReindex(const ToolPaths& paths, const ProgressReport& progress = {});

// A warning when a restore was stopped half-way (restore.h), else "".
std::string UnfinishedRestoreWarning(const ToolPaths& paths);

// The installation's analysis; nullopt when it is missing or refused.
std::optional<vz::engine::Analysis> LoadToolAnalysis(const ToolPaths& paths);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_TOOL_ACTIONS_H_
