// Small text helpers shared by the window code of the query screens (the
// identity criteria lists, the combination window and the rubric choice
// window): trimming stored texts, splitting TAB-separated elements, reading
// the rows of list and table fields.
//
// Everything works on cp1252 texts by value and owns nothing; nothing fails.
#ifndef VZ_PROJECT_QUERY_WINDOWS_TEXT_H_
#define VZ_PROJECT_QUERY_WINDOWS_TEXT_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/window_model.h"

namespace vz::project {

// The text without the blanks and NULs that pad stored fields on the right.
std::string TrimRight(std::string_view text);

// The text without blanks on either side.
std::string TrimBoth(std::string_view text);

// The elements of a text separated by TAB, numbered from 0; a text ending
// with TAB has no empty element after its last TAB ("a\tb\t" gives a, b).
std::vector<std::string> SplitAtTabs(std::string_view text);

// Element `index` (from 0) of a TAB-separated text, empty when it has fewer.
std::string ElementAt(std::string_view text, size_t index);

// The index of a table column by name, or -1; the table's cell of a row (0
// based), empty when out of range.
int ColumnOf(const runtime::Field& table, std::string_view column);
std::string CellOf(const runtime::Field& table, size_t row, int column);
// Sets a cell, growing a short row; nothing when the column is -1.
void SetCell(runtime::Field& table, size_t row, int column, std::string_view value);

}  // namespace vz::project

#endif  // VZ_PROJECT_QUERY_WINDOWS_TEXT_H_
