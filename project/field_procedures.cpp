// EstUnInterrupteur(field): tells the program whether a field of the current
// window is a switch, by setting gsEstUnInterrupteurRetour to "OUI" or "NON".
// An unknown field, or no window open, gives "NON" (and a transcript note),
// so that the program never translates a value it should not.
#include <string>
#include <vector>

#include "platform/runtime/text_encoding.h"
#include "project/project_code.h"

namespace vz::project {
namespace {

using runtime::CodeContext;
using runtime::ProcedureResult;

constexpr char kSwitchAnswer[] = "gsEstUnInterrupteurRetour";

ProcedureResult IsSwitch(CodeContext& context, const std::vector<std::string>& args) {
  std::string name;
  for (char c : args.empty() ? std::string() : args[0]) {
    if (c != ' ') name += c;  // blanks in a field name mean nothing
  }
  name = name.substr(0, name.find(','));
  bool is_switch = false;
  const runtime::Window* window = context.CurrentWindow();
  if (!window) {
    context.Note("EstUnInterrupteur with no window open");
  } else if (const runtime::Field* field = window->FindField(name)) {
    is_switch = field->kind == runtime::FieldKind::kSwitch;
  } else if (!const_cast<runtime::Window*>(window)->FindColumn(name)) {
    context.Note("EstUnInterrupteur: unknown field \"" + name + "\" in window \"" + window->name +
                 "\"");
  }
  context.Variables().Set(kSwitchAnswer, is_switch ? "OUI" : "NON");
  return {};
}

}  // namespace

void RegisterFieldProcedures(runtime::CodeRegistry& registry) {
  registry.AddProcedure("EstUnInterrupteur", IsSwitch);
}

}  // namespace vz::project
