// The rubric criteria screens: one family of thirteen screens, one per rubric
// prefix (income "40", loans "54", taxes "51", owner-occupied real estate
// "01", rental real estate "02", land "03", securities "04", cash "05", other
// assets "06", life insurance "07", retirement "20", provident cover "33",
// estate "SC"). A table of members gives what each one changes: window,
// title, option, row form or fixed rows, bound cells and defaults.
//
// Each screen opens its window over the query definition window, fills table
// TABLE1, shows the working set's lines of its rubric and, on "TF0", turns
// every row whose bounds differ from the row's default into a criteria line
// and removes the lines of rows put back to their default. "ESC" leaves the
// working set as it was; any other return code shows the window again. Bounds
// are stored as typed. For a rubric with option, "TF0" with bounds typed in
// a row but no option chosen is refused: an error box names the row's rubric
// and the window stays open with what was typed (nothing is shown again over
// it), so that no typed bound is dropped unseen. When the working set has no slot left for a new
// line, that line is not stored and an error box says so. REQUIRES: the list separator is TAB; the
// database context exists and every file is described (the catalogue rows are read from RUBRIQUE).
#ifndef VZ_SRC_QUERIES_RUBRIC_CRITERIA_SCREENS_H_
#define VZ_SRC_QUERIES_RUBRIC_CRITERIA_SCREENS_H_

#include <string_view>

#include "src/queries/query_records.h"

namespace vz::queries {

// True when `prefix` names one of the thirteen screens.
bool IsRubricCriteriaPrefix(std::string_view prefix);

// Runs the screen of rubric `prefix` on the working set. An unknown prefix
// opens nothing, sends nothing and returns false.
bool RunRubricCriteriaScreen(std::string_view prefix, QueryWorkingSet& lines);

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_RUBRIC_CRITERIA_SCREENS_H_
