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
// Reads the whole file at once; nothing is kept open.
#ifndef VZ_SRC_OUTPUTS_MERGE_FILE_READER_H_
#define VZ_SRC_OUTPUTS_MERGE_FILE_READER_H_

#include <string>
#include <string_view>
#include <vector>

namespace vz::outputs {

struct MergeFileContents {
  bool readable = false;
  bool malformed = false;
  std::vector<std::string> codes;                // one per column, blanks cut off
  std::vector<std::vector<std::string>> lines;  // one per client, one value per column
};

// Parses the bytes of a merge file.
MergeFileContents ParseMergeFile(std::string_view bytes);

// Reads and parses the merge file at `path`.
MergeFileContents ReadMergeFile(const std::string& path);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_MERGE_FILE_READER_H_
