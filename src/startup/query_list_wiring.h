// What the query list reaches outside the query screens, wired from the
// subsystems that provide it: the selection run and the extraction, the
// result screen, the facts of a query's last run (its selection file), the
// number of client records, the summary of a query and the count of a query
// being edited. The adapters only convert between the subsystems' types.
#ifndef VZ_SRC_STARTUP_QUERY_LIST_WIRING_H_
#define VZ_SRC_STARTUP_QUERY_LIST_WIRING_H_

#include "src/queries/query_list.h"

namespace vz::startup {

queries::QueryListActions ProgramQueryListActions();

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_QUERY_LIST_WIRING_H_
