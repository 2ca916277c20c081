// The extraction dispatch: prepares and runs the rubric extraction of one
// query. It allocates the extraction rubric list and the work tables (code
// table, amount tables, address block), loads and orders the query's rubric
// lines (extraction_rubrics.h), runs the extraction (extraction_run.h) and
// releases the tables. Run after every completed selection run and after the
// adviser changes the rubric lines from the result screen.
// A query without rubric lines extracts with no column (header "0002" and one
// empty line per client). Nothing is reported.
// REQUIRES: as for RunExtraction (extraction_run.h).
#ifndef VZ_SRC_OUTPUTS_EXTRACTION_DISPATCH_H_
#define VZ_SRC_OUTPUTS_EXTRACTION_DISPATCH_H_

#include <string_view>

namespace vz::outputs {

// `query_code` is cut to 8 characters.
void RunExtractionDispatch(std::string_view query_code);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_EXTRACTION_DISPATCH_H_
