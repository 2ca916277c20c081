// The phrases of the rubric criteria of the query summary (query_summary.h),
// read as the rubric tests of the selection run read them: which bounds each
// rubric compares (one amount; loans: capital and instalments; rental real
// estate and land: amount and yield; provident cover: insured 1 and 2),
// which codes a fixed-row rubric tests at all, the calculation option taken
// from the first criterion of the rubric, the no-bound pairs and the bounds
// that read as 0.
// Texts are cp1252 and split at TAB. Pure; nothing fails.
#ifndef VZ_SRC_QUERIES_RUBRIC_PHRASES_H_
#define VZ_SRC_QUERIES_RUBRIC_PHRASES_H_

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "src/queries/query_records.h"
#include "src/queries/query_summary.h"

namespace vz::queries::summary {

// One phrase per criterion of rubric `prefix` (two characters, one of the
// thirteen the run tests): "revenus, pour l'ensemble du foyer : Salaires
// d'au moins 40 000 €". REQUIRES: every key of `criteria` begins with
// `prefix`, and `criteria` is in criteria key order (the first one gives the
// option).
std::vector<std::string> RubricPhrases(std::string_view prefix,
                                       std::span<const QueryLine* const> criteria,
                                       const RubricLabels& labels);

}  // namespace vz::queries::summary

#endif  // VZ_SRC_QUERIES_RUBRIC_PHRASES_H_
