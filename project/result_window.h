// The window code of the result window RESULTAT: its opening code and the
// printing of address labels.
//
//   RESULTAT.RESULTAT.OUVERTURE   fills the template list Nom_Lettre with the
//                                 letter templates of the data directory and
//                                 selects the first, sets PREMIERE to 1 and
//                                 starts a fresh letter run (letter_run.h)
//   RESULTAT.ETIQUETTES.CLIC      prints the labels of the query's extraction
//                                 (SELECTES, postcode order) with the layout
//                                 of the window's eight fields, from label
//                                 PREMIERE of the first sheet, into
//                                 <data>/ETIQUETTES/<REQUETE>.pdf; with
//                                 the switch FOYER on, one label per
//                                 household at one address
//
// The click ends with one message: "info," naming the file written and the
// count of labels and sheets, or "Erreur," with what to put right (no query,
// a query code that cannot name the file (src/db/query_code.h), no
// extraction, a layout field, the first position, a file that cannot be
// written). A failed print keeps the previous file of the query.
// REQUIRES: registered through RegisterProjectCode; the program names
// SELECTES after the query before opening the window.
#ifndef VZ_PROJECT_RESULT_WINDOW_H_
#define VZ_PROJECT_RESULT_WINDOW_H_

#include <filesystem>
#include <string>
#include <vector>

#include "platform/runtime/code_registry.h"
#include "project/label_sheet.h"

namespace vz::project {

// The letter templates of a folder: plain files ending ".rtf", ".htm",
// ".html", ".txt" or ".fodt" (case-blind), as cp1252 names, sorted without
// regard to case. Names that cannot be shown in a list (not cp1252, holding a
// TAB or a line break) are left out. An unreadable folder gives none.
std::vector<std::string> LetterTemplates(const std::filesystem::path& folder);

// The label layout of the window's eight fields, checked (label_sheet.h).
LayoutCheck WindowLabelLayout(const runtime::Window& window);

// True when the switch FOYER (one mail per household) is on: labels and
// letters go once to the two persons of a household at one address
// (label_households.h, src/outputs/letter_households.h).
bool OneMailPerHousehold(const runtime::Window& window);

void RegisterResultWindow(runtime::CodeRegistry& registry);

}  // namespace vz::project

#endif  // VZ_PROJECT_RESULT_WINDOW_H_
