// What the last run of a query left, as its selection file tells it: when the
// file was written (local date and time) and how many clients it holds (one
// code per line, read as the run's readers read it, merge_io.h). Used by the
// query list and by the message at the end of a run; the record layouts are
// not involved. Also the number of records of the client file.
// Reads only; nothing fails: a missing or unreadable file gives no facts.
// REQUIRES for ClientRecordCount: the database context exists and CLIENT is
// described; it leaves CLIENT closed, as a run does.
#ifndef VZ_SRC_SELECTION_SELECTION_FACTS_H_
#define VZ_SRC_SELECTION_SELECTION_FACTS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vz::selection {

struct SelectionFileFacts {
  std::string written;  // "dd/mm/yyyy hh:mm", local time
  int64_t clients = 0;  // lines of the file
};

// The facts of the selection file of `query_code`; empty when the code is not
// usable or the file does not exist.
std::optional<SelectionFileFacts> ReadSelectionFileFacts(std::string_view query_code);

// The number of records of the client file.
int64_t ClientRecordCount();

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_SELECTION_FACTS_H_
