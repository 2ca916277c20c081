// Window code of the query windows. The query list LSTSEL shows the summary
// of the query row selected (ShowQuerySummary). The identity criteria window
// SEL01A: on opening the window
// fills its four lists from the data, and a change of profession family
// (FAMPRO1.MODIFICATION) restricts the profession list to that family.
//
// Every list row is "label" TAB "code", except the first row of each list,
// "(tous)" alone: no criterion on that list (the screen stores none for it),
// the row selected after filling.
//   SITFAM   the eight family situations of the client file (codes M P C V
//            D S U N);
//   REGMAT   the matrimonial regimes: ANNEXE records whose prefix is "RM",
//            code = the 5-character key ("RM001");
//   FAMPRO1  the profession families: PROFES records whose number is "000",
//            code = the 2-character family prefix ("03"); a prefix that has
//            professions but no "000" record still gets a row;
//   PROFES1  the professions (PROFES records whose number is not "000"),
//            code = the 5-character key ("03001"); all of them while no
//            family is chosen, else those of the chosen family only.
// Labels are trimmed; a TAB inside a stored label becomes a blank, so that
// a row always has exactly two columns.
//
// The code reads through the project's own buffers (project_data.h) and never
// disturbs the program's records. Without data (no engine context, missing
// files) the lists hold their first row only. Nothing throws.
#ifndef VZ_PROJECT_QUERY_WINDOWS_H_
#define VZ_PROJECT_QUERY_WINDOWS_H_

#include <string>
#include <vector>

#include "platform/runtime/code_registry.h"
#include "project/project_data.h"

namespace vz::project {

inline constexpr char kNoChoiceRow[] = "(tous)";

// "(tous)" followed by the eight family situations.
std::vector<std::string> FamilySituationRows();
// "(tous)" followed by the matrimonial regimes of ANNEXE, in key order.
std::vector<std::string> RegimeRows(db::RecordSession& data);
// "(tous)" followed by the profession families of PROFES, in key order.
std::vector<std::string> ProfessionFamilyRows(db::RecordSession& data);
// "(tous)" followed by the professions of PROFES in key order; only those of
// `family` (a 2-character prefix) unless it is empty or "-1".
std::vector<std::string> ProfessionRows(db::RecordSession& data, const std::string& family);

// SEL01A.SEL01A.OUVERTURE and SEL01A.FAMPRO1.MODIFICATION.
void FillIdentityLists(runtime::CodeContext& context, runtime::Window& window);
void RestrictProfessions(runtime::CodeContext& context, runtime::Window& window);

// LSTSEL.REQUETES.MODIFICATION: the caption L_RESUME shows the CRITERES cell
// (the summary the program wrote) of the query row now selected; nothing
// changes when no row is selected.
void ShowQuerySummary(runtime::CodeContext& context, runtime::Window& window);

}  // namespace vz::project

#endif  // VZ_PROJECT_QUERY_WINDOWS_H_
