#include "tools/veriroru/restore.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/os/profile_file.h"
#include "platform/os/whole_file.h"
#include "tools/veriroru/backup.h"
#include "tools/veriroru/backup_check.h"
#include "tools/veriroru/database_file.h"
#include "tools/veriroru/manifest.h"
#include "tools/veriroru/server_store.h"
#include "tools/veriroru/time_stamp.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSideFiles[] = {"-wal", "-shm", "-journal"};
constexpr const char* kTemporarySuffix = ".restauration";

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// Renames done so far, undone in reverse order when a later step fails.
class Moves {
 public:
  bool Move(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) return false;
    done_.emplace_back(from, to);
    return true;
  }
  // True when every file is back where it was.
  bool UndoAll() {
    bool all = true;
    for (auto it = done_.rbegin(); it != done_.rend(); ++it) {
      all = std::rename(it->second.c_str(), it->first.c_str()) == 0 && all;
    }
    done_.clear();
    return all;
  }

 private:
  std::vector<std::pair<std::string, std::string>> done_;
};

// Folds the write-ahead log into the file and leaves it as one file, when
// SQLite can; a damaged file is moved as it is, with its side files.
void MakeWhole(const std::string& path) {
  std::string why;
  std::unique_ptr<DatabaseFile> db = DatabaseFile::Open(path, DatabaseFile::Mode::kReadWrite, &why);
  if (db == nullptr) return;
  if (db->Exec("PRAGMA wal_checkpoint(TRUNCATE)", &why))
    db->Exec("PRAGMA journal_mode=DELETE", &why);
}

void RemoveTemporaries(const std::vector<std::string>& temporaries) {
  std::error_code ec;
  for (const std::string& t : temporaries) fs::remove(t, ec);
}

// The backup's parameter text with the current data directory kept.
std::string ParameterTextToRestore(const std::string& backup_text,
                                   const std::string& current_path) {
  std::string current_text;
  if (!vz::os::ReadWholeFile(current_path, &current_text)) return backup_text;
  const std::string current = vz::os::ProfileValue(current_text, "COMPOSANTS", "REPERTOIREF");
  if (current.empty() ||
      current == vz::os::ProfileValue(backup_text, "COMPOSANTS", "REPERTOIREF") ||
      !vz::os::IsWritableProfileEntry("COMPOSANTS", "REPERTOIREF", current)) {
    return backup_text;
  }
  return vz::os::SetProfileValue(backup_text, "COMPOSANTS", "REPERTOIREF", current);
}

// A manifest for the folder of the replaced files, when they are all sound.
void WriteKeptManifest(const std::string& folder, const std::string& stamp,
                       const std::string& data_directory) {
  Manifest manifest;
  manifest.date = stamp;
  manifest.data_directory = data_directory;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    ManifestItem item;
    item.name = name;
    if (name.find("-wal") != std::string::npos || name.find("-shm") != std::string::npos ||
        name.find("-journal") != std::string::npos) {
      return;  // a file that could not be made whole
    }
    std::string why;
    if (name.size() > 5 && name.compare(name.size() - 5, 5, ".vzdb") == 0) {
      std::unique_ptr<DatabaseFile> db =
          DatabaseFile::Open(it->path().string(), DatabaseFile::Mode::kReadOnly, &why);
      if (db == nullptr || !db->IntegrityProblems(1).empty()) return;
      item.records = db->RecordCount();
      if (item.records < 0) return;
    } else {
      item.kind = ItemKind::kParameters;
    }
    if (!ChecksumFile(it->path().string(), &item.crc, &item.size)) return;
    manifest.items.push_back(item);
  }
  if (manifest.items.empty()) return;
  vz::os::ReplaceFileContents(folder + "/" + kManifestName, ManifestText(manifest));
}

RestoreResult Refused(const std::string& message) {
  RestoreResult result;
  result.message = "Restauration refusée : " + message + " Aucun fichier n'a été remplacé.";
  return result;
}

