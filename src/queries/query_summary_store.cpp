// The query summary over the database: the stored lines of a query, the
// catalogue labels of its rubrics (query_summary.h).
#include <memory>

#include "platform/os/cp1252.h"
#include "src/db/layouts/code_label.h"
#include "src/db/record_ops.h"
#include "src/queries/query_summary.h"
#include "src/queries/summary_words.h"
#include "src/selection/criteria_loading.h"
#include "src/selection/expansion.h"
#include "src/selection/rubric_tests.h"
#include "src/util/blanks.h"

namespace vz::queries {
namespace {

constexpr std::string_view kCatalogueFile = "RUBRIQUE";
constexpr std::string_view kCatalogueKey = "CODRUBR";

bool NamesRubric(std::string_view key) {
  for (std::string_view prefix : selection::kRubricPrefixes) {
    if (key.substr(0, prefix.size()) == prefix) return true;
  }
  return false;
}

}  // namespace

std::optional<std::vector<QueryLine>> ReadStoredQuery(std::string_view query_code) {
  // The run's own loading, so that the summary sees the lines the run sees.
  auto criteria = std::make_unique<selection::QueryCriteria>();
  selection::LoadCriteria(query_code, *criteria);
  if (criteria->entries.empty()) return std::nullopt;
  std::vector<QueryLine> lines;
  lines.reserve(criteria->entries.size());
  for (selection::CriteriaEntry& entry : criteria->entries) {
    lines.push_back({std::move(entry.key), std::move(entry.text)});
  }
  return lines;
}

RubricLabels ReadRubricLabels(const std::vector<QueryLine>& lines) {
  RubricLabels labels;
  for (const QueryLine& line : lines) {
    if (!NamesRubric(line.key) || line.key.size() < kRubricCodeWidth) continue;
    const std::string code = line.key.substr(0, kRubricCodeWidth);
    if (labels.count(code) != 0) continue;
    db::Hlitrecherche(kCatalogueFile, kCatalogueKey, code);
    if (db::Hendehors()) continue;
    const db::RubricCatalogueRecord rubric = db::CurrentRubricCatalogue();
    if (std::string(rubric.Prefix()) + std::string(rubric.Number()) != code) continue;
    labels.emplace(code, util::TrimBlanks(rubric.Label(), util::kTrimAll));
  }
  return labels;
}

std::string DescribeQuery(std::string_view query_code) {
  const std::string code(query_code.substr(0, selection::kQueryCodeWidth));
  const std::optional<std::vector<QueryLine>> lines = ReadStoredQuery(code);
  if (!lines) {
    return os::Cp1252("Requête ") + code +
           os::Cp1252(" introuvable : aucun critère, tous les clients");
  }
  return DescribeQueryLines(code, *lines, ReadRubricLabels(*lines), ReadStoredQuery);
}

}  // namespace vz::queries
