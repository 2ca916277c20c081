// Selection files (".EXT"): the list of the selected clients of one query,
// one 9-character client code per line, cp1252, lines ended by CR LF, no
// header, in ascending order; an empty file means nobody was selected.
//
// SelectionFileWriter writes a new file through a temporary name of its own
// (src/util/replacing_file.h): an interrupted run never leaves a half-written
// file under the final name, and a write or commit that fails removes only
// its temporary file, keeps the earlier selection file whole and makes
// Commit() return false, for the caller to report.
//
// SelectionFileReader reads codes line by line, holding one line at a time.
// It is lenient with damaged files: blank lines are skipped, a line longer
// than a code is cut to its first 9 characters, CR LF, LF or a missing final
// line end all end a line. A file that cannot be opened reads as empty.
// Single-threaded; each object owns its open file.
#ifndef VZ_SRC_SELECTION_MERGE_IO_H_
#define VZ_SRC_SELECTION_MERGE_IO_H_

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "src/util/replacing_file.h"

namespace vz::selection {

inline constexpr size_t kClientCodeWidth = 9;
inline constexpr std::string_view kSelectionExtension = ".EXT";

// The selection file of `query_code` in the data directory (program
// settings), as a path of this system. Empty when the code is not a usable
// query code (src/db/query_code.h), so that no file outside the data
// directory, nor another query's file, is ever written.
std::string SelectionFilePath(std::string_view query_code);

class SelectionFileReader {
 public:
  explicit SelectionFileReader(const std::string& path);
  ~SelectionFileReader();
  SelectionFileReader(const SelectionFileReader&) = delete;
  SelectionFileReader& operator=(const SelectionFileReader&) = delete;

  // The next code into `code`; false at the end of the file.
  bool Next(std::string& code);

 private:
  std::FILE* file_ = nullptr;
};

class SelectionFileWriter {
 public:
  // Creates the temporary file; ok() tells whether that worked.
  explicit SelectionFileWriter(std::string final_path) : file_(std::move(final_path)) {}

  bool ok() const { return file_.ok(); }
  // Appends one line: the code, then CR LF.
  void Write(std::string_view code) {
    char line[kLineRoom];
    if (code.size() > kLineRoom - 2) {
      file_.Put(code);
      file_.Put("\r\n");
      return;
    }
    std::memcpy(line, code.data(), code.size());
    line[code.size()] = '\r';
    line[code.size() + 1] = '\n';
    file_.Put(std::string_view(line, code.size() + 2));
  }
  // Closes the file and renames it to the final name. False on any failure.
  bool Commit() { return file_.Commit(); }

 private:
  static constexpr size_t kLineRoom = 32;  // a client code and CR LF, with room to spare
  util::ReplacingFile file_;
};

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_MERGE_IO_H_
