// Merging of selection files: union ("OU") and intersection ("ET") of two
// sorted selection files, and the bottom-up reduction of an expanded token
// list (expansion.h) into the selection file of the query asked for.
//
// The merge is a single sequential pass over both inputs holding one code of
// each. Codes come out in ascending byte order and each code is written once,
// even when an input holds it twice. An input that cannot be opened counts as
// empty; an output that cannot be written keeps its earlier file (merge_io.h)
// and stops the reduction, for the caller to report.
// REQUIRES for MergeGroups: `list` was filled by a successful ExpandQuery and
// the operands' selection files were written (missing ones count as empty).
#ifndef VZ_SRC_SELECTION_MERGE_H_
#define VZ_SRC_SELECTION_MERGE_H_

#include <string>

#include "src/selection/expansion.h"

namespace vz::selection {

enum class MergeOperator { kUnion, kIntersection };

// "OU" is a union; any other operator is an intersection.
MergeOperator OperatorFromToken(std::string_view token);

// Writes the merge of `first` and `second` to `output` (through a temporary
// file). False when the output could not be written.
bool MergeSelectionFiles(const std::string& first, const std::string& second,
                         const std::string& output, MergeOperator op);

// MergeGroups' result when a group's selection file could not be written.
inline constexpr int kUnwrittenGroup = -2;

// Reduces every group of `list`, innermost and leftmost first, merging the
// operands' selection files into the group's own; leaves the list holding the
// single code that was expanded. Returns the number of groups merged, -1 when
// the list is not made of well-formed groups, or kUnwrittenGroup when a
// group's file could not be written (its code then goes to `unwritten`, when
// given); nothing more is merged after either failure.
int MergeGroups(TokenList& list, std::string* unwritten = nullptr);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_MERGE_H_
