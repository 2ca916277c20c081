#include "src/startup/menu_screens.h"

#include "src/outputs/agenda_screen.h"
#include "src/outputs/label_parameters.h"
#include "src/queries/query_list.h"
#include "src/screen/navigation.h"
#include "src/startup/query_list_wiring.h"
#include "src/startup/tools_menu.h"
#include "src/util/process_services.h"

namespace vz::startup {

void RunQueryListPlaceholder() {
  screen::SetNavigationCode("MNU");
}

void RunAgendaPlaceholder() {
  screen::SetNavigationCode("MNU");
}

MenuScreens DefaultMenuScreens() {
  MenuScreens screens;
  screens.query_list = [] { queries::RunQueryListScreen(ProgramQueryListActions()); };
  screens.agenda = outputs::RunAgendaScreen;
  screens.label_parameters = outputs::RunLabelParametersScreen;
  screens.run_tools_program = [](std::string_view program) {
    return util::RunAndWait(program, "");
  };
  screens.tools_menu = [tools = screens] { RunToolsMenu(tools); };
  return screens;
}

}  // namespace vz::startup
