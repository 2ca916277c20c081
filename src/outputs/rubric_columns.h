// The rubric column producers: one family of producers driven by a member
// table (prefix, loader, columns per entry, which amount tables), and the
// estate producer, which reads CLIPART instead of a loader.
//
// A producer for prefix P runs its loader once per client (the selector is
// the option of the first entry of the list whose code begins with P), then
// appends, for each entry of P in list order, one or two columns carrying the
// entry's code, filled from the amount tables at the position of the code in
// the loader's code table; a code the client has no figure for keeps 8
// blanks. An entry that would not fit whole in the column tables is left out.
// The provident cover ("33") pairs amounts across its two tables (see the
// .cpp). The estate producer ("SC") fills "SC00A" and "SC00B" from the two
// values of CLIPART field 12 of the client; a client without a CLIPART record
// gets 8 blanks.
//
// Producers hold no state between clients; the loaders move the positions of
// the files they read (rubric_loaders.h), CLIENT included for "20".
// REQUIRES: the database files are described and open.
#ifndef VZ_SRC_OUTPUTS_RUBRIC_COLUMNS_H_
#define VZ_SRC_OUTPUTS_RUBRIC_COLUMNS_H_

#include <string_view>

#include "src/outputs/extraction_columns.h"
#include "src/outputs/extraction_rubrics.h"
#include "src/selection/rubric_tables.h"

namespace vz::outputs {

// Runs the producer of `prefix` ("40", "54", ..., "SC") for the 9-character
// `client_code`; an unknown prefix appends nothing.
void ProduceRubricColumns(std::string_view prefix, const ExtractionRubricList& list,
                          std::string_view client_code, selection::WorkTables& tables,
                          ColumnTables& columns);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_RUBRIC_COLUMNS_H_
