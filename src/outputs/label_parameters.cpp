#include "src/outputs/label_parameters.h"

#include <algorithm>

#include "platform/os/paths.h"
#include "platform/os/profile_file.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"

namespace vz::outputs {
namespace {

constexpr char kLabelLayoutKey[] = "EX_ETIQUETTE";

}  // namespace

// Reading a parameter appends "," to a value that does not end with one, as
// the comma-separated parameters need. With TAB as separator that comma lands
// in the last field of a layout stored with fewer than 32 fields by another
// program or by hand ("...\t8" reads "8,", "...\t8\t" gives a ninth field ","):
// it is taken off again, so that saving never stores a comma nobody typed.
void ReadLabelLayout(config::table_param& table) {
  const std::string& path = config::ParameterFilePath();
  config::ReadParameter(path, kLabelLayoutKey, table, config::kComponentsSection);
  const std::string stored =
      os::ReadProfileString(os::ToNativePath(path), config::kComponentsSection, kLabelLayoutKey);
  if (stored.empty() || stored.back() == ',') return;  // nothing was appended
  const auto separators = std::count(stored.begin(), stored.end(), config::ListSeparator());
  if (separators >= config::kParameterFields) return;  // the comma was not taken
  std::string& last = table[separators + 1];
  if (!last.empty() && last.back() == ',') last.pop_back();
}

std::string StorableFieldValue(std::string_view typed) {
  std::string value(typed);
  for (char& c : value) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return value;
}

void RunLabelParametersScreen() {
  screen::SendCommand("Ouvre,PARETI");
  config::table_param& table = config::SharedParameterTable();
  ReadLabelLayout(table);
  for (size_t i = 0; i < kLabelLayoutFields.size(); ++i) {
    screen::SetFieldValue(kLabelLayoutFields[i], table[i + 1]);
  }
  // The window shows the preview of the stored layout.
  screen::SendCommand("Execute,APERCU.REMPLIR");
  // A layout that does not fit an A4 sheet is refused by the window's check
  // (it says why) and the window waits again with what was typed.
  do {
    screen::SendCommand("Ecran,Saisie");
    if (screen::ReturnCode() == "ESC") break;
    screen::SendCommand("EXECUTE(\"VerifieEtiquettes\")");
  } while (screen::IntegerReturnValue() == 1);
  if (screen::ReturnCode() != "ESC") {
    for (size_t i = 0; i < kLabelLayoutFields.size(); ++i) {
      table[i + 1] =
          StorableFieldValue(screen::GetFieldValue(kLabelLayoutFields[i], screen::kWholeValue));
    }
    config::WriteParameter(config::ParameterFilePath(), kLabelLayoutKey, table,
                           config::kComponentsSection);
  }
  screen::SendCommand("Ferme");
}

}  // namespace vz::outputs
