// The printing of the result window RESULTAT: the outline test sheet of the
// labels and the "Imprimer" button.
//
//   RESULTAT.CONTOUR.CLIC   writes the outline test sheet of the window's
//                           label layout (the borders of every label of one
//                           sheet, nothing else) into
//                           <data>/ETIQUETTES/feuille-de-test.pdf and says
//                           where, with the folder's button on the desktop
//   RESULTAT.IMPRIMER.CLIC  sends to a printer (the front end's print dialog;
//                           the scripted front end's `print FILE`) the
//                           document chosen in the option group IMPRESSION:
//                           1 the letters' PDF of the query and template
//                           chosen (<data>/LETTRES/<query>-<stem>/lettres.pdf),
//                           2 the query's labels (<data>/ETIQUETTES/<query>.pdf),
//                           3 the outline test sheet
//
// Printing sends a document that exists: one not made yet is refused with
// what to do first. The end is one message: an info naming the document and
// where it went, or an error with the reason; a print the adviser cancels in
// the dialog says nothing. A layout that does not fit gets the label
// sheet's message, naming the field.
// REQUIRES: registered through RegisterProjectCode.
#ifndef VZ_PROJECT_RESULT_PRINTING_H_
#define VZ_PROJECT_RESULT_PRINTING_H_

#include "platform/runtime/code_registry.h"

namespace vz::project {

inline constexpr char kOutlineSheetName[] = "feuille-de-test.pdf";

void RegisterResultPrinting(runtime::CodeRegistry& registry);

}  // namespace vz::project

#endif  // VZ_PROJECT_RESULT_PRINTING_H_
