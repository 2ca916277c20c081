// The query definition screen: where one query is edited and saved.
//
// For an elementary query the window SEL01 shows the title, three explanation
// lines and one button per criteria family, each opening a criteria screen
// (identity, or one of the thirteen rubric screens) over it; for a combined
// query the same routine drives the window COMBINE. On "TF0" the whole query
// is written back to REQUETES: its stored lines except the rubric lines
// ("RUBRIQUE****") are deleted, every line of the working set is added with
// origin "E", the title record's selection state is " " and the title text
// carries today's date. Then the rubric choice window "Rubrique" opens with
// the query code. "ESC" writes nothing. Unsaved changes are never dropped
// without a question, nor is a query that selects every client saved
// without one; "Compter" counts the query being edited without writing.
//
// The working set belongs to the caller (the query list); these routines
// borrow it. Record failures show only through the engine; nothing is
// reported here, except a save refused because the working set has no slot
// left for the title line, or because the query's code (kept or newly
// numbered) is not usable to name its files (src/db/query_code.h): an error
// box each time, and the file is left as it was.
// Deleting works only on a whole query code (8 characters, no blank): an
// empty or short code deletes nothing, so that a save can never remove the
// lines of other queries.
// REQUIRES: the list separator is TAB; the database context exists and every
// file is described.
#ifndef VZ_SRC_QUERIES_DEFINITION_SCREEN_H_
#define VZ_SRC_QUERIES_DEFINITION_SCREEN_H_

#include <string>
#include <string_view>

#include "src/queries/query_count.h"
#include "src/queries/query_records.h"

namespace vz::queries {

inline constexpr size_t kQueryCodeWidth = 8;
inline constexpr std::string_view kQueryPrefix = "01";

// True when `code` is a whole query code: 8 characters, none blank or NUL.
bool IsWholeQueryCode(std::string_view code);

// Opens SEL01 (or COMBINE for a query of type "C") and shows the title line's
// title, explanations and, for a combined title, its operands and operator.
void OpenDefinitionWindow(const QueryWorkingSet& lines);

// The criteria screen's rubric prefix for a return code of SEL01: "" for
// "01A" (identity), "40" for "01B" ... "SC" for "01N"; false when the code
// names no criteria screen.
bool CriteriaScreenFor(std::string_view return_code, std::string& prefix);

// The return code of the "Compter" button of SEL01 and COMBINE.
inline constexpr std::string_view kCountCode = "CPT";

// Runs the definition window until "TF0" or "ESC". `query_code` is the code of
// the query edited, empty for a new one; a new query's code is put there at
// its save. The window is closed at the end, then "Ecran,Selection,I,CHERCHE4"
// is sent to the window below. "ESC" after a change asks whether to abandon
// it, "TF0" for an elementary query without criterion whether to save a
// query that selects every client (definition_draft.h); a "no" keeps the
// window. "CPT" counts the query as it stands with `counter` (query_count.h).
void RunDefinitionScreen(QueryWorkingSet& lines, std::string& query_code,
                         const QueryCounter& counter = {});

// The title text of a save: today's date (YYYYMMDD), TITRE, EXPLIC,1..3, each
// followed by TAB, then four TABs or, for type "C", the combination part; cut
// at 255 characters. A TAB typed in a title or an explanation is stored as a
// space, so that the elements after it keep their places.
std::string BuildTitleText(const QueryWorkingSet& lines);

// Writes the working set as query `query_code` (assigning a new number, and
// putting the new code in `query_code`, when it is not a whole code): the steps of a save without
// the windows. False when the title line finds no slot or the code is not
// usable (nothing written then).
bool SaveQuery(QueryWorkingSet& lines, std::string_view title_text, std::string& query_code);

// Deletes every stored line of the query except its rubric lines.
void DeleteQueryLinesKeepingRubrics(std::string_view query_code);

// Opens "Rubrique" with LECODREQ := the code, runs its B_REQUETE code, lets
// the adviser choose, then closes it.
void OpenRubricChoiceWindow(std::string_view query_code);

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_DEFINITION_SCREEN_H_
