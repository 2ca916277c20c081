// Field verbs: "ECRAN,RECUPERE," + field (read), "AFFICHE," + field=value
// (write), "Ecran,Selection," + state + fields (state "+", "-" or "I" of one
// or more fields) and "RECUPERE," + variable (a runtime variable).
//
// Fields are those of the current window, addressed as in
// docs/window-library.md. "Ecran,Selection,+,LIBOPTION,TEXTE,OPTION" changes
// three fields; a number after a name is that name's index ("EXPLIC,2").
#include <vector>

#include "platform/runtime/field_values.h"
#include "platform/runtime/interpreter.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

std::vector<std::string> StateTargets(std::string_view list) {
  std::vector<std::string> targets;
  while (!list.empty()) {
    auto [item, rest] = SplitAtComma(list);
    list = rest;
    item = TrimBlanks(item);
    int index = 0;
    if (!targets.empty() && ParseRowNumber(item, index) &&
        targets.back().find(',') == std::string::npos) {
      targets.back() += "," + std::to_string(index);
    } else if (!item.empty()) {
      targets.emplace_back(item);
    }
  }
  return targets;
}

}  // namespace

CommandResult RunReadField(Session& session, std::string_view args) {
  const Window* window = session.CurrentWindow();
  if (!window) return session.Fail("ECRAN,RECUPERE with no window open");
  ReadResult read = ReadFieldValue(*window, args);
  if (!read.error.empty()) return session.Fail(read.error);
  return {0, std::move(read.value)};
}

CommandResult RunDisplay(Session& session, std::string_view args) {
  Window* window = session.CurrentWindow();
  if (!window) return session.Fail("AFFICHE with no window open");
  const size_t equals = args.find('=');
  if (equals == std::string_view::npos) return session.Fail("AFFICHE needs FIELD=VALUE");
  const std::string error =
      WriteFieldValue(*window, args.substr(0, equals), args.substr(equals + 1));
  if (!error.empty()) return session.Fail(error);
  return {};
}

CommandResult RunFieldState(Session& session, std::string_view args) {
  Window* window = session.CurrentWindow();
  if (!window) return session.Fail("Ecran,Selection with no window open");
  auto [state_code, list] = SplitAtComma(args);
  const auto state = StateFromCode(TrimBlanks(state_code));
  if (!state) {
    return session.Fail("state \"" + std::string(state_code) + "\" is not \"+\", \"-\" or \"I\"");
  }
  const std::vector<std::string> targets = StateTargets(list);
  if (targets.empty()) return session.Fail("Ecran,Selection names no field");
  CommandResult result;
  for (const auto& name : targets) {
    Field* field = window->FindField(name);
    if (!field) {
      session.Note("unknown field \"" + name + "\" in window \"" + window->name + "\"");
      result.value = -1;
      continue;
    }
    field->state = *state;
  }
  return result;
}

CommandResult RunReadVariable(Session& session, std::string_view args) {
  const std::string_view name = TrimBlanks(args);
  auto value = session.Variables().Get(name);
  if (!value) return session.Fail("unknown variable \"" + std::string(name) + "\"");
  return {0, std::move(*value)};
}

}  // namespace vz::runtime
