// The query list: the central screen, from which queries are created,
// modified, combined, deleted, run and their results opened.
//
// The window LSTSEL shows one row per saved query in its table REQUETES
// (date of the last save, title, CODE, selection state), built from the title
// records of the query file. The list loops: open the window, fill the table
// and highlight the current query, take the adviser's button, act, close the
// window; it returns on "T02", "T03", "T04" or "ESC", leaving that code in the
// navigation code for the main menu.
//
// The run ("LAN"), the extraction that follows it and the result screen
// ("RES") belong to other subsystems; the list reaches them through
// QueryListActions, so that the program wires them and tests replace them. An
// action left empty does nothing. So do the facts shown per query (last run,
// clients selected, summary) and the count of a query being edited. After a
// completed run the adviser is told "Sélection terminée : N clients retenus
// sur M." from what the run wrote, before the extraction.
//
// Every action works on a whole query code only (8 characters, no blank). A
// list with no row picked gives an empty or partial code: "MOD" then opens an
// empty query (saved under a new number), "SUP", "LAN" and "RES" do nothing,
// so that a partial code can never load or delete the lines of every query
// it begins. Record failures show only through the engine; nothing is
// reported. The working set lives for one action and is released after it.
// REQUIRES: the list separator is TAB; the database context exists and every
// file is described.
#ifndef VZ_SRC_QUERIES_QUERY_LIST_H_
#define VZ_SRC_QUERIES_QUERY_LIST_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "src/queries/query_count.h"
#include "src/queries/query_list_row.h"
#include "src/queries/query_records.h"

namespace vz::queries {

struct QueryListActions {
  // Runs the selection of a query; false when the run was aborted (no
  // extraction follows then).
  std::function<bool(std::string_view query_code)> run_selection;
  // The extraction dispatch after a completed run.
  std::function<void(std::string_view query_code)> run_extraction;
  // The result screen of a query.
  std::function<void(std::string_view query_code)> show_results;
  // What the last run of a query left (its selection file); empty when it
  // never ran.
  std::function<std::optional<LastSelection>(std::string_view query_code)> last_selection;
  // The number of records of the client file, for the message after a run.
  std::function<int64_t()> client_count;
  // The query in plain words, for the list.
  std::function<std::string(std::string_view query_code)> describe_query;
  // Counts a query being edited ("Compter").
  QueryCounter count_query;
};

// The query list screen. Returns with the leaving code in the navigation code.
void RunQueryListScreen(const QueryListActions& actions);

// Sends the rows of table REQUETES (query_list_row.h: the last run and the
// summary come from `actions`, left empty when it has none), highlights the
// row whose CODE is `current_code` (none when it is not listed), shows the
// highlighted query's summary in L_RESUME and, with no query at all, makes
// the buttons TIROIR2 and POUBELLE unavailable.
void FillQueryList(std::string_view current_code, const QueryListActions& actions = {});

// Prepares a working set for action "AJO", "COM", "MOD" or "SUP" and runs it:
// the definition screen for all but "SUP", the deletion for "SUP". A new
// query's code is put in `query_code`. `counter` counts for "Compter".
void ManageQuery(std::string_view action, std::string& query_code,
                 const QueryCounter& counter = {});

// Appends the stored lines of the query, except its rubric lines, in key order,
// and sets the type "C" when its title says so. Lines past the 64th are left
// out. An empty or partial code loads nothing.
void LoadQuery(std::string_view query_code, QueryWorkingSet& lines);

// Asks "Confirmez vous la suppression ?" and, on an answer of exactly 1,
// deletes every record of the query, its rubric lines included. Its selection
// and merge files stay on disk. An empty or partial code deletes nothing.
void DeleteQuery(std::string_view query_code);

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_QUERY_LIST_H_
