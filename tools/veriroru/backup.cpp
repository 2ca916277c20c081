#include "tools/veriroru/backup.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <system_error>

#include "platform/engine/paths.h"
#include "platform/os/whole_file.h"
#include "tools/veriroru/database_file.h"
#include "tools/veriroru/manifest.h"
#include "tools/veriroru/server_store.h"
#include "tools/veriroru/time_stamp.h"
#include "tools/veriroru/unfinished_backups.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

BackupResult Fail(const std::string& folder, const std::string& message) {
  std::error_code ec;
  if (!folder.empty()) fs::remove_all(folder, ec);
  BackupResult result;
  result.message = "Sauvegarde impossible : " + message;
  return result;
}

}  // namespace

std::vector<std::string> DataFileNames(const std::string& data_directory) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(data_directory, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_error;
    if (!it->is_regular_file(type_error)) continue;
    std::string name = it->path().filename().string();
    if (EndsWith(name, vz::engine::kDatabaseExtension) && IsPlainFileName(name)) {
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string MakeFreshFolder(const std::string& parent, const std::string& stamp) {
  std::error_code ec;
  fs::create_directories(parent, ec);
  for (int attempt = 1; attempt < 1000; ++attempt) {
    std::string folder = parent + "/" + stamp;
    if (attempt > 1) folder += "-" + std::to_string(attempt);
    if (::mkdir(folder.c_str(), 0755) == 0) return folder;
    if (errno != EEXIST) return "";
  }
  return "";
}

BackupResult RunBackup(const ToolPaths& paths, const std::tm& when,
                       const ProgressReport& progress) {
  // On a server installation the server's files are copied (server_store.h).
  const std::optional<std::string> server = ServerConnection(paths);
  std::vector<std::string> names;
  if (!server) names = DataFileNames(paths.data_directory);
  if (!server && names.empty()) {
    return Fail("", "aucun fichier de données dans " + paths.data_directory);
  }
  // Folders of backups killed half-way go first; this one is then marked as
  // running until it ends, so that no other clean-up takes it for one.
  RemoveUnfinishedBackups(paths.data_directory);
  const vz::os::FileLock running = HoldBackupInProgress(paths.data_directory);
  Manifest manifest;
  manifest.date = FolderStamp(when);
  manifest.data_directory = paths.data_directory;
  const std::string folder =
      MakeFreshFolder(paths.data_directory + "/" + kBackupFolder, manifest.date);
  if (folder.empty()) {
    return Fail(
        "", "le dossier " + paths.data_directory + "/" + kBackupFolder + " ne peut pas être créé");
  }
  if (server) {
    std::string why;
    if (!CopyServerFiles(*server, paths.analysis_file, folder, progress, &names, &why)) {
      return Fail(folder, why);
    }
  }
  for (const std::string& name : names) {
    const std::string copy = folder + "/" + name;
    std::string why;
    if (!server) {  // a server's files are already in the folder
      ReportProgress(progress, ProgressPhase::kBackup, name, manifest.items.size(), names.size());
      const std::size_t done = manifest.items.size();
      // A large file tells how far its copy has gone; its end is told by the
      // next file's report (or by the outcome).
      const auto copied = [&](double share) {
        if (share < 1.0) {
          ReportProgress(progress, ProgressPhase::kBackup, name, done, names.size(), share);
        }
      };
      if (!CopyDatabase(paths.data_directory + "/" + name, copy, &why,
                        progress ? std::function<void(double)>(copied) : nullptr)) {
        return Fail(folder, name + " : " + why);
      }
    }
    ManifestItem item;
    item.name = name;
    std::unique_ptr<DatabaseFile> db =
        DatabaseFile::Open(copy, DatabaseFile::Mode::kReadOnly, &why);
    item.records = db != nullptr ? db->RecordCount() : -1;
    db.reset();
    if (item.records < 0) return Fail(folder, name + " : enregistrements illisibles");
    if (!ChecksumFile(copy, &item.crc, &item.size))
      return Fail(folder, name + " : copie illisible");
    manifest.items.push_back(item);
  }
  if (!paths.parameter_file.empty()) {
    ManifestItem item;
    item.name = fs::path(paths.parameter_file).filename().string();
    item.kind = ItemKind::kParameters;
    std::string contents;
    if (!vz::os::ReadWholeFile(paths.parameter_file, &contents) ||
        !vz::os::ReplaceFileContents(folder + "/" + item.name, contents)) {
      return Fail(folder,
                  "le fichier de paramètres " + paths.parameter_file + " ne peut pas être copié");
    }
    item.size = contents.size();
    item.crc = Crc32(0, contents.data(), contents.size());
    manifest.items.push_back(item);
  }
  if (!vz::os::ReplaceFileContents(folder + "/" + kManifestName, ManifestText(manifest))) {
    return Fail(folder, "le manifeste ne peut pas être écrit");
  }
  BackupResult result;
  result.ok = true;
  result.folder = folder;
  result.message = "Sauvegarde terminée : " + std::to_string(names.size()) +
                   " fichier(s) de données" +
                   (paths.parameter_file.empty() ? "" : " et le fichier de paramètres") +
                   " copiés dans " + folder + ".";
  return result;
}

}  // namespace vz::veriroru
