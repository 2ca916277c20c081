// List verbs of the current window:
//   "Liste,Cherche," + list + "," + text    integer = first entry whose text (columns joined
//                                           by TAB) equals text, else whose first column
//                                           does; 0 when none
//   "Liste,Select,+," + list + "," + entry  select an entry (" 3", "03" accepted)
//   "Liste,Select,-," + list                no entry selected
//   "Liste,Select,?," + list                integer = selected entry, 0 none
#include "platform/runtime/field_values.h"
#include "platform/runtime/interpreter.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

Field* FindList(Session& session, std::string_view name, CommandResult& failure) {
  Window* window = session.CurrentWindow();
  if (!window) {
    failure = session.Fail("list command with no window open");
    return nullptr;
  }
  name = TrimBlanks(name);
  Field* field = window->FindField(name);
  if (!field || field->kind != FieldKind::kList) {
    failure =
        session.Fail("no list \"" + std::string(name) + "\" in window \"" + window->name + "\"");
    return nullptr;
  }
  return field;
}

}  // namespace

CommandResult RunListFind(Session& session, std::string_view args) {
  auto [name, text] = SplitAtComma(args);
  CommandResult failure;
  Field* list = FindList(session, name, failure);
  if (!list) return failure;
  return {FindListEntry(*list, text), {}};
}

CommandResult RunListSelect(Session& session, std::string_view args) {
  auto [mode, rest] = SplitAtComma(args);
  mode = TrimBlanks(mode);
  auto [name, entry_text] = SplitAtComma(rest);
  CommandResult failure;
  Field* list = FindList(session, name, failure);
  if (!list) return failure;
  if (mode == "?") return {list->selected, {}};
  if (mode == "-") {
    list->selected = 0;
    return {};
  }
  if (mode != "+") {
    return session.Fail("Liste,Select takes \"+\", \"-\" or \"?\", not \"" + std::string(mode) +
                        "\"");
  }
  int entry = 0;
  if (!ParseRowNumber(entry_text, entry)) {
    return session.Fail("entry \"" + std::string(entry_text) + "\" is not an entry number");
  }
  const std::string error = SelectItem(*list, entry);
  if (!error.empty()) return session.Fail(error);
  return {entry, {}};
}

}  // namespace vz::runtime
