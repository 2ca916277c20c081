#include "tools/veriroru/command_line.h"

#include <cstdlib>

#include "platform/os/whole_file.h"
#include "platform/runtime/module.h"
#include "platform/runtime/scenario.h"
#include "platform/runtime/window_model.h"
#include "tools/veriroru/backup_check.h"
#include "tools/veriroru/tool_actions.h"
#include "tools/veriroru/tool_paths.h"
#include "tools/veriroru/tool_window.h"

namespace vz::veriroru {
namespace {

Command Usage(const std::string& error) {
  Command command;
  command.kind = Command::Kind::kUsage;
  command.error = error;
  return command;
}

enum class ScenarioOwner { kNone, kOurs, kAnotherProgram };

// A scenario is ours when its first input names our window. The program that
// starts us may itself be played by a scenario, which we inherit with its
// environment: playing it would fail both runs, so it is left to its owner.
ScenarioOwner WhoseScenario() {
  const char* path = std::getenv("VZ_SCENARIO");
  if (path == nullptr || path[0] == '\0') return ScenarioOwner::kNone;
  std::string text;
  if (!vz::os::ReadWholeFile(path, &text)) return ScenarioOwner::kOurs;  // the runtime says why
  vz::runtime::ScenarioLoad load = vz::runtime::ParseScenario(text, path);
  if (!load.scenario) return ScenarioOwner::kOurs;
  for (const vz::runtime::ScenarioStep& step : load.scenario->steps) {
    if (step.kind != vz::runtime::ScenarioStep::Kind::kInput) continue;
    return vz::runtime::WindowKey(step.window) == vz::runtime::WindowKey(kToolWindowName)
               ? ScenarioOwner::kOurs
               : ScenarioOwner::kAnotherProgram;
  }
  return ScenarioOwner::kOurs;
}

}  // namespace

std::string UsageText() {
  return "Usage : veriroru [commande] [--donnees <répertoire>]\n"
         "  (sans commande)         fenêtre des outils (affichage ou scénario VZ_SCENARIO)\n"
         "  sauvegarder             copie les fichiers de données dans SAUVEGARDES/\n"
         "  restaurer <dossier>     remet en place une sauvegarde vérifiée\n"
         "  verifier                vérifie et réindexe les fichiers, rapport dans RAPPORTS/\n"
         "  sauvegardes             liste les sauvegardes\n"
         "  --donnees <répertoire>  répertoire des données (sinon celui du fichier de "
         "paramètres ..\\FIC01\\PARAM.DTA)\n";
}

Command ParseCommandLine(const std::vector<std::string>& arguments) {
  Command command;
  std::vector<std::string> words;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a.empty()) continue;
    if (a == "--donnees") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        return Usage("--donnees demande un répertoire.");
      }
      command.data_directory = arguments[++i];
    } else if (a.rfind("--donnees=", 0) == 0) {
      command.data_directory = a.substr(10);
      if (command.data_directory.empty()) return Usage("--donnees demande un répertoire.");
    } else if (a == "--aide" || a == "-h" || a == "--help") {
      return Usage("");
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage("option inconnue : " + a);
    } else {
      words.push_back(a);
    }
  }
  if (words.empty()) return command;
  const std::string& verb = words[0];
  std::size_t expected = 1;
  if (verb == "sauvegarder") {
    command.kind = Command::Kind::kBackup;
  } else if (verb == "restaurer") {
    command.kind = Command::Kind::kRestore;
    if (words.size() < 2) return Usage("restaurer demande le dossier de la sauvegarde.");
    command.backup = words[1];
    expected = 2;
  } else if (verb == "verifier" || verb == "vérifier") {
    command.kind = Command::Kind::kCheck;
  } else if (verb == "sauvegardes") {
    command.kind = Command::Kind::kList;
  } else {
    return Usage("commande inconnue : " + verb);
  }
  if (words.size() > expected) return Usage("argument en trop : " + words[expected]);
  return command;
}

int RunCommandLine(const Command& command, std::ostream& out, std::ostream& err) {
  if (command.kind == Command::Kind::kUsage) {
    if (!command.error.empty()) err << "veriroru : " << command.error << "\n";
    err << UsageText();
    return command.error.empty() ? 0 : 2;
  }
  ToolPaths paths;
  std::string error;
  const bool located = LocateToolPaths(command.data_directory, &paths, &error);
  if (command.kind == Command::Kind::kWindow) {
    const ScenarioOwner owner = WhoseScenario();
    if (owner == ScenarioOwner::kAnotherProgram) {
      err << "veriroru : le scénario (VZ_SCENARIO) est celui d'un autre programme ; la fenêtre "
             "des outils ne s'ouvre pas.\n";
      return 0;
    }
    if (owner == ScenarioOwner::kNone && !vz::runtime::DisplayAvailable()) {
      err << "veriroru : pas d'affichage ni de scénario (VZ_SCENARIO) pour la fenêtre des "
             "outils.\n"
          << UsageText();
      return 0;
    }
    return RunToolWindow(located, paths, error);
  }
  if (!located) {
    err << "veriroru : " << error << "\n";
    return 1;
  }
  const std::string warning = UnfinishedRestoreWarning(paths);
  if (!warning.empty() && command.kind != Command::Kind::kCheck) {
    err << "veriroru : " << warning << "\n";
  }
  ActionOutcome outcome;
  switch (command.kind) {
    case Command::Kind::kBackup:
      outcome = BackUp(paths);
      break;
    case Command::Kind::kRestore:
      outcome = Restore(paths, command.backup);
      break;
    case Command::Kind::kCheck:
      outcome = CheckAndReindex(paths);
      out << outcome.report;
      break;
    default: {
      std::vector<BackupEntry> backups = ListBackups(paths.data_directory);
      if (backups.empty())
        out << "Aucune sauvegarde dans " << paths.data_directory << "/" << kBackupFolder << ".\n";
      for (const BackupEntry& b : backups) out << b.name << "\t" << b.readable << "\n";
      return 0;
    }
  }
  (outcome.ok ? out : err) << (outcome.ok ? "" : "veriroru : ") << outcome.message << "\n";
  return outcome.ok ? 0 : 1;
}

}  // namespace vz::veriroru
