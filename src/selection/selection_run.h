// The selection run: turns one saved query into its selection file.
//
// RunSelection expands the query (expansion.h), evaluates every elementary
// query it names over the whole client file in CODCLI order, writing the
// codes of the clients that pass to the query's selection file (merge_io.h),
// merges the files of the combined queries bottom-up (merge.h), and marks the
// query's title record as having a selection ("O"). While it walks the client
// file it shows the progress window EX_attente (selection_run_progress.h).
//
// Clients whose name begins with "(" or "*" are skipped; a query without
// criteria selects every other client. The work tables and the criteria table
// are allocated once per run, never per client.
//
// Failure: a refused expansion (too many combinations, a cycle, a damaged
// combined query) shows its message, opens no window, writes no file, leaves
// the query record as it was and returns false: no extraction may follow. So
// does a query code that is not usable (src/db/query_code.h), with its
// message. A selection file that cannot be written stops the run with an
// error box naming it: the file keeps its earlier contents, the query record
// is left as it was and the result is false. A data file that is damaged,
// full, locked, read-only or unusable (the engine's file error,
// src/db/file_error_report.h) stops the run at once with an error box naming
// it: the selection file of the pass that met it is not written, the query
// record is left as it was, and the result is false. Both failures are also
// written to the run log of the data directory (src/util/run_log.h). An
// interrupted run leaves no half-written file under a final name. The CLIENT
// file is closed when the run ends.
// REQUIRES: the database context exists with every file described and open
// in the data directory; the screen project is loaded; the list separator is
// TAB. Not re-entrant.
#ifndef VZ_SRC_SELECTION_SELECTION_RUN_H_
#define VZ_SRC_SELECTION_SELECTION_RUN_H_

#include <string_view>

namespace vz::selection {

// Runs the selection of `query_code` (cut to 8 characters). False when the
// run was aborted.
bool RunSelection(std::string_view query_code);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_SELECTION_RUN_H_
