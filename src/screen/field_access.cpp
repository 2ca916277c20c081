#include "src/screen/field_access.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "src/screen/bridge.h"
#include "src/util/fixed_split.h"

namespace vz::screen {
namespace {

constexpr int kColumnCount = 10;

// A command built in place, with no allocation: the progress window of a
// selection gets several per client. The bridge keeps only the first 255
// characters of a command, so whatever would pass the room is never sent and
// is dropped here as well.
class CommandRoom {
 public:
  void Add(std::string_view text) {
    const size_t n = std::min(text.size(), sizeof text_ - size_);
    std::memcpy(text_ + size_, text.data(), n);
    size_ += n;
  }
  void Add(char c) {
    if (size_ < sizeof text_) text_[size_++] = c;
  }
  // Blanks in a field name are never meaningful.
  void AddWithoutBlanks(std::string_view name) {
    for (char c : name) {
      if (c != ' ') Add(c);
    }
  }
  // The text with each double quote turned into a single quote.
  void AddWithoutDoubleQuotes(std::string_view text) {
    for (char c : text) Add(c == '"' ? '\'' : c);
  }
  std::string_view view() const { return {text_, size_}; }
  std::string_view from(size_t start) const { return view().substr(start); }

 private:
  char text_[512];
  size_t size_ = 0;
};
static_assert(512 > 255, "the room holds every command the bridge keeps");

// Trailing blanks (space and character 255) removed, as trimming mode 2 does.
std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\xFF')) text.remove_suffix(1);
  return text;
}

// Asks the screen project whether the field is a switch (check box).
bool IsSwitchField(std::string_view field_name) {
  CommandRoom command;
  command.Add(
      "Ex\xE9"
      "cute(\"EstUnInterrupteur\", \"");
  command.Add(field_name);
  command.Add("\")");
  SendCommand(command.view());
  SendCommand("RECUPERE,gsEstUnInterrupteurRetour");
  return ReturnedText() == "OUI";
}

}  // namespace

void SetFieldValue(std::string_view field_name, std::string_view value) {
  constexpr std::string_view kVerb = "AFFICHE,";
  const std::string_view text = WithoutTrailingBlanks(value);
  CommandRoom command;
  command.Add(kVerb);
  command.AddWithoutBlanks(field_name);
  // The switch question is asked only for a single letter, and its own
  // command is built apart.
  if ((text == "O" || text == "N") && IsSwitchField(command.from(kVerb.size()))) {
    command.Add('=');
    command.Add(text == "O" ? '1' : '0');
  } else {
    command.Add('=');
    command.AddWithoutDoubleQuotes(text);
  }
  SendCommand(command.view());
}

std::string GetFieldValue(std::string_view field_name, int column_index) {
  constexpr std::string_view kVerb = "ECRAN,RECUPERE,";
  CommandRoom command;
  command.Add(kVerb);
  command.AddWithoutBlanks(field_name);
  SendCommand(command.view());
  std::string value = ReturnedText();
  if (column_index > 0) {
    if (column_index > kColumnCount) return std::string();
    std::vector<std::string> parts = util::SplitFixedCount(value, "\t", kColumnCount);
    return parts[column_index - 1];
  }
  if (value == "1" || value == "0") {
    const std::string_view name = command.from(kVerb.size());
    if (IsSwitchField(name.substr(0, name.find(',')))) value = (value == "1") ? "O" : "N";
  }
  return value;
}

}  // namespace vz::screen
