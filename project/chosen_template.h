// The letter template chosen in the result window RESULTAT, remembered for
// the runtime session: the window is closed and opened again after the
// letters, an extraction or any other action, and opens with the template
// the adviser last chose rather than the first of the list.
//
// Remember reads the selected entry of the list Nom_Lettre; Reselect selects
// the remembered entry again when the list still holds it (compared exactly)
// and leaves the selection as it is otherwise. A window without the list
// changes nothing. The memory is a session object: it dies with the session.
#ifndef VZ_PROJECT_CHOSEN_TEMPLATE_H_
#define VZ_PROJECT_CHOSEN_TEMPLATE_H_

#include "platform/runtime/code_registry.h"

namespace vz::project {

void RememberChosenTemplate(runtime::CodeContext& context, const runtime::Window& window);
void ReselectChosenTemplate(runtime::CodeContext& context, runtime::Window& window);

}  // namespace vz::project

#endif  // VZ_PROJECT_CHOSEN_TEMPLATE_H_
