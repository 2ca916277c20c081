// The label parameters screen "PARETI": the page layout of address labels.
//
// The layout is the parameter "EX_ETIQUETTE" of section "COMPOSANTS" of the
// parameter file: eight fields, in this order, each shown in and read from the
// window field of the same name: "MHAUTE" top margin, "MGAUCHE" left margin,
// "ESPV" vertical and "ESPH" horizontal spacing, "HAUTEUR" label height,
// "LARGEUR" label width, "NBETIH" labels across, "NBETIV" labels down. Values
// are kept as typed (text). The result window shows the same fields when it
// prints labels.
//
// Once the fields are set the window draws its preview ("Execute,
// APERCU.REMPLIR"). Confirming first asks the window's check
// ('EXECUTE("VerifieEtiquettes")'): a layout it refuses (integer 1: it does
// not fit an A4 sheet, or a field is not a number; the window has said why)
// is not stored and the window waits again with what was typed.
// Confirming writes all 32 fields of the parameter, each followed by the list
// separator (TAB), fields 9 to 32 as they were read; "ESC" leaves the file
// untouched. A typed value never carries a TAB or a line break into the file:
// those characters become blanks, so that the fields after it keep their
// places and the file keeps its lines. A missing parameter shows eight empty
// fields. A file that cannot be written is not reported.
// REQUIRES: the program is initialised (list separator TAB).
#ifndef VZ_SRC_OUTPUTS_LABEL_PARAMETERS_H_
#define VZ_SRC_OUTPUTS_LABEL_PARAMETERS_H_

#include <array>
#include <string>
#include <string_view>

#include "src/config/parameter_file.h"

namespace vz::outputs {

// The window fields of the label layout, in the order of the parameter's fields.
inline constexpr std::array<std::string_view, 8> kLabelLayoutFields = {
    "MHAUTE", "MGAUCHE", "ESPV", "ESPH", "HAUTEUR", "LARGEUR", "NBETIH", "NBETIV"};

void RunLabelParametersScreen();

// Reads the stored layout into fields 1 to 8 (and beyond) of `table`, as the
// screen shows it; also used by the result screen.
void ReadLabelLayout(config::table_param& table);

// A typed value as it may be stored in one field of a parameter: TAB, carriage
// return and line feed become blanks.
std::string StorableFieldValue(std::string_view typed);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LABEL_PARAMETERS_H_
