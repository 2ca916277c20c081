// The result window's client list and export (result_list_window.h).
#include "project/result_list_window.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/runtime/field_values.h"
#include "project/project_data.h"
#include "src/outputs/result_export.h"
#include "src/outputs/result_list.h"

namespace vz::project {
namespace {

using runtime::CodeContext;
using runtime::MessageKind;
using runtime::Window;

constexpr char kWindow[] = "RESULTAT";
constexpr char kTable[] = "CLIENTS";
constexpr char kCount[] = "NBRETENUS";
constexpr char kQuery[] = "REQUETE";
constexpr int kExtractedColumnWidth = 120;

std::string QueryOf(const Window& window) {
  std::string query = runtime::ReadFieldValue(window, kQuery).value;
  while (!query.empty() && query.back() == ' ') query.pop_back();
  return query;
}

// The table's columns: the library's fixed ones, then one per extracted value.
std::vector<runtime::Column> TableColumns(const runtime::Field& table,
                                          const outputs::ResultList& list) {
  std::vector<runtime::Column> columns(
      table.columns.begin(),
      table.columns.begin() + static_cast<std::ptrdiff_t>(
                                  std::min(table.columns.size(), outputs::kFixedResultColumns)));
  std::map<std::string, int> uses;
  for (size_t c = outputs::kFixedResultColumns; c < list.columns.size(); ++c) {
    const outputs::ResultColumn& column = list.columns[c];
    const int use = ++uses[column.code];
    std::string name = "X" + column.code + (use > 1 ? "_" + std::to_string(use) : "");
    columns.push_back({std::move(name), column.title, kExtractedColumnWidth, false});
  }
  return columns;
}

void OnFill(CodeContext& context, Window& window) {
  runtime::Field* table = window.FindField(kTable);
  runtime::Field* count = window.FindField(kCount);
  if (!table || table->columns.size() < outputs::kFixedResultColumns || !count) {
    context.Note("RESULTAT: the window has no table CLIENTS of 5 columns or no caption NBRETENUS");
    return;
  }
  outputs::ResultList list = outputs::LoadResultList(ProjectDataOf(context), QueryOf(window));
  table->columns = TableColumns(*table, list);
  // The rows read become the table's, moved: 100,000 clients are not copied.
  outputs::ToDisplayValues(list);
  table->rows = std::move(list.rows);
  table->selected = table->rows.empty() ? 0 : 1;
  count->label = outputs::SelectedCountText(table->rows.size());
  if (!list.problem.empty()) count->label += ". " + list.problem;
  // A query never run is a state the caption shows; what could not be read
  // is also noted for whoever reads the run's transcript.
  if (!list.problem.empty() && !list.never_run) context.Note("RESULTAT: " + list.problem);
}

void OnExport(CodeContext& context, Window& window) {
  const std::string query = QueryOf(window);
  const outputs::ResultList list = outputs::LoadResultList(ProjectDataOf(context), query);
  const outputs::ExportOutcome outcome = outputs::ExportResultList(list, query);
  if (!outcome.ok) context.Note("RESULTAT: export not written: " + outcome.message);
  context.Front().ShowMessage(outcome.ok ? MessageKind::kInfo : MessageKind::kError,
                              outcome.message);
}

}  // namespace

void RegisterResultListWindow(runtime::CodeRegistry& registry) {
  registry.AddWindowCode(kWindow, kTable, "REMPLIR", OnFill);
  registry.AddWindowCode(kWindow, "EXPORTER", "CLIC", OnExport);
}

}  // namespace vz::project
