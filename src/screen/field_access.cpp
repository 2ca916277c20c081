#include "src/screen/field_access.h"

#include <algorithm>
#include <vector>

#include "src/screen/bridge.h"
#include "src/util/blanks.h"
#include "src/util/fixed_split.h"

namespace vz::screen {
namespace {

constexpr int kColumnCount = 10;

std::string WithoutBlanks(std::string_view name) {
  std::string result;
  for (char c : name) {
    if (c != ' ') result += c;
  }
  return result;
}

// Asks the screen project whether the field is a switch (check box).
bool IsSwitchField(const std::string& field_name) {
  SendCommand(
      "Ex\xE9"
      "cute(\"EstUnInterrupteur\", \"" +
      field_name + "\")");
  SendCommand("RECUPERE,gsEstUnInterrupteurRetour");
  return ReturnedText() == "OUI";
}

}  // namespace

void SetFieldValue(std::string_view field_name, std::string_view value) {
  constexpr std::string_view kVerb = "AFFICHE,";
  std::string text = util::TrimBlanks(value, util::kTrimTrailing);
  std::replace(text.begin(), text.end(), '"', '\'');
  // The command is built in one text: this runs for every client of a selection.
  std::string command;
  command.reserve(kVerb.size() + field_name.size() + 1 + text.size());
  command += kVerb;
  for (char c : field_name) {
    if (c != ' ') command += c;
  }
  if ((text == "O" || text == "N") && IsSwitchField(command.substr(kVerb.size()))) {
    text = (text == "O") ? "1" : "0";
  }
  command += '=';
  command += text;
  SendCommand(command);
}

std::string GetFieldValue(std::string_view field_name, int column_index) {
  std::string name = WithoutBlanks(field_name);
  SendCommand("ECRAN,RECUPERE," + name);
  std::string value = ReturnedText();
  if (column_index > 0) {
    if (column_index > kColumnCount) return std::string();
    std::vector<std::string> parts = util::SplitFixedCount(value, "\t", kColumnCount);
    return parts[column_index - 1];
  }
  if (value == "1" || value == "0") {
    std::string switch_name = name.substr(0, name.find(','));
    if (IsSwitchField(switch_name)) value = (value == "1") ? "O" : "N";
  }
  return value;
}

}  // namespace vz::screen
