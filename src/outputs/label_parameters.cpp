#include "src/outputs/label_parameters.h"

#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"

namespace vz::outputs {
namespace {

constexpr char kLabelLayoutKey[] = "EX_ETIQUETTE";
constexpr char kSection[] = "COMPOSANTS";

}  // namespace

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
  config::ReadParameter(config::ParameterFilePath(), kLabelLayoutKey, table, kSection);
  for (size_t i = 0; i < kLabelLayoutFields.size(); ++i) {
    screen::SetFieldValue(kLabelLayoutFields[i], table[i + 1]);
  }
  screen::SendCommand("Ecran,Saisie");
  if (screen::ReturnCode() != "ESC") {
    for (size_t i = 0; i < kLabelLayoutFields.size(); ++i) {
      table[i + 1] =
          StorableFieldValue(screen::GetFieldValue(kLabelLayoutFields[i], screen::kWholeValue));
    }
    config::WriteParameter(config::ParameterFilePath(), kLabelLayoutKey, table, kSection);
  }
  screen::SendCommand("Ferme");
}

}  // namespace vz::outputs
