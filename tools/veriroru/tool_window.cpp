#include "tools/veriroru/tool_window.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "platform/runtime/module.h"
#include "platform/runtime/window_model.h"
#include "tools/veriroru/backup_check.h"
#include "tools/veriroru/progress_window.h"
#include "tools/veriroru/tool_actions.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;
using vz::runtime::Field;
using vz::runtime::Module;
using vz::runtime::Window;

constexpr std::size_t kCommandLimit = 250;  // commands hold at most 254 characters

class ToolWindow {
 public:
  ToolWindow(std::unique_ptr<Module> module, const ToolPaths* paths)
      : module_(std::move(module)), paths_(paths) {}

  int32_t Send(const std::string& utf8) {
    std::string command = vz::os::Cp1252(utf8);
    if (command.size() > kCommandLimit) command.resize(kCommandLimit);
    return module_->Execute(nullptr, command.c_str());
  }

  Field* FieldOf(const char* name) {
    Window* window = module_->session().CurrentWindow();
    return window != nullptr ? window->FindField(name) : nullptr;
  }

  void ShowBackups() {
    Field* table = FieldOf("SAUVEGARDES");
    if (table == nullptr) return;
    backups_ = paths_ != nullptr ? ListBackups(paths_->data_directory) : std::vector<BackupEntry>();
    table->rows.clear();
    for (const BackupEntry& b : backups_) {
      table->rows.push_back({vz::os::Cp1252(b.readable), vz::os::Cp1252(b.name)});
    }
    table->selected = backups_.empty() ? 0 : 1;
  }

  void ShowReport(const std::string& utf8) {
    Field* table = FieldOf("RAPPORT");
    if (table == nullptr) return;
    table->rows.clear();
    std::size_t start = 0;
    while (start <= utf8.size()) {
      std::size_t end = utf8.find('\n', start);
      if (end == std::string::npos) end = utf8.size();
      if (end > start || end < utf8.size()) {
        table->rows.push_back({vz::os::Cp1252(utf8.substr(start, end - start))});
      }
      start = end + 1;
    }
    table->selected = 0;
  }

  // Runs an action under the progress window, closed again before the
  // outcome is shown; `action` is given the window's report.
  template <typename Action>
  ActionOutcome WithProgress(const std::string& title, Action action) {
    ProgressWindow progress([this](const std::string& utf8) { return Send(utf8); }, title);
    return action(progress.Report());
  }

  void Tell(const ActionOutcome& outcome) {
    ShowReport(outcome.report.empty() ? outcome.message : outcome.report);
    Send((outcome.ok ? "info," : "Erreur,") + outcome.message);
  }

  void RestoreSelected() {
    Field* table = FieldOf("SAUVEGARDES");
    int row = table != nullptr ? table->selected : 0;
    if (row < 1 || row > static_cast<int>(backups_.size())) {
      Send("Erreur,Choisissez d'abord une sauvegarde dans la liste.");
      return;
    }
    const BackupEntry& chosen = backups_[static_cast<std::size_t>(row - 1)];
    if (Send("OUINON,Remplacer les fichiers de données par la sauvegarde " +
             BackupPhrase(chosen.readable) +
             " ? Les fichiers actuels seront conservés dans SAUVEGARDES.") == 0) {
      return;
    }
    const std::string folder = chosen.folder;
    Tell(WithProgress(RestoreTitle(chosen.readable), [&](const ProgressReport& report) {
      return Restore(*paths_, folder, report);
    }));
    ShowBackups();
  }

  // The input loop; returns when the adviser leaves.
  void Run() {
    while (true) {
      Send("Ecran,Saisie");
      const std::string code = module_->session().return_code();
      if (code == "SVE") {
        Tell(WithProgress("Sauvegarde des fichiers de données",
                          [&](const ProgressReport& report) { return BackUp(*paths_, report); }));
        ShowBackups();
      } else if (code == "RST") {
        RestoreSelected();
      } else if (code == "RIX") {
        Tell(WithProgress("Vérification et réindexation", [&](const ProgressReport& report) {
          return CheckAndReindex(*paths_, report);
        }));
      } else {
        return;  // "ESC", "Quitter", or a window that can no longer take input
      }
    }
  }

  std::string Finish() { return module_->Finish(); }

 private:
  std::unique_ptr<Module> module_;
  const ToolPaths* paths_;
  std::vector<BackupEntry> backups_;
};

// The library file as "BIBLI" should name it: beside the executable when it
// is there, else the bare name (current directory, then its parent).
std::string LibraryToLoad() {
  const std::string beside = vz::os::JoinPath(vz::os::ProgramDirectory(), kWindowLibrary);
  std::error_code ec;
  if (fs::is_regular_file(beside, ec) && beside.size() < 200 &&
      beside.find(',') == std::string::npos) {
    return beside;
  }
  return kWindowLibrary;
}

}  // namespace

int RunToolWindow(bool located, const ToolPaths& paths, const std::string& locate_error) {
  std::unique_ptr<Module> module = Module::Create(Module::FromProcessEnvironment(),
                                                  vz::runtime::CodeRegistry(), [] { return 0; });
  ToolWindow window(std::move(module), located ? &paths : nullptr);
  if (window.Send("BIBLI,disque," + LibraryToLoad()) != 0) {
    std::fprintf(stderr, "veriroru : la bibliothèque de fenêtres %s est introuvable ou invalide.\n",
                 kWindowLibrary);
    return 1;
  }
  window.Send(std::string("Ouvre,") + kToolWindowName);
  if (located) {
    window.Send("AFFICHE,L_DONNEES=Répertoire des données : " + paths.data_directory);
    window.ShowBackups();
    const std::string warning = UnfinishedRestoreWarning(paths);
    if (!warning.empty()) {
      window.ShowReport(warning);
      window.Send("Erreur," + warning);
    }
    window.Run();
  } else {
    window.Send("Ecran,Selection,-,BT_SAUVEGARDER,BT_VERIFIER,BT_RESTAURER");
    window.ShowReport(locate_error);
    window.Send("Erreur," + locate_error);
    window.Send("Ecran,Saisie");
  }
  window.Send("Ferme");
  const std::string problem = window.Finish();
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", vz::os::Utf8(problem).c_str());
    return 70;
  }
  return 0;
}

}  // namespace vz::veriroru
