// The program's log of failed runs: one text file, "vuzuviza.log", in the data
// directory, always kept. Every failure the adviser is told of (a damaged,
// full, locked or read-only data file, an output that could not be written)
// is appended as one line: local date and time, the process id, then the
// message in UTF-8 (docs/run-log.md).
//
// Rotation: when the log has grown past kRunLogLimit bytes, it becomes
// "vuzuviza.log.1" (the previous ".1" becomes ".2", the previous ".2" goes)
// before the line is written, so the logs never hold more than about three
// times the limit.
//
// Failure: logging never stops a run and shows nothing; a log that cannot be
// written (full disk, read-only folder) loses the line and AppendRunLog
// returns false. Each line is written with one write() on a file opened with
// O_APPEND, so that two processes sharing a data directory interleave whole
// lines. Single-threaded per process.
#ifndef VZ_SRC_UTIL_RUN_LOG_H_
#define VZ_SRC_UTIL_RUN_LOG_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace vz::util {

inline constexpr std::string_view kRunLogName = "vuzuviza.log";
inline constexpr std::uintmax_t kRunLogLimit = 1 << 20;

// Appends `message` (cp1252, as the program's messages are) to the log of
// `directory` (a native path; "" is the current directory). Line ends inside
// the message become blanks.
bool AppendRunLog(const std::string& directory, std::string_view message);

// The log's path in `directory`.
std::string RunLogPath(const std::string& directory);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_RUN_LOG_H_
