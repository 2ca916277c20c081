#include "src/startup/data_directory_hold.h"

#include <vector>

#include "platform/os/cp1252.h"
#include "platform/os/file_lock.h"
#include "platform/os/paths.h"
#include "src/config/program_settings.h"
#include "src/db/data_directory_use.h"
#include "src/screen/bridge.h"

namespace vz::startup {
namespace {

os::FileLock& Hold() {
  static os::FileLock hold;
  return hold;
}

// Set when the hold was refused because a restore has the data directory.
bool& RestoreRunning() {
  static bool running = false;
  return running;
}

std::string NativeDataDirectory() {
  return os::ToNativePath(config::DataDirectory());
}

}  // namespace

void HoldDataDirectory() {
  Hold().Release();
  RestoreRunning() = false;
  const std::string data = NativeDataDirectory();
  if (data.empty()) return;
  Hold() = db::LockDataDirectory(data, os::FileLock::Mode::kShared);
  RestoreRunning() = Hold().state() == os::FileLock::State::kBusy;
}

void ReleaseDataDirectory() {
  Hold().Release();
  RestoreRunning() = false;
}

std::string RestoreRefusal(std::string_view what) {
  if (RestoreRunning()) HoldDataDirectory();
  const std::string data = NativeDataDirectory();
  if (RestoreRunning()) {
    return "Une restauration des fichiers de données est en cours sur " + data + " : " +
           std::string(what) + ". Attendez la fin de la restauration.";
  }
  const std::vector<std::string> unfinished = db::UnfinishedRestoreFolders(data);
  if (unfinished.empty()) return "";
  return "Une restauration des fichiers de données a été interrompue (les fichiers qu'elle a "
         "remplacés sont dans " +
         unfinished.back() + ") : " + std::string(what) +
         ". Terminez la restauration ou revenez aux données d'avant (menu Outils, Restauration "
         "des fichiers), puis vérifiez les fichiers.";
}

bool RefusedForRestore(std::string_view what) {
  const std::string refusal = RestoreRefusal(what);
  if (refusal.empty()) return false;
  screen::SendCommand(os::Cp1252("Erreur," + refusal));
  return true;
}

void HoldDataDirectoryAndWarn() {
  HoldDataDirectory();
  RefusedForRestore("les sélections sont refusées");
}

}  // namespace vz::startup
