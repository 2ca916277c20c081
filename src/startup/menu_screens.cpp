#include "src/startup/menu_screens.h"

#include "src/outputs/agenda_screen.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/outputs/label_parameters.h"
#include "src/outputs/result_screen.h"
#include "src/queries/query_list.h"
#include "src/selection/selection_run.h"
#include "src/screen/navigation.h"
#include "src/startup/data_directory_hold.h"
#include "src/startup/tools_menu.h"
#include "src/util/process_services.h"

namespace vz::startup {

void RunQueryListPlaceholder() {
  screen::SetNavigationCode("MNU");
}

void RunAgendaPlaceholder() {
  screen::SetNavigationCode("MNU");
}

namespace {

// What the query list reaches outside the query screens.
queries::QueryListActions ProgramQueryListActions() {
  queries::QueryListActions actions;
  // No selection over data files that an unfinished restore left half swapped.
  actions.run_selection = [](std::string_view query_code) {
    return !RefusedForRestore("la sélection n'est pas lancée") &&
           selection::RunSelection(query_code);
  };
  actions.run_extraction = outputs::RunExtractionDispatch;
  actions.show_results = outputs::RunResultScreen;
  return actions;
}

}  // namespace

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
