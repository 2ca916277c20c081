// The errors of data files that a context's calls met, kept apart from "out
// of file": a read that finds no record is not an error; a file that cannot
// be used, is damaged, full, locked or read-only is one.
//
// Whoever meets a fault on a data file (a DataFile, the shared store when a
// file cannot be opened) calls ReportFileError: the reason goes to the call
// log (LE_ERROR, call_log.h) and, while an LE_ call runs, to the error of the
// context making that call (ScopedFileErrorTarget, set by le_api.cpp around
// each call). A context keeps the last error met since it was cleared
// (LE_ClearFileError); the LE_ functions keep their results exactly.
//
// Single-threaded, as the whole engine: the target is one process-wide
// pointer, set and restored by the scope.
#ifndef VZ_PLATFORM_ENGINE_FILE_ERROR_H_
#define VZ_PLATFORM_ENGINE_FILE_ERROR_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace vz::engine {

// The kinds of faults, with the numbers LE_LastFileError returns.
enum class FileFault : int32_t {
  kNone = 0,
  kUnusable = 1,  // cannot be opened or used: not a data file, another file's, unreadable
  kDamaged = 2,   // damaged pages or structure
  kFull = 3,      // the disk is full
  kLocked = 4,    // still locked by another program after every attempt
  kReadOnly = 5,  // the file or its folder cannot be written
  kIoError = 6,   // the system reported an input/output error
  kServerLost = 7,  // the database server stopped answering (shared store)
};

struct FileError {
  FileFault fault = FileFault::kNone;
  std::string file;  // the analysis's file name
  std::string path;  // the physical file
  std::string reason;
};

// Logs the fault and hands it to the current target, if any.
void ReportFileError(FileFault fault, std::string_view file, std::string_view path,
                     std::string_view reason);
// Hands a fault already logged once (a file kept as failed, met again) to
// the current target only.
void NoteFileError(FileFault fault, std::string_view file, std::string_view path,
                   std::string_view reason);

// Makes `target` receive the faults reported during the scope.
class ScopedFileErrorTarget {
 public:
  explicit ScopedFileErrorTarget(FileError* target);
  ~ScopedFileErrorTarget();
  ScopedFileErrorTarget(const ScopedFileErrorTarget&) = delete;
  ScopedFileErrorTarget& operator=(const ScopedFileErrorTarget&) = delete;

 private:
  FileError* previous_;
};

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_FILE_ERROR_H_
