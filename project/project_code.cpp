#include "project/project_code.h"

namespace vz::project {

void RegisterProjectCode(runtime::CodeRegistry& registry) {
  RegisterWindowBookkeeping(registry);
  RegisterFieldProcedures(registry);
}

}  // namespace vz::project
