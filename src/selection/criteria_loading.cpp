#include "src/selection/criteria_loading.h"

#include <algorithm>
#include <string>
#include <utility>

#include "src/db/layouts/requetes.h"
#include "src/db/record_ops.h"
#include "src/selection/expansion.h"

namespace vz::selection {

namespace {

// Rubric lines (the columns to extract) are no criteria.
constexpr std::string_view kRubricLineStart = "RUBRIQUE";

void AddEntry(CriteriaEntry entry, QueryCriteria& criteria) {
  for (size_t i = 0; i < kRubricPrefixes.size(); ++i) {
    if (entry.key.substr(0, 2) == kRubricPrefixes[i]) criteria.rubric_flags[i] = true;
  }
  criteria.entries.push_back(std::move(entry));
}

}  // namespace

void SetCriteria(std::vector<CriteriaEntry> lines, QueryCriteria& criteria) {
  criteria.entries.clear();
  criteria.rubric_flags.fill(false);
  std::stable_sort(lines.begin(), lines.end(),
                   [](const CriteriaEntry& a, const CriteriaEntry& b) { return a.key < b.key; });
  for (CriteriaEntry& line : lines) {
    if (line.key.empty() || line.key.starts_with(kRubricLineStart)) continue;
    AddEntry(std::move(line), criteria);
  }
}

void LoadCriteria(std::string_view query_code, QueryCriteria& criteria) {
  criteria.entries.clear();
  criteria.entries.reserve(kCriteriaTableSize);
  criteria.rubric_flags.fill(false);
  const std::string code = PaddedQueryCode(query_code);
  db::Hlitrecherche("requetes", "codreq", code);
  while (!db::Hendehors()) {
    db::QueryLineRecord record = db::CurrentQueryLine();
    std::string found = std::string(record.Prefix());
    found.resize(2, ' ');
    found += record.Number();
    found.resize(kQueryCodeWidth, ' ');
    if (found != code) break;
    const std::string_view key = record.CriteriaKey();
    if (!record.IsRubricLine()) {
      AddEntry({std::string(key), std::string(record.LineText())}, criteria);
    }
    db::Hlitsuivant("requetes", "codreq");
  }
}

}  // namespace vz::selection
