#include "tools/veriroru/progress_window.h"

#include <algorithm>
#include <utility>

namespace vz::veriroru {
namespace {

std::string StepText(ProgressPhase phase) {
  switch (phase) {
    case ProgressPhase::kBackup:
      return "Copie des fichiers dans la sauvegarde";
    case ProgressPhase::kBackupCheck:
      return "Contrôle de la sauvegarde avant de remplacer les fichiers";
    case ProgressPhase::kRestoreCopy:
      return "Copie des fichiers de la sauvegarde dans le répertoire des données";
    case ProgressPhase::kCheckAndIndex:
      return "Contrôle des fichiers et reconstruction des index";
  }
  return "";
}

}  // namespace

ProgressTexts DescribeProgress(const ProgressStep& step) {
  ProgressTexts texts;
  texts.step = StepText(step.phase);
  texts.file = step.file;
  std::size_t share = 0;
  if (step.total > 0) {
    const std::size_t done = std::min(step.done, step.total);
    texts.count =
        std::to_string(std::min(done + 1, step.total)) + " sur " + std::to_string(step.total);
    const double file_share = std::clamp(step.file_share, 0.0, 1.0);
    const double handled = done < step.total ? done + file_share : static_cast<double>(done);
    share = static_cast<std::size_t>(handled * 100 / static_cast<double>(step.total));
  }
  texts.bar.assign(share * kProgressBarMarks / 100, '|');
  texts.percent = std::to_string(share) + " %";
  return texts;
}

std::string BackupPhrase(const std::string& readable) {
  const bool kept_before_restore = readable.rfind("avant ", 0) == 0;
  return (kept_before_restore ? "faite " : "du ") + readable;
}

std::string RestoreTitle(const std::string& readable) {
  return "Restauration de la sauvegarde " + BackupPhrase(readable);
}

ProgressWindow::ProgressWindow(Sender send, const std::string& title) : send_(std::move(send)) {
  open_ = send_(std::string("Ouvre,") + kProgressWindowName) == 0;
  if (!open_) return;
  send_("AFFICHE,INTITULE=" + title);
  send_("MULTITACHE,-2");
}

ProgressWindow::~ProgressWindow() {
  if (open_) send_("Ferme");
}

void ProgressWindow::Show(const ProgressStep& step) {
  if (!open_) return;
  const ProgressTexts texts = DescribeProgress(step);
  send_("AFFICHE,ETAPE=" + texts.step);
  send_("AFFICHE,FICHIER=" + texts.file);
  send_("AFFICHE,COMPTE=" + texts.count);
  send_("AFFICHE,JAUGE=" + texts.bar);
  send_("AFFICHE,POURCENT=" + texts.percent);
  send_("MULTITACHE,-2");
}

}  // namespace vz::veriroru
