// The tools program on the server's files (server_store.h).
#include "tools/veriroru/server_store.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/engine/pg_storage.h"
#include "platform/engine/record_codec.h"
#include "platform/engine/sqlite_storage.h"
#include "platform/engine/store_copy.h"
#include "platform/os/profile_file.h"

namespace vz::veriroru {
namespace {

constexpr const char* kDataSuffix = ".vzdb";

std::string Trimmed(std::string text) {
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  while (!text.empty() && blank(static_cast<unsigned char>(text.back()))) text.pop_back();
  std::size_t first = 0;
  while (first < text.size() && blank(static_cast<unsigned char>(text[first]))) ++first;
  return text.substr(first);
}

// The server's files, with the analysis; false with `why` when either
// cannot be read.
struct ServerSide {
  std::unique_ptr<vz::engine::PgStorage> server;
  std::optional<vz::engine::Analysis> analysis;
  std::vector<vz::engine::StoredFile> files;
};

bool OpenServer(const std::string& conninfo, const std::string& analysis_file, bool list,
                ServerSide* side, std::string* why) {
  side->server = std::make_unique<vz::engine::PgStorage>(conninfo);
  std::string reason;
  if (!side->server->Check(&reason)) {
    *why = "le serveur de base de données ne peut pas être utilisé (" + reason + ")";
    return false;
  }
  vz::engine::AnalysisError error;
  side->analysis = vz::engine::LoadAnalysis(analysis_file, &error);
  if (!side->analysis) {
    *why = "l'analyse " + analysis_file + " est illisible (" + error.message + ")";
    return false;
  }
  if (!list) return true;
  std::vector<std::string> skipped;
  side->files = vz::engine::ServerFiles(*side->server, *side->analysis, &skipped, &reason);
  if (!reason.empty()) {
    *why = "les fichiers du serveur ne peuvent pas être lus (" + reason + ")";
    return false;
  }
  std::sort(side->files.begin(), side->files.end(),
            [](const auto& a, const auto& b) { return a.physical_name < b.physical_name; });
  return true;
}

}  // namespace

std::optional<std::string> ServerConnection(const ToolPaths& paths) {
  if (paths.parameter_file.empty()) return std::nullopt;
  std::string store = vz::os::ReadProfileString(paths.parameter_file, "COMPOSANTS", "BASEDONNEES");
  store = Trimmed(store.substr(0, store.find(',')));
  std::transform(store.begin(), store.end(), store.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (store != "POSTGRESQL") return std::nullopt;
  return vz::os::ReadProfileString(paths.parameter_file, "COMPOSANTS", "CONNEXIONBASE");
}

bool CopyServerFiles(const std::string& conninfo, const std::string& analysis_file,
                     const std::string& folder, const ProgressReport& progress,
                     std::vector<std::string>* names, std::string* why) {
  ServerSide side;
  if (!OpenServer(conninfo, analysis_file, true, &side, why)) return false;
  vz::engine::SqliteStorage local;
  names->clear();
  for (const vz::engine::StoredFile& file : side.files) {
    const std::string name = file.physical_name + kDataSuffix;
    ReportProgress(progress, ProgressPhase::kBackup, name, names->size(), side.files.size());
    int64_t records = 0;
    std::string reason;
    if (!vz::engine::CopyStoredFile(*side.server, side.server->Locate("", file.physical_name),
                                    local, local.Locate(folder, file.physical_name), *file.entry,
                                    &records, &reason)) {
      *why = name + " : copie depuis le serveur impossible (" + reason + ")";
      return false;
    }
    names->push_back(name);
  }
  if (names->empty()) {
    *why = "aucun fichier de données sur le serveur";
    return false;
  }
  return true;
}

bool CopyFilesToServer(const std::string& conninfo, const std::string& analysis_file,
                       const std::string& folder, const std::vector<std::string>& names,
                       const ProgressReport& progress, std::string* why) {
  ServerSide side;
  if (!OpenServer(conninfo, analysis_file, false, &side, why)) return false;
  vz::engine::SqliteStorage local;
  std::vector<std::string> skipped;
  const std::vector<vz::engine::StoredFile> files =
      vz::engine::SqliteFilesIn(folder, *side.analysis, &skipped);
  std::size_t done = 0;
  for (const std::string& name : names) {
    ReportProgress(progress, ProgressPhase::kRestoreCopy, name, done++, names.size());
    const std::string physical = name.substr(0, name.size() - std::string(kDataSuffix).size());
    const auto file = std::find_if(files.begin(), files.end(),
                                   [&](const auto& f) { return f.physical_name == physical; });
    if (file == files.end()) {
      *why = name + " : fichier inconnu de l'analyse";
      return false;
    }
    int64_t records = 0;
    std::string reason;
    if (!vz::engine::CopyStoredFile(local, local.Locate(folder, physical), *side.server,
                                    side.server->Locate("", physical), *file->entry, &records,
                                    &reason)) {
      *why = name + " : copie vers le serveur impossible (" + reason + ")";
      return false;
    }
  }
  return true;
}

std::vector<FileCheckResult> CheckServerFiles(const std::string& conninfo,
                                              const vz::engine::Analysis* analysis,
                                              const ProgressReport& progress, std::string* why) {
  std::vector<FileCheckResult> results;
  if (analysis == nullptr) {
    *why = "analyse introuvable : les fichiers du serveur ne sont pas vérifiés";
    return results;
  }
  vz::engine::PgStorage server(conninfo);
  std::string reason;
  std::vector<std::string> skipped;
  if (!server.Check(&reason)) {
    *why = "le serveur de base de données ne peut pas être utilisé (" + reason + ")";
    return results;
  }
  const std::vector<vz::engine::StoredFile> files =
      vz::engine::ServerFiles(server, *analysis, &skipped, &reason);
  if (!reason.empty()) {
    *why = "les fichiers du serveur ne peuvent pas être lus (" + reason + ")";
    return results;
  }
  const vz::engine::Attempts attempts;
  for (const vz::engine::StoredFile& file : files) {
    ReportProgress(progress, ProgressPhase::kCheckAndIndex, file.physical_name, results.size(),
                   files.size());
    FileCheckResult result;
    result.name = file.physical_name + " (serveur)";
    result.analysis_name = file.entry->name;
    std::unique_ptr<vz::engine::DataFile> opened;
    if (server.Open(server.Locate("", file.physical_name), *file.entry, false, attempts, &opened,
                    &reason) != vz::engine::Storage::OpenResult::kOpen) {
      result.problems.push_back("ouverture impossible (" + reason + ")");
      results.push_back(result);
      continue;
    }
    // Keys that no longer follow the analysis, or a damaged or missing key
    // index: every key column and index made again, as the engine does.
    // Records that do not expand are not mended by new keys (the keys are
    // made from the records): they are reported below, the file left as it is.
    std::vector<std::string> problems;
    const bool stale = opened->needs_reindex();
    const bool sound = opened->CheckIntegrity(&problems);
    const bool only_damaged_records =
        !problems.empty() &&
        std::all_of(problems.begin(), problems.end(), [](const std::string& p) {
          return p.find(vz::engine::kDamagedCompactRecord) != std::string::npos;
        });
    if (stale || (!sound && !only_damaged_records)) {
      BoundFile bound;
      const std::optional<std::string> unbound = BindLayout(*file.entry, &bound);
      const int64_t records = opened->Count(attempts);
      problems.clear();
      if (unbound) {
        result.problems.push_back(*unbound + " : clés non reconstruites");
      } else if (opened->Reindex(&bound.layout, attempts)) {
        result.keys_rebuilt = std::max<int64_t>(records, 0);
        result.repairs.push_back(stale ? "règles de clés de l'analyse appliquées à tout le fichier"
                                       : "clés et index reconstruits");
      } else {
        result.problems.push_back("clés non reconstruites");
      }
    }
    if (!opened->CheckIntegrity(&problems)) {
      for (const std::string& p : problems) result.problems.push_back("fichier endommagé : " + p);
    }
    result.records = opened->Count(attempts);
    if (result.records < 0) result.problems.push_back("enregistrements impossibles à compter");
    results.push_back(result);
  }
  return results;
}

}  // namespace vz::veriroru
