// vzdata copy: moving an installation's records between the SQLite files of
// its data directory and the PostgreSQL database its parameter file names
// (CONNEXIONBASE), in either direction (docs/shared-database.md). Every
// file found is copied whole, record bytes and insertion order kept
// (platform/engine/store_copy.h); each target file is replaced. The store the
// installation uses (BASEDONNEES) is not changed: the administrator sets it
// once the copy is done.
#ifndef VZ_TOOLS_DATATOOL_STORE_TRANSFER_H_
#define VZ_TOOLS_DATATOOL_STORE_TRANSFER_H_

#include <ostream>
#include <string>

#include "tools/datatool/installation.h"

namespace vz::datatool {

enum class CopyDirection { kToServer, kFromServer };

// The whole value of the installation's CONNEXIONBASE ("" when none).
std::string InstallationConnection(const Installation& installation);

// Makes the process use the store the installation's parameter file names
// (BASEDONNEES, CONNEXIONBASE; src/db/record_store.h). False with `error`
// (UTF-8) when it cannot be used.
bool UseInstallationStore(const Installation& installation, std::string* error);

// Copies every file; one line per file on `out` ("CLIENT: 3000 records
// copied"), files that belong to no file of the analysis listed as left out.
// False with `error` when the server or the analysis cannot be used, or when
// a file could not be copied (the others are still copied).
bool CopyInstallation(const Installation& installation, CopyDirection direction, std::ostream& out,
                      std::string* error);

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_STORE_TRANSFER_H_
