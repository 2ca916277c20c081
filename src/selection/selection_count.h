// Counting the clients a query would select, as it stands in the definition
// window, without writing anything: no selection file, no REQUETES record,
// no query counter. The clients are evaluated exactly as the selection run
// evaluates them (client_pass.h), over the whole client file, with the
// progress window EX_attente shown during each pass.
//
// The lines are the query's criteria lines as the definition screen holds
// them (removed lines have an empty key), in any order; the title line
// (criteria key "TITRE*******") tells a combined query by its sixth element
// "C", its seventh and ninth elements naming the two saved operands and its
// eighth the operator ("OU" union, anything else intersection). Operands are
// expanded and evaluated as the run does (expansion.h), each elementary
// query once, and combined in memory.
//
// Failure: an operand that is not a whole, usable query code gives an error
// box asking to choose both queries; a refused expansion (too many
// combinations, a cycle, a damaged operand) shows the run's own message.
// Either way the result is empty and nothing else is shown. The CLIENT file
// is closed when the count ends.
// REQUIRES: the database context exists with every file described and open
// in the data directory; the screen project is loaded; the list separator
// is TAB. Not re-entrant.
#ifndef VZ_SRC_SELECTION_SELECTION_COUNT_H_
#define VZ_SRC_SELECTION_SELECTION_COUNT_H_

#include <cstdint>
#include <optional>
#include <vector>

#include "src/selection/rubric_tables.h"

namespace vz::selection {

// The number of clients the query made of `lines` selects; empty when it
// cannot be counted (the adviser has been told why).
std::optional<int64_t> CountQueryLines(std::vector<CriteriaEntry> lines);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_SELECTION_COUNT_H_
