// The result window's list of the clients its query selected, and their
// export to spreadsheets:
//
//   RESULTAT.CLIENTS.REMPLIR   fills the table CLIENTS with the clients of
//                              the query named in REQUETE (result_list.h):
//                              code, name, first name, postcode and city,
//                              then one column per extracted value, titled
//                              with its rubric label; amounts grouped by
//                              thousands, dates DD/MM/YYYY. The caption
//                              NBRETENUS says "N clients retenus", followed
//                              by what could not be read, if anything.
//                              The program runs it once REQUETE is set.
//   RESULTAT.EXPORTER.CLIC     writes EXPORTS/<query>.csv and .xlsx in the
//                              data directory (result_export.h) and ends
//                              with one message: "info," naming the files,
//                              or "Erreur," naming what was not written.
//
// The table is filled in place in the window model, with no command per row.
// Extracted columns are named "X" + rubric code ("X40000"), "_2" added for a
// code's second column ("X0000C_2"), so that scenarios can sort and read them.
// Failures are shown to the adviser and noted in the transcript; nothing
// throws.
// REQUIRES: registered through RegisterProjectCode; the program names
// SELECTES after the query before opening the window.
#ifndef VZ_PROJECT_RESULT_LIST_WINDOW_H_
#define VZ_PROJECT_RESULT_LIST_WINDOW_H_

#include "platform/runtime/code_registry.h"

namespace vz::project {

void RegisterResultListWindow(runtime::CodeRegistry& registry);

}  // namespace vz::project

#endif  // VZ_PROJECT_RESULT_LIST_WINDOW_H_
