// Window field access: putting a value into a window field and reading one
// back, through the screen command bridge.
//
// Switch fields (check boxes) of the screen project hold "1" or "0" while the
// stored data writes "O" (oui) and "N" (non): both operations ask the screen
// project whether the field is a switch (its "EstUnInterrupteur" procedure)
// and translate the single letters. Blanks in a field name are never
// meaningful and are removed. Neither operation changes the bridge's return
// code, so both may run between "Ecran,Saisie" and the caller's test of it.
// Nothing is reported: a field the window does not know reads back empty.
#ifndef VZ_SRC_SCREEN_FIELD_ACCESS_H_
#define VZ_SRC_SCREEN_FIELD_ACCESS_H_

#include <string>
#include <string_view>

namespace vz::screen {

// The column index that asks for a field's whole value.
inline constexpr int kWholeValue = -1;

// Displays `value` in the field: trailing blanks removed, double quotes turned
// into single quotes, "O"/"N" shown as "1"/"0" in a switch field.
void SetFieldValue(std::string_view field_name, std::string_view value);

// Reads the field. A column index from 1 to 10 gives that TAB-separated part
// of the value (empty when missing; any other positive index gives an empty
// text); 0 or less gives the whole value, with "1"/"0" read as "O"/"N" when
// the field (the name before its first comma) is a switch.
std::string GetFieldValue(std::string_view field_name, int column_index);

}  // namespace vz::screen

#endif  // VZ_SRC_SCREEN_FIELD_ACCESS_H_
