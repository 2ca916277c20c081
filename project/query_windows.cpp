#include "project/query_windows.h"

#include <algorithm>
#include <map>

#include "platform/os/cp1252.h"
#include "project/project_code.h"
#include "project/query_windows_text.h"
#include "src/db/layouts/code_label.h"

namespace vz::project {
namespace {

using db::FileId;

constexpr char kRegimePrefix[] = "RM";
constexpr char kFamilyNumber[] = "000";

std::string Row(std::string_view label, std::string_view code) {
  std::string clean = TrimBoth(label);
  std::replace(clean.begin(), clean.end(), '\t', ' ');
  return clean + "\t" + std::string(code);
}

struct Profession {
  std::string prefix;
  std::string key;
  std::string label;
};

// Every PROFES record in key order.
std::vector<Profession> ReadProfessions(db::RecordSession& data) {
  std::vector<Profession> all;
  db::ProfessionRecord record{data.Buffer(FileId::PROFES)};
  for (data.Hlitpremier(FileId::PROFES, "CODPROF"); !data.Hendehors();
       data.Hlitsuivant(FileId::PROFES, "CODPROF")) {
    all.push_back({std::string(record.Prefix()),
                   std::string(record.Prefix()) + std::string(record.Number()),
                   std::string(record.Label())});
  }
  return all;
}

void FillList(runtime::Window& window, std::string_view name, std::vector<std::string> rows) {
  runtime::Field* list = window.FindField(name);
  if (!list) return;
  list->entries = std::move(rows);
  list->selected = list->entries.empty() ? 0 : 1;
}

std::string ChosenFamily(const runtime::Window& window) {
  const runtime::Field* families = window.FindField("FAMPRO1");
  if (!families || families->selected < 2 ||
      static_cast<size_t>(families->selected) > families->entries.size()) {
    return {};
  }
  return ElementAt(families->entries[static_cast<size_t>(families->selected) - 1], 1);
}

}  // namespace

std::vector<std::string> FamilySituationRows() {
  static const char* const kSituations[][2] = {
      {"Marié(e)", "M"},   {"Pacsé(e)", "P"},  {"Célibataire", "C"}, {"Veuf, veuve", "V"},
      {"Divorcé(e)", "D"}, {"Séparé(e)", "S"}, {"Union libre", "U"}, {"Concubinage", "N"},
  };
  std::vector<std::string> rows{kNoChoiceRow};
  for (const auto& situation : kSituations)
    rows.push_back(Row(os::Cp1252(situation[0]), situation[1]));
  return rows;
}

std::vector<std::string> RegimeRows(db::RecordSession& data) {
  std::vector<std::string> rows{kNoChoiceRow};
  db::AnnexRecord record{data.Buffer(FileId::ANNEXE)};
  for (data.Hlitrecherche(FileId::ANNEXE, "CODRUBR", kRegimePrefix);
       !data.Hendehors() && record.Prefix() == kRegimePrefix;
       data.Hlitsuivant(FileId::ANNEXE, "CODRUBR")) {
    rows.push_back(
        Row(record.Label(), std::string(record.Prefix()) + std::string(record.Number())));
  }
  return rows;
}

std::vector<std::string> ProfessionFamilyRows(db::RecordSession& data) {
  std::map<std::string, std::string> labels;  // family prefix -> label, in key order
  for (const Profession& p : ReadProfessions(data)) {
    if (p.key.substr(2) == kFamilyNumber) {
      labels[p.prefix] = p.label;
    } else if (!labels.count(p.prefix)) {
      labels[p.prefix] = "Famille " + p.prefix;
    }
  }
  std::vector<std::string> rows{kNoChoiceRow};
  for (const auto& [prefix, label] : labels) rows.push_back(Row(label, prefix));
  return rows;
}

std::vector<std::string> ProfessionRows(db::RecordSession& data, const std::string& family) {
  const bool all = family.empty() || family == "-1";
  std::vector<std::string> rows{kNoChoiceRow};
  for (const Profession& p : ReadProfessions(data)) {
    if (p.key.substr(2) == kFamilyNumber) continue;
    if (!all && p.prefix != family) continue;
    rows.push_back(Row(p.label, p.key));
  }
  return rows;
}

void FillIdentityLists(runtime::CodeContext& context, runtime::Window& window) {
  db::RecordSession& data = ProjectDataOf(context);
  FillList(window, "SITFAM", FamilySituationRows());
  FillList(window, "REGMAT", RegimeRows(data));
  FillList(window, "FAMPRO1", ProfessionFamilyRows(data));
  FillList(window, "PROFES1", ProfessionRows(data, {}));
}

void RestrictProfessions(runtime::CodeContext& context, runtime::Window& window) {
  runtime::Field* professions = window.FindField("PROFES1");
  if (!professions) return;
  // Keep the profession chosen when it still belongs to the list.
  std::string chosen;
  if (professions->selected >= 2 &&
      static_cast<size_t>(professions->selected) <= professions->entries.size()) {
    chosen = professions->entries[static_cast<size_t>(professions->selected) - 1];
  }
  FillList(window, "PROFES1", ProfessionRows(ProjectDataOf(context), ChosenFamily(window)));
  for (size_t i = 1; i < professions->entries.size(); ++i) {
    if (!chosen.empty() && professions->entries[i] == chosen) {
      professions->selected = static_cast<int>(i) + 1;
    }
  }
}

void ShowQuerySummary(runtime::CodeContext& /*context*/, runtime::Window& window) {
  const runtime::Field* queries = window.FindField("REQUETES");
  runtime::Field* summary = window.FindField("L_RESUME");
  if (!queries || !summary) return;
  const int column = queries->ColumnIndex("CRITERES");
  const int row = queries->selected;
  if (column < 0 || row < 1 || static_cast<size_t>(row) > queries->rows.size()) return;
  const std::vector<std::string>& cells = queries->rows[static_cast<size_t>(row) - 1];
  summary->label =
      static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : "";
}

void RegisterQueryWindows(runtime::CodeRegistry& registry) {
  registry.AddWindowCode("SEL01A", "SEL01A", "OUVERTURE", FillIdentityLists);
  registry.AddWindowCode("SEL01A", "FAMPRO1", "MODIFICATION", RestrictProfessions);
  registry.AddWindowCode("LSTSEL", "REQUETES", "MODIFICATION", ShowQuerySummary);
}

}  // namespace vz::project
