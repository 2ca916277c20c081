#include "src/startup/query_list_wiring.h"

#include <utility>
#include <vector>

#include "src/outputs/extraction_dispatch.h"
#include "src/outputs/result_screen.h"
#include "src/queries/query_summary.h"
#include "src/selection/selection_count.h"
#include "src/selection/selection_facts.h"
#include "src/selection/selection_run.h"
#include "src/startup/data_directory_hold.h"

namespace vz::startup {
namespace {

std::optional<queries::LastSelection> LastSelection(std::string_view query_code) {
  std::optional<selection::SelectionFileFacts> facts =
      selection::ReadSelectionFileFacts(query_code);
  if (!facts) return std::nullopt;
  return queries::LastSelection{std::move(facts->written), facts->clients};
}

std::optional<int64_t> CountLines(const std::vector<queries::QueryLine>& lines) {
  std::vector<selection::CriteriaEntry> entries;
  entries.reserve(lines.size());
  for (const queries::QueryLine& line : lines) entries.push_back({line.key, line.text});
  return selection::CountQueryLines(std::move(entries));
}

}  // namespace

queries::QueryListActions ProgramQueryListActions() {
  queries::QueryListActions actions;
  // No selection over data files that an unfinished restore left half swapped.
  actions.run_selection = [](std::string_view query_code) {
    return !RefusedForRestore("la sélection n'est pas lancée") &&
           selection::RunSelection(query_code);
  };
  actions.run_extraction = outputs::RunExtractionDispatch;
  actions.show_results = outputs::RunResultScreen;
  actions.last_selection = LastSelection;
  actions.client_count = selection::ClientRecordCount;
  actions.describe_query = [](std::string_view code) { return queries::DescribeQuery(code); };
  actions.count_query = CountLines;
  return actions;
}

}  // namespace vz::startup
