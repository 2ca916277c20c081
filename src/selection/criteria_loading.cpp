#include "src/selection/criteria_loading.h"

#include <string>

#include "src/db/layouts/requetes.h"
#include "src/db/record_ops.h"
#include "src/selection/expansion.h"

namespace vz::selection {

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
      criteria.entries.push_back({std::string(key), std::string(record.LineText())});
      for (size_t i = 0; i < kRubricPrefixes.size(); ++i) {
        if (key.substr(0, 2) == kRubricPrefixes[i]) criteria.rubric_flags[i] = true;
      }
    }
    db::Hlitsuivant("requetes", "codreq");
  }
}

}  // namespace vz::selection
