#include "project/letter_run.h"

namespace vz::project {

void StartLetterRun(runtime::CodeContext& /*context*/) {}
void FinishLetterRun(runtime::CodeContext& /*context*/) {}
void RegisterLetterRun(runtime::CodeRegistry& /*registry*/) {}

}  // namespace vz::project
