// The result screen (result_screen.h).
#include "src/outputs/result_screen.h"

#include "src/config/parameter_file.h"
#include "src/db/query_code.h"
#include "src/db/record_ops.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/outputs/label_parameters.h"
#include "src/outputs/letters.h"
#include "src/queries/definition_screen.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"
#include "src/selection/expansion.h"

namespace vz::outputs {
namespace {

// False, with nothing opened, when the engine refuses the code as SELECTES's
// physical name: the window would show another query's extraction.
bool ShowResultWindow(std::string_view query_code) {
  // The letters and labels read SELECTES: name it after this query before
  // the window opens (a substitution only, the file is left as it is).
  if (!db::Hsubstnom("SELECTES", query_code)) return false;
  screen::SendCommand("Ouvre,RESULTAT");
  config::table_param layout{};
  ReadLabelLayout(layout);
  for (size_t i = 0; i < kLabelLayoutFields.size(); ++i) {
    screen::SetFieldValue(kLabelLayoutFields[i], layout[i + 1]);
  }
  screen::SetFieldValue("REQUETE", query_code);
  // The window code lists the query's clients in place, with no command per row.
  screen::SendCommand("Execute,CLIENTS.REMPLIR");
  return true;
}

void RefuseCode(std::string_view query_code) {
  constexpr std::string_view kNotOpened = "les résultats ne sont pas ouverts";
  screen::SendCommand("Erreur," + db::QueryCodeRefusal(query_code, kNotOpened));
}

}  // namespace

void RunResultScreen(std::string_view query_code) {
  const std::string_view code = query_code.substr(0, selection::kQueryCodeWidth);
  if (!db::IsUsableQueryCode(code)) return RefuseCode(code);
  while (true) {
    if (!ShowResultWindow(code)) return RefuseCode(code);
    screen::SendCommand("Ecran,Saisie");
    const std::string action = screen::ReturnCode();
    if (action == "LET") ProduceLetters();
    screen::SendCommand("Ferme");
    if (action == "ESC") return;
    if (action == "RUB") {
      queries::OpenRubricChoiceWindow(code);
      RunExtractionDispatch(code);
    }
  }
}

}  // namespace vz::outputs
