// The query being edited in the definition window (SEL01 or COMBINE), as a
// draft: what it would be saved as now, whether it changed since the window
// opened, and the two questions that keep a draft from being lost or saved
// by mistake:
//  - Escape with unsaved changes asks "Abandonner les modifications de cette
//    requête ?"; "no" keeps the window open with the draft;
//  - saving an elementary query without any criterion asks whether to save a
//    query that will select every client; "no" keeps the window open.
// A draft is its working set's lines (removed ones left out) and what the
// window shows: title, explanations and, for a combined query, the rows picked
// in its two tables and the operator.
// REQUIRES: the definition window is the current window; the list separator
// is TAB.
#ifndef VZ_SRC_QUERIES_DEFINITION_DRAFT_H_
#define VZ_SRC_QUERIES_DEFINITION_DRAFT_H_

#include <string>
#include <vector>

#include "src/queries/query_records.h"

namespace vz::queries {

struct Draft {
  std::vector<QueryLine> lines;  // live lines, title line left out
  std::string title;             // the window's fields, each followed by TAB

  bool operator==(const Draft&) const;
};

// The draft as the window and the working set hold it now.
Draft ReadDraft(const QueryWorkingSet& lines);

// The working set's lines with the title line as a save would write it now
// (today's date, the window's title, explanations and combination).
std::vector<QueryLine> LinesAsSaved(const QueryWorkingSet& lines);

// True when the elementary query has a criterion line (any live line but the
// title); always true for a combined query.
bool HasCriteria(const QueryWorkingSet& lines);

// Escape: true when the window may close (nothing changed since `opened`, or
// the adviser agrees to abandon the changes).
bool MayLeave(const Draft& opened, const QueryWorkingSet& lines);

// Save: true when the query may be saved (it has a criterion, or the adviser
// agrees to save a query that selects every client).
bool MaySave(const QueryWorkingSet& lines);

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_DEFINITION_DRAFT_H_
