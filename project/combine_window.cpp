#include "project/combine_window.h"

#include <algorithm>

#include "project/project_code.h"
#include "project/query_windows_text.h"
#include "src/db/layouts/requetes.h"

namespace vz::project {
namespace {

using db::FileId;

constexpr char kQueryPrefix[] = "01";
constexpr char kTitleKey[] = "TITRE*******";

void FillTable(runtime::Window& window, std::string_view table_name, std::string_view code_column,
               std::string_view title_column, const std::vector<SavedQuery>& queries) {
  runtime::Field* table = window.FindField(table_name);
  if (!table) return;
  const int code = ColumnOf(*table, code_column);
  const int title = ColumnOf(*table, title_column);
  table->rows.clear();
  table->selected = 0;
  for (const SavedQuery& query : queries) {
    table->rows.emplace_back(table->columns.size());
    SetCell(*table, table->rows.size() - 1, code, query.code);
    SetCell(*table, table->rows.size() - 1, title, query.title);
  }
}

void ShowTitle(runtime::Window& window, std::string_view table_name, std::string_view title_column,
               std::string_view title_field) {
  runtime::Field* table = window.FindField(table_name);
  runtime::Field* shown = window.FindField(title_field);
  if (!table || !shown || table->selected < 1) return;
  shown->value =
      CellOf(*table, static_cast<size_t>(table->selected) - 1, ColumnOf(*table, title_column));
}

}  // namespace

std::vector<SavedQuery> ReadSavedQueries(db::RecordSession& data) {
  std::vector<SavedQuery> queries;
  db::QueryLineRecord line{data.Buffer(FileId::REQUETES)};
  const std::string wanted = std::string(kQueryPrefix) + kTitleKey;
  for (data.Hlitrecherche(FileId::REQUETES, "codreq1", wanted);
       !data.Hendehors() && line.Prefix() == kQueryPrefix && line.CriteriaKey() == kTitleKey;
       data.Hlitsuivant(FileId::REQUETES, "codreq1")) {
    queries.push_back(
        {std::string(line.Prefix()) + std::string(line.Number()), ElementAt(line.LineText(), 1)});
  }
  std::stable_sort(queries.begin(), queries.end(),
                   [](const SavedQuery& a, const SavedQuery& b) { return a.code < b.code; });
  return queries;
}

std::string OperationPicture(std::string_view option) {
  return TrimBoth(option) == "1" ? "UNION.BMP" : "INTERSEC.BMP";
}

void FillCombineTables(runtime::CodeContext& context, runtime::Window& window) {
  const std::vector<SavedQuery> queries = ReadSavedQueries(ProjectDataOf(context));
  FillTable(window, "TABLE1", "REQUETE1", "texte1", queries);
  FillTable(window, "TABLE2", "REQUETE2", "texte2", queries);
  ShowOperationPicture(context, window);
}

void ShowOperationPicture(runtime::CodeContext&, runtime::Window& window) {
  const runtime::Field* option = window.FindField("OPTION");
  runtime::Field* picture = window.FindField("ENSEMBLE");
  if (option && picture) picture->value = OperationPicture(option->value);
}

void ShowFirstTitle(runtime::CodeContext&, runtime::Window& window) {
  ShowTitle(window, "TABLE1", "texte1", "titre1");
}

void ShowSecondTitle(runtime::CodeContext&, runtime::Window& window) {
  ShowTitle(window, "TABLE2", "texte2", "titre2");
}

void RegisterCombineWindow(runtime::CodeRegistry& registry) {
  registry.AddWindowCode("COMBINE", "COMBINE", "OUVERTURE", FillCombineTables);
  registry.AddWindowCode("COMBINE", "OPTION", "MODIFICATION", ShowOperationPicture);
  registry.AddWindowCode("COMBINE", "TABLE1", "MODIFICATION", ShowFirstTitle);
  registry.AddWindowCode("COMBINE", "TABLE2", "MODIFICATION", ShowSecondTitle);
}

}  // namespace vz::project
