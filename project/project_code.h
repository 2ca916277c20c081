// The screen project's code: the procedures and window code of the ORVANE
// project, written in C++ and registered with the screen runtime by name
// (docs/window-library.md, "Project procedures").
//
// RegisterProjectCode adds every procedure and every piece of window code of
// the project to a registry. The program's composition root hands it to the
// screen runtime (src/startup/runtime_wiring.cpp), which calls it each time a
// module starts; tests of the window code call it on their own sessions. The code keeps its state in runtime variables, never in
// globals, so that each runtime session starts clean.
#ifndef VZ_PROJECT_PROJECT_CODE_H_
#define VZ_PROJECT_PROJECT_CODE_H_

#include "platform/runtime/code_registry.h"

namespace vz::project {

void RegisterProjectCode(runtime::CodeRegistry& registry);

// Groups, registered by RegisterProjectCode.
void RegisterWindowBookkeeping(runtime::CodeRegistry& registry);  // OUVREFEN, FermeFen
void RegisterFieldProcedures(runtime::CodeRegistry& registry);    // EstUnInterrupteur
void RegisterAgendaWindow(runtime::CodeRegistry& registry);       // AGENDA
void RegisterQueryWindows(runtime::CodeRegistry& registry);  // SEL01A lists
void RegisterCombineWindow(runtime::CodeRegistry& registry);  // COMBINE tables and picture
void RegisterRubricChoice(runtime::CodeRegistry& registry);   // Rubrique
void RegisterProgressWindow(runtime::CodeRegistry& registry);  // EX_attente counter, bar
void RegisterLetterRun(runtime::CodeRegistry& registry);  // RESULTAT letters (letter_run.h)
void RegisterResultWindow(runtime::CodeRegistry& registry);  // RESULTAT opening, labels

}  // namespace vz::project

#endif  // VZ_PROJECT_PROJECT_CODE_H_
