// One pass of an elementary query over the whole client file: every client
// in CODCLI order is loaded and tested (identity, then each flagged rubric),
// and the code of each client that passes is handed to a receiver. The
// selection run hands them to the query's selection file; the count of a
// query being edited keeps them in memory and writes nothing.
//
// Clients whose name begins with "(" or "*" are skipped. A progress step is
// taken for every client record reached (selection_run_progress.h), so the
// progress window must be the current window. The receiver is borrowed for
// the pass. Nothing fails here; the record operations report their own
// errors. Moves the CLIENT buffer and position and the rubric files'.
// REQUIRES: the database context exists with every file described and open.
#ifndef VZ_SRC_SELECTION_CLIENT_PASS_H_
#define VZ_SRC_SELECTION_CLIENT_PASS_H_

#include <string_view>

#include "src/selection/criteria_loading.h"
#include "src/selection/rubric_tables.h"

namespace vz::selection {

// Takes the codes of the clients that pass, in ascending CODCLI order.
class PassedClients {
 public:
  virtual ~PassedClients() = default;
  virtual void Take(std::string_view client_code) = 0;
};

void EvaluateClients(const QueryCriteria& criteria, WorkTables& tables, PassedClients& passed);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_CLIENT_PASS_H_