// The restore of a server installation: the server's files kept in a folder
// of SAUVEGARDES (a backup of their own, with its manifest), then each file
// of the backup copied onto the server, whole or not at all. The parameter
// file stays as it is: it names the server.
RestoreResult RestoreOntoServer(const ToolPaths& paths, const std::string& conninfo,
                                const std::string& backup_folder, const BackupCheck& check,
                                const std::tm& when, const ProgressReport& progress) {
  const std::string& data = paths.data_directory;
  const std::string stamp = FolderStamp(when);
  const std::string kept =
      MakeFreshFolder(data + "/" + kBackupFolder, "avant-restauration-" + stamp);
  if (kept.empty()) {
    return Refused("le dossier de conservation ne peut pas être créé dans " + data + "/" +
                   kBackupFolder + ".");
  }
  std::vector<std::string> kept_names;
  std::string why;
  if (!CopyServerFiles(conninfo, paths.analysis_file, kept, nullptr, &kept_names, &why)) {
    std::error_code ec;
    fs::remove_all(kept, ec);
    return Refused("les fichiers du serveur n'ont pas pu être conservés (" + why + ").");
  }
  WriteKeptManifest(kept, stamp, data);
  std::vector<std::string> names;
  for (const ManifestItem& item : check.manifest.items) {
    if (item.kind == ItemKind::kDatabase) names.push_back(item.name);
  }
  RestoreResult result;
  result.kept_folder = kept;
  if (!CopyFilesToServer(conninfo, paths.analysis_file, backup_folder, names, progress, &why)) {
    result.message = "Restauration interrompue : " + why +
                     ". Les fichiers du serveur d'avant la restauration sont conservés dans " +
                     kept + " : restaurez ce dossier pour revenir en arrière.";
    return result;
  }
  result.ok = true;
  result.message = "Restauration terminée : les fichiers de données de la sauvegarde du " +
                   ReadableFolderStamp(check.manifest.date) +
                   " sont en place sur le serveur. Les fichiers remplacés sont conservés dans " +
                   kept + ".";
  return result;
}

}  // namespace

std::vector<std::string> UnfinishedRestores(const std::string& data_directory) {
  return vz::db::UnfinishedRestoreFolders(data_directory);
}

