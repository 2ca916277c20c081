#include "tools/veriroru/tool_actions.h"

#include "tools/veriroru/backup.h"
#include "tools/veriroru/backup_check.h"
#include "tools/veriroru/restore.h"
#include "tools/veriroru/time_stamp.h"
#include "tools/veriroru/verification.h"

namespace vz::veriroru {

std::optional<vz::engine::Analysis> LoadToolAnalysis(const ToolPaths& paths) {
  if (paths.analysis_file.empty()) return std::nullopt;
  vz::engine::AnalysisError error;
  return vz::engine::LoadAnalysis(paths.analysis_file, &error);
}

std::string UnfinishedRestoreWarning(const ToolPaths& paths) {
  std::vector<std::string> folders = UnfinishedRestores(paths.data_directory);
  if (folders.empty()) return "";
  return "Attention : une restauration a été interrompue. Les fichiers qu'elle a remplacés sont "
         "dans " +
         folders.back() +
         " ; relancez la restauration puis vérifiez les fichiers avant de reprendre le travail.";
}

ActionOutcome BackUp(const ToolPaths& paths, const ProgressReport& progress) {
  BackupResult backup = RunBackup(paths, LocalNow(), progress);
  return ActionOutcome{backup.ok, backup.message, ""};
}

ActionOutcome Restore(const ToolPaths& paths, const std::string& named,
                      const ProgressReport& progress) {
  std::optional<vz::engine::Analysis> analysis = LoadToolAnalysis(paths);
  RestoreResult restore =
      RunRestore(paths, analysis ? &*analysis : nullptr,
                 BackupFolderNamed(paths.data_directory, named), LocalNow(), progress);
  return ActionOutcome{restore.ok, restore.message, ""};
}

ActionOutcome CheckAndReindex(const ToolPaths& paths, const ProgressReport& progress) {
  std::optional<vz::engine::Analysis> analysis = LoadToolAnalysis(paths);
  VerificationResult result =
      RunVerification(paths, analysis ? &*analysis : nullptr, LocalNow(), progress);
  ActionOutcome outcome;
  // Data files left half-swapped by an unfinished restore are not sound,
  // however well each file passes its own check.
  const std::string warning = UnfinishedRestoreWarning(paths);
  outcome.ok = result.ok && warning.empty();
  outcome.report = result.report;
  if (!warning.empty()) outcome.report = warning + "\n\n" + outcome.report;
  outcome.message = outcome.ok ? "Vérification terminée : aucun problème."
                               : "Vérification terminée : des problèmes restent, voir le rapport.";
  if (result.ok && !warning.empty()) {
    outcome.message =
        "Vérification terminée : une restauration interrompue reste à finir ou à "
        "défaire.";
  }
  if (result.report_path.empty()) {
    outcome.message = "Vérification terminée, mais le rapport n'a pas pu être écrit.";
  }
  return outcome;
}

}  // namespace vz::veriroru
