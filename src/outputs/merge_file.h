// The merge file of one query ("<query>.MEM" in the data directory): a
// fixed-width text file for the suite's mail-merge tools, cp1252, lines
// ended by CR LF.
//
// The first client's columns fix the layout. With n columns of widths
// w1..wn (the lengths of the first client's values), the data width is
// W = (w1 + 1) + ... + (wn + 1). The header line, written once before the
// first data line, is W + 2 in four digits, then per column its code (5
// characters, blank-padded) and its width in two digits and a TAB, then
// W - 8n - 4 blanks when that is positive; it is followed by CR LF. Each data
// line is every value followed by a TAB, then CR LF. A later value longer
// than the first client's makes its line longer than announced. No client
// at all gives an empty file.
//
// MergeFileWriter writes under a temporary name of its own beside the final
// one (src/util/replacing_file.h) and renames it over the final name only on
// Commit(), so that an interrupted run never leaves a half-written merge file.
// A writer destroyed uncommitted removes its temporary file. A write or commit
// that fails removes only its temporary file: the earlier merge file of the
// query stays whole, and Commit() returns false for the caller to report.
// Single-threaded; each writer owns its open file.
#ifndef VZ_SRC_OUTPUTS_MERGE_FILE_H_
#define VZ_SRC_OUTPUTS_MERGE_FILE_H_

#include <string>
#include <string_view>
#include <utility>

#include "src/outputs/extraction_columns.h"
#include "src/util/replacing_file.h"

namespace vz::outputs {

inline constexpr std::string_view kMergeExtension = ".MEM";

// The merge file of `query_code` in the data directory; empty when the code
// cannot name a file of that directory.
std::string MergeFilePath(std::string_view query_code);

// The header line of `columns`, without its CR LF.
std::string MergeFileHeader(const ColumnTables& columns);

class MergeFileWriter {
 public:
  explicit MergeFileWriter(std::string final_path) : file_(std::move(final_path)) {}

  bool ok() const { return file_.ok(); }
  // Writes the header first when this is the first line, then the data line.
  void WriteClient(const ColumnTables& columns);
  // Closes the file and renames it to the final name. False on any failure.
  bool Commit() { return file_.Commit(); }

 private:
  util::ReplacingFile file_;
  bool header_written_ = false;
};

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_MERGE_FILE_H_
