#include "src/config/parameter_file.h"

#include "platform/os/paths.h"
#include "platform/os/profile_file.h"
#include "src/util/blanks.h"
#include "src/util/number_text.h"

namespace vz::config {
namespace {

char& Separator() {
  static char separator = ',';
  return separator;
}

}  // namespace

table_param& SharedParameterTable() {
  static table_param table;
  return table;
}

char ListSeparator() {
  return Separator();
}
void SetListSeparator(char separator) {
  Separator() = separator;
}

ScopedListSeparator::ScopedListSeparator(char separator) : previous_(ListSeparator()) {
  SetListSeparator(separator);
}
ScopedListSeparator::~ScopedListSeparator() {
  SetListSeparator(previous_);
}

void ClearTable(table_param& table) {
  for (std::string& entry : table) entry.clear();
}

int FieldCount(const table_param& table) {
  return util::TextToInt(table[0]);
}

void ReadParameter(std::string_view path, std::string_view key, table_param& table,
                   std::string_view section) {
  std::string value = os::ReadProfileString(os::ToNativePath(path), section, key);
  ClearTable(table);
  if (!value.empty() && value.back() != ',') value.push_back(',');
  if (!util::TrimRightBlanksAndNuls(value).empty()) SplitValue(value, table, "");
}

bool WriteParameter(std::string_view path, std::string_view key, table_param table,
                    std::string_view section) {
  std::string value;
  for (int i = 1; i <= kParameterFields; ++i) {
    value += table[i];
    value.push_back(ListSeparator());
  }
  return os::WriteProfileString(os::ToNativePath(path), section, key, value);
}

void SplitValue(std::string_view text, table_param& table, std::string_view separator) {
  const ScopedListSeparator for_this_call(separator.empty() ? ListSeparator() : separator[0]);
  const char split_at = ListSeparator();
  std::string rest = util::TrimBlanks(text, util::kTrimTrailing);
  rest.push_back(split_at);
  int taken = 0;
  int last_filled = 0;
  size_t pos = 0;
  while (pos < rest.size() && taken < kParameterFields) {
    const size_t end = rest.find(split_at, pos);  // found: the text ends with one
    ++taken;
    table[taken] = rest.substr(pos, end - pos);
    if (!table[taken].empty()) last_filled = taken;
    pos = end + 1;
  }
  table[0] = util::IntToText(last_filled, 2);
}

}  // namespace vz::config
