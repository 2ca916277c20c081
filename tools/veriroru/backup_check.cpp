#include "tools/veriroru/backup_check.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/engine/record_codec.h"
#include "platform/os/whole_file.h"
#include "tools/veriroru/backup.h"
#include "tools/veriroru/database_file.h"
#include "tools/veriroru/time_stamp.h"
#include "tools/veriroru/tool_paths.h"

namespace vz::veriroru {
namespace {

namespace fs = std::filesystem;

BackupCheck Fault(const std::string& file, const std::string& reason) {
  BackupCheck check;
  check.faulty_file = file;
  check.reason = reason;
  return check;
}

std::optional<std::string> CheckDatabase(const std::string& path, const ManifestItem& item,
                                         const vz::engine::Analysis* analysis) {
  std::string why;
  std::unique_ptr<DatabaseFile> db = DatabaseFile::Open(path, DatabaseFile::Mode::kReadOnly, &why);
  if (db == nullptr) return why;
  std::vector<std::string> problems = db->IntegrityProblems(5);
  if (!problems.empty()) return "fichier endommagé (" + problems.front() + ")";
  if (!db->HasRecordsTable()) {
    if (item.records != 0) return "les enregistrements sont absents";
    return std::nullopt;
  }
  const std::string format = db->Info("format").value_or("");
  if (format != vz::engine::kPlainFormat && format != vz::engine::kCompactFormat) {
    return "ce n'est pas un fichier de données du logiciel";
  }
  const std::string file = db->Info("file").value_or("");
  if (analysis != nullptr && analysis->FindFile(file) == nullptr) {
    return "le fichier " + file + " est inconnu de l'analyse";
  }
  int64_t records = db->RecordCount();
  if (records != item.records) {
    return "nombre d'enregistrements différent du manifeste (" + std::to_string(records) +
           " au lieu de " + std::to_string(item.records) + ")";
  }
  return std::nullopt;
}

}  // namespace

std::vector<BackupEntry> ListBackups(const std::string& data_directory) {
  std::vector<BackupEntry> entries;
  const std::string parent = data_directory + "/" + kBackupFolder;
  std::error_code ec;
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_error;
    if (!it->is_directory(type_error)) continue;
    if (!fs::is_regular_file(it->path() / kManifestName, type_error)) continue;
    BackupEntry entry;
    entry.name = it->path().filename().string();
    entry.folder = it->path().string();
    const std::string before = "avant-restauration-";
    entry.readable =
        entry.name.rfind(before, 0) == 0
            ? "avant la restauration du " + ReadableFolderStamp(entry.name.substr(before.size()))
            : ReadableFolderStamp(entry.name);
    entries.push_back(entry);
  }
  // Newest first: the stamp after any prefix, then the name.
  auto stamp = [](const std::string& name) {
    std::size_t digit = name.find_first_of("0123456789");
    return digit == std::string::npos ? name : name.substr(digit);
  };
  std::sort(entries.begin(), entries.end(), [&](const BackupEntry& a, const BackupEntry& b) {
    const std::string sa = stamp(a.name);
    const std::string sb = stamp(b.name);
    return sa != sb ? sa > sb : a.name > b.name;
  });
  return entries;
}

std::string BackupFolderNamed(const std::string& data_directory, const std::string& named) {
  if (named.find('/') == std::string::npos && named != "." && named != "..") {
    return data_directory + "/" + kBackupFolder + "/" + named;
  }
  std::error_code ec;
  return fs::absolute(named, ec).lexically_normal().string();
}

BackupCheck CheckBackup(const std::string& folder, const vz::engine::Analysis* analysis,
                        const ProgressReport& progress) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return Fault("", "le dossier " + folder + " n'existe pas");
  std::string text;
  if (!vz::os::ReadWholeFile(folder + "/" + kManifestName, &text)) {
    return Fault(kManifestName, "manifeste absent : la sauvegarde est incomplète");
  }
  Manifest manifest;
  std::string why;
  if (!ParseManifest(text, &manifest, &why)) return Fault(kManifestName, why);
  const std::size_t in_all = manifest.DatabaseCount();
  std::size_t databases = 0;
  for (const ManifestItem& item : manifest.items) {
    const std::string path = folder + "/" + item.name;
    if (item.kind == ItemKind::kDatabase) {
      ReportProgress(progress, ProgressPhase::kBackupCheck, item.name, databases, in_all);
    }
    uint32_t crc = 0;
    uint64_t size = 0;
    if (!fs::is_regular_file(path, ec)) return Fault(item.name, "fichier absent de la sauvegarde");
    if (!ChecksumFile(path, &crc, &size)) return Fault(item.name, "fichier illisible");
    if (size != item.size) {
      return Fault(item.name, "taille différente du manifeste (" + std::to_string(size) +
                                  " octets au lieu de " + std::to_string(item.size) + ")");
    }
    if (crc != item.crc) return Fault(item.name, "contenu modifié (somme de contrôle différente)");
    if (item.kind == ItemKind::kDatabase) {
      ++databases;
      if (std::optional<std::string> problem = CheckDatabase(path, item, analysis)) {
        return Fault(item.name, *problem);
      }
    }
  }
  if (databases == 0)
    return Fault(kManifestName, "la sauvegarde ne contient aucun fichier de données");
  for (const std::string& name : DataFileNames(folder)) {
    if (manifest.Find(name) == nullptr) return Fault(name, "fichier absent du manifeste");
  }
  BackupCheck check;
  check.ok = true;
  check.manifest = manifest;
  return check;
}

}  // namespace vz::veriroru
