// Reading a merge file back (the format written by merge_file.h): its column
// codes from the header line and, for each client line, its values.
//
// The header gives the columns: after the four digits of the line length,
// one group of 8 characters per column (code on 5 characters, width on two
// digits, TAB); the blanks that may follow are filler. Each data line is cut
// at its TABs: value i is the text before the i-th TAB, as written (blanks
// kept), because a later value may be wider than the header announces. A
// line with fewer values than columns gets empty ones; values beyond the
// columns are dropped. Lines end with CR LF (a lone LF is accepted).
//
// Failure: a file that cannot be opened gives `readable` false; an empty file
// is readable with no column and no line; a first line that is no header
// (too short, not four digits, a column group without its TAB) gives
// `readable` true and `malformed` true, with nothing read. Texts stay cp1252.
//
// Ownership: nothing is copied (a merge file of 100,000 clients holds a
// million values). The contents keep the client lines as they stand in the
// bytes, counted, and TakeMergeLine cuts them one at a time into views.
// ParseMergeFile's views point into the bytes it is given, which must outlive
// them; ReadMergeFile reads the whole file at once into `bytes`, which the
// contents keep (copies share it), and keeps nothing open.
#ifndef VZ_SRC_OUTPUTS_MERGE_FILE_READER_H_
#define VZ_SRC_OUTPUTS_MERGE_FILE_READER_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vz::outputs {

struct MergeFileContents {
  bool readable = false;
  bool malformed = false;
  std::vector<std::string> codes;            // one per column, blanks cut off
  size_t line_count = 0;                     // client lines, one per client
  std::string_view client_lines;             // those lines as written, after the header
  std::shared_ptr<const std::string> bytes;  // what `client_lines` views, when read from a file
};

// Parses the bytes of a merge file: `client_lines` views `bytes`.
MergeFileContents ParseMergeFile(std::string_view bytes);

// Cuts the first client line off `client_lines` into `values`, one per column
// of `columns`, as written (blanks kept): empty past the values of a short
// line, the values beyond the columns dropped.
void TakeMergeLine(std::string_view& client_lines, size_t columns,
                   std::vector<std::string_view>& values);

// Reads and parses the merge file at `path`.
MergeFileContents ReadMergeFile(const std::string& path);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_MERGE_FILE_READER_H_