RestoreResult RunRestore(const ToolPaths& paths, const vz::engine::Analysis* analysis,
                         const std::string& backup_folder, const std::tm& when,
                         const ProgressReport& progress) {
  const vz::os::FileLock in_use =
      vz::db::LockDataDirectory(paths.data_directory, vz::os::FileLock::Mode::kExclusive);
  if (in_use.state() == vz::os::FileLock::State::kBusy) {
    return Refused("un programme de la suite travaille sur " + paths.data_directory +
                   " (VUZUVIZA ouvert sur ces données, sur ce poste ou un autre) ; fermez-le "
                   "puis relancez la restauration.");
  }
  BackupCheck check = CheckBackup(backup_folder, analysis, progress);
  if (!check.ok) {
    return Refused((check.faulty_file.empty() ? "" : check.faulty_file + " : ") + check.reason +
                   ".");
  }
  if (const std::optional<std::string> server = ServerConnection(paths)) {
    return RestoreOntoServer(paths, *server, backup_folder, check, when, progress);
  }
  const std::string& data = paths.data_directory;

  // 1. Copies under temporary names, checked again.
  std::vector<std::string> temporaries;
  std::string parameter_text;
  bool restore_parameters = false;
  const std::size_t databases = check.manifest.DatabaseCount();
  for (const ManifestItem& item : check.manifest.items) {
    const std::string source = backup_folder + "/" + item.name;
    if (item.kind == ItemKind::kParameters) {
      if (paths.parameter_file.empty()) continue;
      if (!vz::os::ReadWholeFile(source, &parameter_text) ||
          Crc32(0, parameter_text.data(), parameter_text.size()) != item.crc) {
        RemoveTemporaries(temporaries);
        return Refused(item.name + " : lecture impossible.");
      }
      restore_parameters = true;
      continue;
    }
    ReportProgress(progress, ProgressPhase::kRestoreCopy, item.name, temporaries.size(), databases);
    const std::string temporary = data + "/." + item.name + kTemporarySuffix;
    std::error_code ec;
    fs::remove(temporary, ec);
    temporaries.push_back(temporary);
    uint32_t crc = 0;
    uint64_t size = 0;
    if (!fs::copy_file(source, temporary, ec) || !ChecksumFile(temporary, &crc, &size) ||
        crc != item.crc || size != item.size || !FlushToDisk(temporary)) {
      RemoveTemporaries(temporaries);
      return Refused(item.name + " : copie impossible dans " + data + ".");
    }
  }

  // 2. The files in place moved aside.
  const std::string stamp = FolderStamp(when);
  const std::string kept =
      MakeFreshFolder(data + "/" + kBackupFolder, "avant-restauration-" + stamp);
  if (kept.empty()) {
    RemoveTemporaries(temporaries);
    return Refused("le dossier de conservation ne peut pas être créé dans " + data + "/" +
                   kBackupFolder + ".");
  }
  // Stays there if the run is stopped half-way, so that the next run says so.
  const std::string marker = kept + "/" + kUnfinishedRestoreMarker;
  vz::os::ReplaceFileContents(marker, "Restauration de " + backup_folder +
                                          " commencée ; les fichiers remplacés sont ici.\n");
  Moves moves;
  bool ok = true;
  for (const std::string& name : DataFileNames(data)) {
    const std::string path = data + "/" + name;
    MakeWhole(path);
    ok = ok && moves.Move(path, kept + "/" + name);
    for (const char* side : kSideFiles) {
      if (ok && Exists(path + side)) ok = moves.Move(path + side, kept + "/" + name + side);
    }
  }
  // 3. The copies put in place.
  for (const ManifestItem& item : check.manifest.items) {
    if (!ok || item.kind != ItemKind::kDatabase) continue;
    const std::string path = data + "/" + item.name;
    for (const char* side : kSideFiles) {
      if (ok && Exists(path + side)) ok = moves.Move(path + side, kept + "/" + item.name + side);
    }
    ok = ok && moves.Move(data + "/." + item.name + kTemporarySuffix, path);
  }
  if (!ok) {
    // Only an emptied folder is removed: a file that could not be put back
    // stays in it, with the marker.
    if (moves.UndoAll()) {
      std::error_code ec;
      fs::remove(marker, ec);
      fs::remove(kept, ec);
    }
    RemoveTemporaries(temporaries);
    return Refused("un fichier de " + data + " ne peut pas être remplacé.");
  }

  // 4. The parameter file.
  std::string parameter_note;
  if (restore_parameters) {
    std::string current;
    const std::string kept_parameters =
        kept + "/" + fs::path(paths.parameter_file).filename().string();
    bool saved = !vz::os::ReadWholeFile(paths.parameter_file, &current) ||
                 vz::os::ReplaceFileContents(kept_parameters, current);
    if (saved &&
        vz::os::ReplaceFileContents(paths.parameter_file,
                                    ParameterTextToRestore(parameter_text, paths.parameter_file))) {
      parameter_note = " et le fichier de paramètres";
    } else {
      parameter_note = " (le fichier de paramètres n'a pas pu être restauré)";
    }
  }
  // The data are the backup's again: earlier unfinished restores are over
  // (their folders stay, with the files they kept).
  std::error_code ec;
  for (const std::string& folder : UnfinishedRestores(data)) {
    fs::remove(folder + "/" + kUnfinishedRestoreMarker, ec);
  }
  WriteKeptManifest(kept, stamp, data);

  RestoreResult result;
  result.ok = true;
  result.kept_folder = kept;
  result.message = "Restauration terminée : les fichiers de données" + parameter_note +
                   " de la sauvegarde du " + ReadableFolderStamp(check.manifest.date) +
                   " sont en place. Les fichiers remplacés sont conservés dans " + kept + ".";
  return result;
}

}  // namespace vz::veriroru
