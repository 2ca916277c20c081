#include "project/project_code.h"

#include "project/result_list_window.h"

namespace vz::project {

void RegisterProjectCode(runtime::CodeRegistry& registry) {
  RegisterWindowBookkeeping(registry);
  RegisterFieldProcedures(registry);
  RegisterAgendaWindow(registry);
  RegisterQueryWindows(registry);
  RegisterCombineWindow(registry);
  RegisterRubricChoice(registry);
  RegisterProgressWindow(registry);
  RegisterLetterRun(registry);
  RegisterResultWindow(registry);
  RegisterResultListWindow(registry);
}

}  // namespace vz::project
