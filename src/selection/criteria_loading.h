// Criteria loading: the criteria records of one elementary query read into
// the criteria table, and the rubric flags that tell the selection run which
// rubric tests the query needs.
//
// Every record of the query but its rubric lines (keys beginning "RUBRIQUE",
// with or without the option in the 12th character) becomes an entry, in
// key order; the title record is an entry too (no test matches its key). The
// table owns its entries and keeps its storage from one query to the next, so
// that a run allocates only while loading, never per client. A query with more
// entries than the screens write (64) keeps them all: dropping a criterion
// would silently select clients the query excludes.
// A query code without records gives an empty table and no flag: every
// client that is not skipped is then selected.
// Moves the REQUETES buffer. REQUIRES: the database context exists and
// REQUETES is described.
#ifndef VZ_SRC_SELECTION_CRITERIA_LOADING_H_
#define VZ_SRC_SELECTION_CRITERIA_LOADING_H_

#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "src/selection/rubric_tables.h"
#include "src/selection/rubric_tests.h"

namespace vz::selection {

inline constexpr int kCriteriaTableSize = 64;

struct QueryCriteria {
  std::vector<CriteriaEntry> entries;
  // Flag i is set when some criteria key begins with kRubricPrefixes[i].
  std::array<bool, kRubricPrefixes.size()> rubric_flags{};

  std::span<const CriteriaEntry> view() const { return entries; }
};

// Fills `criteria` with the criteria of the elementary query `query_code`
// (cut to 8 characters).
void LoadCriteria(std::string_view query_code, QueryCriteria& criteria);

// Fills `criteria` with lines held in memory (a query being edited), as if
// they had been stored and loaded: entries with an empty key are dropped,
// rubric lines too, and the rest come in key order.
void SetCriteria(std::vector<CriteriaEntry> lines, QueryCriteria& criteria);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_CRITERIA_LOADING_H_
