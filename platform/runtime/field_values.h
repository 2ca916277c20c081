// Reading and writing window fields by the addresses the program sends
// ("MHAUTE", "VALDEB,03", "EXPLIC,1", "TABLE1"), and the row and entry
// operations of tables and lists.
//
// Rules (docs/window-library.md, "Addressing fields from commands"): an
// indexed field wins over a table cell of the same name; a column name alone
// is the cell of the selected row; a table alone is its selected row, cells
// joined by TAB. Every failure comes back as a message naming the field; the
// window is then unchanged.
#ifndef VZ_PLATFORM_RUNTIME_FIELD_VALUES_H_
#define VZ_PLATFORM_RUNTIME_FIELD_VALUES_H_

#include <string>
#include <string_view>

#include "platform/runtime/window_model.h"

namespace vz::runtime {

struct ReadResult {
  std::string value;
  std::string error;  // empty when the read succeeded
};

ReadResult ReadFieldValue(const Window& window, std::string_view address);

// Empty string on success, else why nothing was written.
std::string WriteFieldValue(Window& window, std::string_view address, std::string_view value);

// Appends a row from TAB-separated cells; missing cells are empty. More cells
// than columns is an error and adds nothing. Returns the error or "".
std::string AddTableRow(Field& table, std::string_view cells);

// First row whose cell in column equals value exactly; 0 when none.
int FindTableRow(const Field& table, int column, std::string_view value);

// First entry whose whole text equals value, else the first whose first
// column (text before the first TAB) equals it; 0 when none.
int FindListEntry(const Field& list, std::string_view value);

// Selects row or entry number row of a table or list. Error when out of range.
std::string SelectItem(Field& field, int row);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_FIELD_VALUES_H_
