// Sorting the rows of a table by one column, as the user asks it by clicking a
// column title (desktop) or with the scenario step "sort" (scripted).
//
// The order: cells are compared without their blanks at both ends. Two cells
// that both read as numbers compare as numbers: an optional sign, digits that
// may be grouped by blanks (a space or the no-break space of cp1252), an
// optional decimal part after a comma or a point ("1 234,50", "-3584",
// "0.5"); two dates DD/MM/YYYY compare as dates (among the numbers, by their
// value YYYYMMDD). Otherwise texts compare letter by letter without regard to case or
// accents (the runtime's name folding, os/accents.h), then by their bytes so
// that the order is total. In ascending order numbers come before texts.
// Empty cells always come last, whichever the direction. The sort is stable: rows that compare equal
// keep their order. The selected row stays selected (it moves with its row).
//
// Only a table declared sortable (sort=1 in the window library) may be sorted
// by the user: the front ends check Field::sortable; SortTableRows itself
// sorts any table. Pure work on the model; nothing fails but a column out of
// range, which changes nothing.
#ifndef VZ_PLATFORM_RUNTIME_TABLE_SORT_H_
#define VZ_PLATFORM_RUNTIME_TABLE_SORT_H_

#include <optional>
#include <string_view>

#include "platform/runtime/window_model.h"

namespace vz::runtime {

enum class SortOrder { kAscending, kDescending };

// The number a cell reads as (rules above); nullopt for a text or an empty cell.
std::optional<double> CellNumber(std::string_view cell);

// Sorts table.rows by column (0-based). False, with nothing changed, when the
// field is not a table or has no such column.
bool SortTableRows(Field& table, int column, SortOrder order);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_TABLE_SORT_H_
