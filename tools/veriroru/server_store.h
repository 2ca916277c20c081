// The tools program on an installation whose files are on the firm's
// PostgreSQL server (BASEDONNEES=POSTGRESQL in its parameter file,
// docs/shared-database.md).
//
// - Backup: each file of the server is copied, through the engine's store
//   copy (record bytes and order kept), into the backup folder as a data file
//   of the program's own format ("<NAME>.vzdb"), so that the folder and its
//   manifest are those of a backup of local files: it is checked, listed and
//   restored the same way, onto the server or onto local files.
// - Restore: the server's files are first kept the same way in a folder of
//   SAUVEGARDES, then each file of the backup replaces its file on the
//   server, whole or not at all (one transaction per file).
// - Check: the store's own check of each file of the server; the keys and
//   indexes rebuilt as the engine rebuilds them when the stored keys no
//   longer follow the analysis's rules or an index is damaged or missing.
//
// Nothing here keeps a connection once a call returns. Failures come back as
// false or as problems, with French (UTF-8) messages; nothing throws.
#ifndef VZ_TOOLS_VERIRORU_SERVER_STORE_H_
#define VZ_TOOLS_VERIRORU_SERVER_STORE_H_

#include <optional>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"
#include "tools/veriroru/file_check.h"
#include "tools/veriroru/progress.h"
#include "tools/veriroru/tool_paths.h"

namespace vz::veriroru {

// The connection string of the server that keeps the installation's files;
// nullopt when they are local files (BASEDONNEES absent, empty or SQLITE).
std::optional<std::string> ServerConnection(const ToolPaths& paths);

// Copies every file of the server into `folder` ("<NAME>.vzdb" each), the
// names in `names` (sorted). False with `why` when the server, the analysis or
// a file fails.
bool CopyServerFiles(const std::string& conninfo, const std::string& analysis_file,
                     const std::string& folder, const ProgressReport& progress,
                     std::vector<std::string>* names, std::string* why);

// Copies the data files `names` of `folder` onto the server, each replacing
// its file there. False with `why` at the first file that could not be
// copied (the files before it are already replaced).
bool CopyFilesToServer(const std::string& conninfo, const std::string& analysis_file,
                       const std::string& folder, const std::vector<std::string>& names,
                       const ProgressReport& progress, std::string* why);

// The check of every file of the server (one result each, named
// "<NAME> (serveur)"); `why` set when the server cannot be read at all.
std::vector<FileCheckResult> CheckServerFiles(const std::string& conninfo,
                                              const vz::engine::Analysis* analysis,
                                              const ProgressReport& progress, std::string* why);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_SERVER_STORE_H_
