#include "project/project_code.h"

#include "project/label_parameters_window.h"
#include "project/result_list_window.h"
#include "project/result_printing.h"

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
  RegisterLabelParametersWindow(registry);
  RegisterResultPrinting(registry);
}

}  // namespace vz::project
