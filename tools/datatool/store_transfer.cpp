#include "tools/datatool/store_transfer.h"

#include <optional>

#include "platform/engine/analysis.h"
#include "platform/engine/pg_storage.h"
#include "platform/engine/sqlite_storage.h"
#include "platform/engine/store_copy.h"
#include "platform/os/cp1252.h"
#include "platform/os/profile_file.h"
#include "src/db/record_store.h"

namespace vz::datatool {
std::string InstallationConnection(const Installation& installation) {
  std::string value =
      os::ReadProfileString(installation.parameter_file, "COMPOSANTS", db::kConnectionKey);
  while (!value.empty() && (value.back() == ',' || value.back() == ' ')) value.pop_back();
  return value;
}

bool UseInstallationStore(const Installation& installation, std::string* error) {
  const std::string store =
      FirstField(os::ReadProfileString(installation.parameter_file, "COMPOSANTS", db::kStoreKey));
  const std::string refused = db::UseRecordStore(store, InstallationConnection(installation));
  if (refused.empty()) return true;
  *error = os::Utf8(refused.substr(refused.find(',') + 1));
  return false;
}

bool CopyInstallation(const Installation& installation, CopyDirection direction, std::ostream& out,
                      std::string* error) {
  const std::string conninfo = InstallationConnection(installation);
  if (conninfo.empty()) {
    *error = "no CONNEXIONBASE in " + installation.parameter_file;
    return false;
  }
  engine::PgStorage server(conninfo);
  if (!server.Check(error)) return false;
  engine::AnalysisError analysis_error;
  std::optional<engine::Analysis> analysis =
      engine::LoadAnalysis(installation.analysis_file, &analysis_error);
  if (!analysis) {
    *error = installation.analysis_file + ": " + analysis_error.message;
    return false;
  }
  engine::SqliteStorage local;
  std::vector<std::string> left_out;
  const bool to_server = direction == CopyDirection::kToServer;
  std::vector<engine::StoredFile> files =
      to_server ? engine::SqliteFilesIn(installation.data_directory, *analysis, &left_out)
                : engine::ServerFiles(server, *analysis, &left_out, error);
  if (!to_server && !error->empty()) return false;
  bool all = true;
  for (const engine::StoredFile& file : files) {
    const std::string local_path = local.Locate(installation.data_directory, file.physical_name);
    const std::string server_path = server.Locate("", file.physical_name);
    int64_t records = 0;
    std::string why;
    const bool ok = to_server ? engine::CopyStoredFile(local, local_path, server, server_path,
                                                       *file.entry, &records, &why)
                              : engine::CopyStoredFile(server, server_path, local, local_path,
                                                       *file.entry, &records, &why);
    if (ok) {
      out << file.physical_name << ": " << records << " records copied\n";
    } else {
      out << file.physical_name << ": not copied: " << why << "\n";
      all = false;
    }
  }
  for (const std::string& name : left_out) out << name << ": left out (no file of the analysis)\n";
  if (!all) *error = "some files were not copied";
  return all;
}

}  // namespace vz::datatool
