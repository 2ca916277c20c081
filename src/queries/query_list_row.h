// One row of the query list's table REQUETES, as the adviser reads it:
//   DATE       registration date (the date of the last save) as dd/mm/yyyy;
//   TITRE      the query's title;
//   CODE       the query code;
//   SELECTION  date and time of the last run, as its selection file tells
//              them, "jamais lancée" without one; a run made before the last
//              save (selection state not "O") says "avant modification";
//   CLIENTS    the number of clients that run selected, thousands separated
//              by a space; empty without a selection file;
//   CRITERES   the query in plain words (query_summary.h).
// Cells are separated by TAB; a TAB inside a cell becomes a blank. Texts are
// cp1252. Pure functions; nothing fails.
#ifndef VZ_SRC_QUERIES_QUERY_LIST_ROW_H_
#define VZ_SRC_QUERIES_QUERY_LIST_ROW_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vz::queries {

// What a query's last run left: when its selection file was written
// ("dd/mm/yyyy hh:mm") and how many client codes it holds.
struct LastSelection {
  std::string written;
  int64_t clients = 0;
};

struct QueryListRowFacts {
  std::string_view saved_on;  // element 1 of the title text, YYYYMMDD
  std::string_view title;     // element 2
  std::string_view code;      // query prefix and number
  std::string_view state;     // selection state of the title record
  std::optional<LastSelection> last_selection;
  std::string_view summary;
};

// "20250115" -> "15/01/2025"; any other text is returned as it is.
std::string DayMonthYear(std::string_view yyyymmdd);

// The row text sent after "Table,Ajoute,REQUETES,".
std::string QueryListRow(const QueryListRowFacts& facts);

// "Sélection terminée : N clients retenus sur M." (cp1252).
std::string SelectionEndMessage(int64_t selected, int64_t clients);

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_QUERY_LIST_ROW_H_
