// The "Compter" button of the definition windows (SEL01 and COMBINE): the
// query as it stands in the window is counted over the whole client file and
// the adviser is told "N clients correspondent à ces critères." Nothing is
// written: no selection file, no REQUETES record, no query counter.
//
// The evaluation belongs to the selection engine; the program hands it in as
// a QueryCounter, so that these screens do not depend on it. A counter that
// cannot count has told the adviser why and returns nothing; then no other
// message follows. Without a counter the adviser is told that counting is not
// available.
// REQUIRES: the definition window is the current window; the list separator
// is TAB.
#ifndef VZ_SRC_QUERIES_QUERY_COUNT_H_
#define VZ_SRC_QUERIES_QUERY_COUNT_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "src/queries/query_records.h"

namespace vz::queries {

// Counts the clients the query made of `lines` (criteria lines and the title
// line as it would be saved) selects.
using QueryCounter = std::function<std::optional<int64_t>(const std::vector<QueryLine>& lines)>;

// "N clients correspondent à ces critères." (cp1252), N with its thousands
// separated by a space; "1 client correspond à ces critères." for one.
std::string CountMessage(int64_t clients);

// Counts the query being edited and shows the result in an information box.
void CountEditedQuery(const QueryWorkingSet& lines, const QueryCounter& counter);

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_QUERY_COUNT_H_
