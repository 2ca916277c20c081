#include "src/queries/combination_screen.h"

#include <string>

#include "src/screen/bridge.h"
#include "src/screen/field_access.h"
#include "src/util/number_text.h"

namespace vz::queries {
namespace {

// Selects the operand's row in its table (when the code is listed) and copies
// the row's title into the shown title field.
void ShowOperand(std::string_view code, std::string_view code_column, std::string_view table,
                 std::string_view title_column, std::string_view title_field) {
  screen::SendCommand("Table,Cherche," + std::string(code_column) + "," + std::string(code));
  const int32_t row = screen::IntegerReturnValue();
  if (row > 0) {
    screen::SendCommand("Table,Select,+," + std::string(table) + "," +
                        util::IntToTextBlankPadded(row, 2));
  }
  // The value of the last command sent: the selection when the code was
  // found, the failed search otherwise.
  const int32_t shown = screen::IntegerReturnValue();
  if (shown > 0) {
    screen::SetFieldValue(title_field, screen::GetFieldValue(std::string(title_column) + "," +
                                                                 util::IntToText(shown, 2),
                                                             screen::kWholeValue));
  }
}

// The code in the row selected in `table`.
std::string SelectedCode(std::string_view table, std::string_view code_column) {
  screen::SendCommand("Table,Select,?," + std::string(table));
  const int32_t row = screen::IntegerReturnValue();
  return screen::GetFieldValue(std::string(code_column) + "," + util::IntToText(row, 3),
                               screen::kWholeValue);
}

}  // namespace

void ShowCombination(std::string_view first_code, std::string_view operation,
                     std::string_view second_code) {
  ShowOperand(first_code, "REQUETE1", "TABLE1", "texte1", "titre1");
  if (operation == kUnion) {
    screen::SetFieldValue("OPTION", "1");
    screen::SetFieldValue("ENSEMBLE", "UNION.BMP");
  } else {
    screen::SetFieldValue("OPTION", "2");
    screen::SetFieldValue("ENSEMBLE", "INTERSEC.BMP");
  }
  ShowOperand(second_code, "REQUETE2", "TABLE2", "texte2", "titre2");
}

std::string BuildCombinationPart() {
  std::string part = std::string(kCombinedMark) + "\t";
  part += SelectedCode("TABLE1", "REQUETE1") + "\t";
  const int32_t option = util::TextToInt(screen::GetFieldValue("OPTION", screen::kWholeValue));
  part += std::string(option == 1 ? kUnion : kIntersection) + "\t";
  part += SelectedCode("TABLE2", "REQUETE2") + "\t";
  return part;
}

}  // namespace vz::queries
