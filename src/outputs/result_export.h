// The selection of a query for spreadsheets: its result list (result_list.h)
// written to "<data>/EXPORTS/<query>.csv" and "<data>/EXPORTS/<query>.xlsx".
//
// CSV: UTF-8 with a byte order mark, ";" between values, CR LF after each
// row, RFC 4180 quoting (a value holding ";", a double quote, CR or LF is
// written between double quotes, its quotes doubled). The first row holds
// the columns' titles. Amounts and whole numbers are plain numbers with a
// decimal comma and no thousands separator ("1235", "-12,5"), dates
// DD/MM/YYYY, empty when there is none.
// XLSX (libxlsxwriter): one sheet "Clients retenus", the titles in bold in
// a frozen first row, amounts and whole numbers as numbers (shown grouped by
// thousands), dates as dates (shown DD/MM/YYYY), texts as texts.
// Rows come in the order of the selection file.
//
// Both files are replaced whole through the program's file writer
// (src/util/replacing_file.h): the CSV is written to a temporary file then
// renamed; the XLSX is written by the library to the temporary file, then
// put in place the same way. A file that cannot be written keeps its
// earlier contents. The EXPORTS folder is created when missing.
// ExportResultList never throws; its outcome carries the French message
// (cp1252) to show the adviser: which files were written and for how many
// clients, or which file could not be written and what to check.
#ifndef VZ_SRC_OUTPUTS_RESULT_EXPORT_H_
#define VZ_SRC_OUTPUTS_RESULT_EXPORT_H_

#include <string>
#include <string_view>

#include "src/outputs/result_list.h"

namespace vz::outputs {

inline constexpr std::string_view kExportsFolder = "EXPORTS";

struct ExportOutcome {
  bool ok = false;
  std::string message;  // cp1252, for an information box (ok) or an error box
};

// The CSV bytes of the list.
std::string ResultCsv(const ResultList& list);

// Writes the XLSX file at `final_path` (temporary file, then rename). False
// when it could not be written; the file under that name is then unchanged.
bool WriteResultXlsx(const ResultList& list, const std::string& final_path);

// Writes both files of `query_code` in the data directory's EXPORTS folder.
ExportOutcome ExportResultList(const ResultList& list, std::string_view query_code);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_RESULT_EXPORT_H_
