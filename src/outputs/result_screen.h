// The result screen: the window RESULTAT of one query, reopened after every
// action until the adviser leaves it with "ESC".
//
// Before each opening the file SELECTES is given the query code as physical
// name (no creation), so that the letters and the labels of the window work
// on the extraction of this query, whichever query was extracted last. The
// window shows the label layout (the eight fields of label_parameters.h, as
// last saved) and the query code in REQUETE; then its code lists the
// query's selected clients and their count ("Execute,CLIENTS.REMPLIR",
// project/result_list_window.h). Return codes: "LET" produces
// the letters (letters.h) while the window is open; "RUB" closes it, opens
// the rubric choice window for the query and extracts again with the new
// rubric lines; "ESC" returns; any other code reopens the window.
// A query code that is not usable (src/db/query_code.h), or that the engine
// refuses as SELECTES's physical name, opens nothing: an error box names it,
// so that the letters and labels never work on another query's SELECTES.
// Nothing else is reported. A query whose extraction was never run shows an
// empty SELECTES (the engine gives an empty file).
// REQUIRES: the program is initialised (screen project loaded, database files
// described and open, list separator TAB, data directory known).
#ifndef VZ_SRC_OUTPUTS_RESULT_SCREEN_H_
#define VZ_SRC_OUTPUTS_RESULT_SCREEN_H_

#include <string_view>

namespace vz::outputs {

// `query_code` is cut to 8 characters.
void RunResultScreen(std::string_view query_code);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_RESULT_SCREEN_H_
