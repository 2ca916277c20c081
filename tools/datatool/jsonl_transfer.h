// Export and import of one file's records as JSON Lines through an engine
// session (docs/data-import.md).
//
// Export writes the records in the order of the file's first key; a file
// without a key cannot be read through the engine and is refused.
//
// Import is all or nothing for bad input: the whole input is read and
// checked first; when a line is rejected nothing is written (with --replace
// the file is not emptied either) and every rejected line is listed. Only
// then are the records written: the emptying of --replace and every record
// in one transaction of the engine (a batch). Readers see the previous
// records until it commits, and an import that is killed, or whose write or
// commit the engine refuses (a damaged, full, locked or read-only file: the
// engine's fault is quoted in `error`), leaves the file exactly as it was,
// with report->records 0.
#ifndef VZ_TOOLS_DATATOOL_JSONL_TRANSFER_H_
#define VZ_TOOLS_DATATOOL_JSONL_TRANSFER_H_

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "src/db/file_id.h"
#include "tools/datatool/engine_session.h"

namespace vz::datatool {

inline constexpr size_t kMaxLineBytes = 4 * 1024 * 1024;
inline constexpr size_t kMaxListedProblems = 50;

bool ExportRecords(EngineSession& session, vz::db::FileId file, std::ostream& out,
                   int64_t* exported, std::string* error);

struct ImportReport {
  int64_t lines = 0;     // lines read, blank ones included
  int64_t records = 0;   // records written
  int64_t rejected = 0;  // lines rejected
  int64_t texts_cut = 0;
  int64_t characters_replaced = 0;
  std::vector<std::string> problems;  // "line N: ..." (rejections, then notes), at most 50 of each
  bool write_failed = false;
};

// Reads `path` twice (check, then write). False when the input was rejected,
// could not be read, or a write failed; `report` says which.
bool ImportRecords(EngineSession& session, vz::db::FileId file, const std::string& path,
                   bool replace, ImportReport* report, std::string* error);

// Reads one line of at most max_bytes (the rest of a longer line is skipped
// and *too_long set); drops a final CR. False at the end of the input.
bool ReadLine(std::istream& in, size_t max_bytes, std::string* line, bool* too_long);

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_JSONL_TRANSFER_H_
