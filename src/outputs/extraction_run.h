// The rubric extraction run: turns the selection file of a query
// ("<query>.EXT") into its merge file ("<query>.MEM", merge_file.h) and its
// SELECTES file (the SELECTES file given the query code as physical name and
// created anew), one line and one record per selected client, in the order
// of the selection file.
//
// For each client: CLIENT is read by CODCLI, the address block is loaded,
// the column producers of the families flagged in the rubric list run in the
// fixed family order (identity_columns.h, rubric_columns.h), the SELECTES
// record is added (code, first 8 characters of the name, postcode, first 8
// characters of the city, sequence numbers 2, 3, 4, ..., origin "E", last
// field 0) and the merge-file line is written. The progress window EX_attente
// shows "Extraction des rubriques." and NBTOTAL = size of the selection file
// / 11; each client takes one progress step once its record is read, so that
// NOM shows that client.
//
// A client code missing from CLIENT still gets its line and record: its
// identity values are blank, its rubric columns are loaded by its code. The
// name written to SELECTES is the one read for the client, even when a
// loader reads CLIENT afterwards. A missing selection file gives an empty
// merge file and an empty SELECTES file. A query code that is not usable
// (src/db/query_code.h) or that the engine refuses as physical name writes
// nothing and shows its error box.
// SELECTES is emptied and refilled in one engine transaction committed at the
// end, and the merge file is written under a temporary name put in place only
// after that commit: readers and a killed run see the previous outputs whole
// until the new ones are complete. A data file that is damaged, full, locked,
// read-only or unusable (src/db/file_error_report.h) stops the run at the next
// client: the transaction is cancelled, the merge file is not replaced, and an
// error box names the file after the progress window closes. A SELECTES or
// merge file that cannot be written is named in an error box too; every such
// failure is written to the run log (src/util/run_log.h).
// The physical name given to SELECTES stays in force after the run. SELECTES
// and CLIENT are closed at the end. Nothing is allocated per client.
// REQUIRES: the database files are described and open, the data directory
// is known, the screen project is loaded; `list` is loaded and ordered
// (extraction_rubrics.h). Not re-entrant.
#ifndef VZ_SRC_OUTPUTS_EXTRACTION_RUN_H_
#define VZ_SRC_OUTPUTS_EXTRACTION_RUN_H_

#include <string_view>

#include "src/outputs/extraction_rubrics.h"
#include "src/selection/rubric_tables.h"

namespace vz::outputs {

void RunExtraction(std::string_view query_code, const ExtractionRubricList& list,
                   selection::WorkTables& tables);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_EXTRACTION_RUN_H_
