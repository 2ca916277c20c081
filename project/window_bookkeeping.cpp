// OUVREFEN and FermeFen: the project's bookkeeping around every window the
// program opens and closes (the bridge runs them before "Ouvre" and
// "Ferme").
//
// Variables kept:
//   gsFenetresOuvertes  names of the windows opened through OUVREFEN, oldest
//                       first, separated by TAB (a window opened again while
//                       it is the last one stays one entry)
//   gnNbFenetres        how many there are
//   gsFenetreDemandee   the window OUVREFEN was last asked to open
//   gnFenetreX, gnFenetreY  the position asked for, empty when none
//   gsFenetreFermee     the window FermeFen last closed
#include <string>
#include <vector>

#include "platform/runtime/text_encoding.h"
#include "platform/runtime/window_library.h"
#include "platform/runtime/window_model.h"
#include "project/project_code.h"

namespace vz::project {
namespace {

using runtime::CodeContext;
using runtime::ProcedureResult;

constexpr char kOpenList[] = "gsFenetresOuvertes";

std::vector<std::string> SplitTabs(const std::string& text) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  size_t start = 0;
  while (true) {
    const size_t tab = text.find('\t', start);
    items.push_back(text.substr(start, tab == std::string::npos ? tab : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return items;
}

void StoreOpenList(CodeContext& context, const std::vector<std::string>& names) {
  std::string joined;
  for (size_t i = 0; i < names.size(); ++i) joined += (i ? "\t" : "") + names[i];
  context.Variables().Set(kOpenList, joined);
  context.Variables().Set("gnNbFenetres", std::to_string(names.size()));
}

ProcedureResult OpenWindowBookkeeping(CodeContext& context, const std::vector<std::string>& args) {
  // "SEL01A,10,10" arrives as one argument; accept separate ones as well.
  std::string joined;
  for (size_t i = 0; i < args.size(); ++i) joined += (i ? "," : "") + args[i];
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t comma = joined.find(',', start);
    parts.emplace_back(runtime::TrimBlanks(std::string_view(joined).substr(
        start, comma == std::string::npos ? comma : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  const std::string& name = parts[0];
  if (name.empty()) {
    context.Note("OUVREFEN names no window");
    return {-1, {}};
  }
  auto& variables = context.Variables();
  variables.Set("gsFenetreDemandee", name);
  variables.Set("gnFenetreX", parts.size() > 1 ? parts[1] : "");
  variables.Set("gnFenetreY", parts.size() > 2 ? parts[2] : "");
  auto names = SplitTabs(variables.Get(kOpenList).value_or(""));
  // Opening the window that is already current starts it afresh in place
  // (the progress window of each pass of a combined selection): it stays one
  // entry, so that the list keeps matching the windows on screen.
  if (names.empty() || runtime::WindowKey(names.back()) != runtime::WindowKey(name)) {
    names.push_back(name);
  }
  StoreOpenList(context, names);
  const runtime::WindowLibrary* library = context.Library();
  if (!library || !library->Find(name)) {
    context.Note("OUVREFEN: window \"" + name + "\" is not in the window library");
    return {-1, {}};
  }
  return {};
}

ProcedureResult CloseWindowBookkeeping(CodeContext& context, const std::vector<std::string>& args) {
  if (!args.empty()) context.Note("FermeFen takes no argument; ignored");
  auto names = SplitTabs(context.Variables().Get(kOpenList).value_or(""));
  if (names.empty()) {
    context.Note("FermeFen with no window opened through OUVREFEN");
    return {-1, {}};
  }
  context.Variables().Set("gsFenetreFermee", names.back());
  names.pop_back();
  StoreOpenList(context, names);
  return {};
}

}  // namespace

void RegisterWindowBookkeeping(runtime::CodeRegistry& registry) {
  registry.AddProcedure("OUVREFEN", OpenWindowBookkeeping);
  registry.AddProcedure("FermeFen", CloseWindowBookkeeping);
}

}  // namespace vz::project
