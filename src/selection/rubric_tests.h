// The rubric tests: one per rubric prefix ("40" income, "54" loans, "51"
// taxes, "01" owner-occupied, "02" rental, "03" land, "04" securities, "05"
// cash, "06" other assets, "07" single-premium, "20" retirement, "33"
// provident cover, "SC" estate). Each loads its rubric once for the client
// (rubric_loaders.h; the selector is the twelfth character of the first
// criteria key of the rubric) and range-tests every criteria entry of the
// rubric against the loaded tables; the estate test reads CLIPART directly.
//
// Range test: the client fails when the lower bound is above the value or
// the upper bound below it (both inclusive). Only the explicit no-bound pairs
// switch a test off: "0" with "999999999" for amounts, "0" with "999" for
// rates and yields; any other bound that does not parse counts as 0. Yields
// and rates are rounded to whole numbers, halves to the even neighbour. A
// line code the client has no record for compares as 0.
//
// Nothing fails; only the work tables and the current positions of the files
// read change. Nothing is allocated per call.
// REQUIRES: the database files are described and open (record_ops.h).
#ifndef VZ_SRC_SELECTION_RUBRIC_TESTS_H_
#define VZ_SRC_SELECTION_RUBRIC_TESTS_H_

#include <array>
#include <span>
#include <string_view>

#include "src/selection/rubric_tables.h"

namespace vz::selection {

// The thirteen rubric prefixes in the order the selection run tests them.
inline constexpr std::array<std::string_view, 13> kRubricPrefixes = {
    "40", "54", "51", "01", "02", "03", "04", "05", "06", "07", "20", "33", "SC"};

// True when the client `client_code` (9 characters) meets every criterion of
// `criteria` whose key begins with `prefix` (two characters); an unknown
// prefix tests nothing and passes. The caller clears its selected flag
// otherwise.
bool PassesRubricTest(std::string_view prefix, std::span<const CriteriaEntry> criteria,
                      std::string_view client_code, WorkTables& tables);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_RUBRIC_TESTS_H_
