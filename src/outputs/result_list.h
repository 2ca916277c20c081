// The list of the clients a query selected, as its last selection run and
// extraction left it: who they are and the figures extracted for them. Shown
// by the result window and written to spreadsheets (result_export.h).
//
// The clients are the codes of the query's selection file ("<query>.EXT",
// the first 9 characters of each line), in its order, which is the order of
// the merge file's lines ("<query>.MEM"). For each client: its code, its name
// and first name (CLIENT fields 4 and 6), the postcode and city of its
// mailing address (the household's ADRESSES record "001", else the CLIENT
// record's own), then the values of the merge file's line of the same rank,
// one column per merge-file column. A client no longer in CLIENT keeps its
// code and blank identity values. (SELECTES is not read: its 16-bit sequence
// numbers cannot order more than 32,766 clients.)
//
// Columns carry a title for people: the fixed ones in French, the extracted
// ones the label of their code in RUBRIQUE (the code itself when it has none);
// a code that gives two columns (an address on two lines, the two figures of
// a loan) numbers its titles "(1)", "(2)". Values are cp1252 without their
// blanks at both ends, as stored: amounts as whole numbers ("1235", empty
// for none), dates YYYYMMDD (empty for "00000000"). DisplayValue turns them
// into what a person reads ("1 235", "25/03/1961").
//
// Failure: nothing throws. A missing selection file gives no client and a
// French `problem` (cp1252) and `never_run`: the query was never run. A merge file that is
// missing, malformed or whose line count differs from the selection file's
// gives the clients without extracted columns and a `problem` saying so.
// Reads CLIENT and ADRESSES through the given record session only (its
// current records change). CLIENT and ADRESSES are walked in key order beside
// the selection file (in client-code order), with a search where the next
// client is far ahead or behind; the selection and merge files are read whole,
// once.
#ifndef VZ_SRC_OUTPUTS_RESULT_LIST_H_
#define VZ_SRC_OUTPUTS_RESULT_LIST_H_

#include <string>
#include <string_view>
#include <vector>

#include "src/db/record_session.h"

namespace vz::outputs {

enum class ValueKind { kText, kAmount, kWholeNumber, kDate };

struct ResultColumn {
  std::string code;   // "CODCLI", "NOM", ... for the fixed columns; the rubric code otherwise
  std::string title;  // cp1252
  ValueKind kind = ValueKind::kText;
};

struct ResultList {
  std::vector<ResultColumn> columns;
  std::vector<std::vector<std::string>> rows;  // one per client, one value per column
  std::string problem;                         // cp1252; empty when all was read
  bool never_run = false;  // no selection file: `problem` tells the adviser, nothing failed
};

// The number of fixed columns that come before the extracted ones.
inline constexpr size_t kFixedResultColumns = 5;

// The data file of a query in the data directory: "<data>/<query><extension>"
// (".MEM", ".EXT"); empty when the code cannot name a file (query_code.h).
std::string QueryDataFilePath(std::string_view query_code, std::string_view extension);

// The list of `query_code` (a usable code, else an empty list with a problem).
ResultList LoadResultList(db::RecordSession& data, std::string_view query_code);

// A value as the list shows it: amounts and whole numbers grouped by
// thousands, dates as DD/MM/YYYY; texts unchanged.
std::string DisplayValue(ValueKind kind, std::string_view value);

// Every value of the list as DisplayValue shows it, changed in place (the
// window then takes the rows as they are, without a copy).
void ToDisplayValues(ResultList& list);

// "1 client retenu", "12 345 clients retenus" (cp1252).
std::string SelectedCountText(size_t count);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_RESULT_LIST_H_
