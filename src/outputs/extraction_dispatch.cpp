// The extraction dispatch (extraction_dispatch.h).
#include "src/outputs/extraction_dispatch.h"

#include <memory>

#include "src/outputs/extraction_rubrics.h"
#include "src/outputs/extraction_run.h"
#include "src/selection/expansion.h"
#include "src/selection/rubric_tables.h"

namespace vz::outputs {

void RunExtractionDispatch(std::string_view query_code) {
  const std::string_view code = query_code.substr(0, selection::kQueryCodeWidth);
  auto list = std::make_unique<ExtractionRubricList>();
  auto tables = std::make_unique<selection::WorkTables>();
  LoadExtractionRubrics(code, *list);
  OrderExtractionRubrics(*list);
  RunExtraction(code, *list, *tables);
}

}  // namespace vz::outputs
