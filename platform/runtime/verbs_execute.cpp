// Execute verbs, in the three spellings the program sends:
//   'EXéCUTE("OUVREFEN","MENU")', 'exécute("FermeFen")',
//   'Exécute("EstUnInterrupteur", "FIELD")'   a project procedure with its arguments
//   "Execute,FIELD.EVENT"                      window code of the current window
//   "Execute,PROC"                             a project procedure without arguments
// The procedure's integer and text are the command's results. Arguments are
// quoted texts (which may hold commas) or bare texts, separated by commas.
#include <vector>

#include "platform/runtime/interpreter.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

struct Call {
  std::string name;
  std::vector<std::string> args;
  std::string error;
};

// Parses '("NAME","ARG",...)'. REQUIRES: text starts with '('.
Call ParseCall(std::string_view text) {
  Call call;
  std::vector<std::string> items;
  size_t pos = 1;
  auto skip_blanks = [&] {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  };
  skip_blanks();
  if (pos < text.size() && text[pos] == ')') {
    call.error = "execute names no procedure";
    return call;
  }
  while (true) {
    skip_blanks();
    std::string item;
    if (pos < text.size() && text[pos] == '"') {
      const size_t close = text.find('"', pos + 1);
      if (close == std::string_view::npos) {
        call.error = "quoted argument is not closed";
        return call;
      }
      item = std::string(text.substr(pos + 1, close - pos - 1));
      pos = close + 1;
      skip_blanks();
    } else {
      const size_t end = text.find_first_of(",)", pos);
      if (end == std::string_view::npos) break;
      item = std::string(TrimBlanks(text.substr(pos, end - pos)));
      pos = end;
    }
    items.push_back(std::move(item));
    if (pos < text.size() && text[pos] == ',') {
      ++pos;
      continue;
    }
    if (pos < text.size() && text[pos] == ')') {
      ++pos;
      skip_blanks();
      if (pos != text.size()) {
        call.error = "text after the closing parenthesis";
        return call;
      }
      call.name = items.front();
      call.args.assign(items.begin() + 1, items.end());
      if (TrimBlanks(call.name).empty()) call.error = "execute names no procedure";
      return call;
    }
    break;
  }
  call.error = "execute call is not closed by \")\"";
  return call;
}

CommandResult RunProcedure(Session& session, const Call& call) {
  const Procedure* procedure = session.registry().FindProcedure(call.name);
  if (!procedure) return session.Fail("unknown procedure \"" + call.name + "\"");
  ProcedureResult result = (*procedure)(session, call.args);
  return {result.value, std::move(result.text)};
}

}  // namespace

CommandResult RunExecute(Session& session, std::string_view args) {
  if (!args.empty() && args.front() == '(') {
    const Call call = ParseCall(args);
    if (!call.error.empty()) return session.Fail(call.error);
    return RunProcedure(session, call);
  }
  const std::string_view target = TrimBlanks(args);
  const size_t dot = target.find('.');
  if (dot == std::string_view::npos) {
    if (target.empty()) return session.Fail("execute names nothing");
    Call call;
    call.name = std::string(target);
    return RunProcedure(session, call);
  }
  Window* window = session.CurrentWindow();
  if (!window)
    return session.Fail("window code \"" + std::string(target) + "\" with no window open");
  const std::string_view field = TrimBlanks(target.substr(0, dot));
  const std::string_view event = TrimBlanks(target.substr(dot + 1));
  if (!window->FindField(field)) {
    return session.Fail("unknown field \"" + std::string(field) + "\" in window \"" + window->name +
                        "\"");
  }
  if (!session.RunWindowCode(*window, field, event)) {
    return session.Fail("no window code for " + window->name + "." + std::string(field) + "." +
                        std::string(event));
  }
  return {};
}

}  // namespace vz::runtime
