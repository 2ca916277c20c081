// The system calls under the program's one file writer (replacing_file.h):
// creating its temporary file, syncing it, renaming it over the final name
// and removing it. OutputFiles() is the system's own calls unless
// UseOutputFileCalls put others in their place: the seam where tests inject
// a full disk, a read-only folder or I/O errors under the writer (the
// injecting calls live in test support, tests/support/faulty_output_files.h).
// The caller keeps ownership of what it installs and must keep it alive while
// it is in use. Each call answers as the system call does: -1 with errno set
// on failure. Single-threaded.
#ifndef VZ_SRC_UTIL_OUTPUT_FILE_CALLS_H_
#define VZ_SRC_UTIL_OUTPUT_FILE_CALLS_H_

#include <string>

namespace vz::util {

class OutputFileCalls {
 public:
  virtual ~OutputFileCalls() = default;
  // A new file opened for writing (O_EXCL); the descriptor, or -1.
  virtual int CreateExclusive(const std::string& path);
  virtual int Sync(int fd);
  virtual int Rename(const std::string& from, const std::string& to);
  virtual int Remove(const std::string& path);
};

OutputFileCalls& OutputFiles();
// Null goes back to the system's own calls.
void UseOutputFileCalls(OutputFileCalls* calls);

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_OUTPUT_FILE_CALLS_H_
