// vzdata compact / vzdata expand: every data file of an installation's data
// directory rewritten with its records in the compact form or back in the
// plain form (platform/engine/sqlite_record_form.h, docs/storage.md).
//
// Each file is rewritten on its own, through a temporary file swapped in
// when complete: an interruption leaves every file either as it was or
// migrated, never half of each, and a later run goes on with the files not
// yet migrated. Files already in the form asked for, and files never
// written, are left as they are. The data directory's in-use lock is taken
// exclusive for the whole run: the migration is refused while a program of
// the suite works on the directory, and no program starts its work meanwhile.
//
// Messages are French (UTF-8): one line per file migrated or left on `out`;
// a file that could not be migrated stays as it was, and its line, naming
// the reason, goes to `errors` and to the run log of the data directory
// (src/util/run_log.h).
#ifndef VZ_TOOLS_DATATOOL_RECORD_FORM_MIGRATION_H_
#define VZ_TOOLS_DATATOOL_RECORD_FORM_MIGRATION_H_

#include <ostream>
#include <string>

#include "platform/engine/sqlite_record_form.h"
#include "tools/datatool/installation.h"

namespace vz::datatool {

// Migrates every file. False with `error` (French, UTF-8) when the run is
// refused or when a file could not be migrated (the others still are).
bool MigrateRecordForm(const Installation& installation, engine::RecordForm form, std::ostream& out,
                       std::ostream& errors, std::string* error);

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_RECORD_FORM_MIGRATION_H_
