// Test support: system calls under the program's file writer
// (src/util/output_file_calls.h) that fail as a failing disk does. Installed
// with UseOutputFileCalls for the life of the object.
//
// - kFull: the temporary file is created, but its bytes go to /dev/full, so
//   that writing or flushing it fails with ENOSPC;
// - kReadOnly: creating a file fails with EROFS;
// - kSyncError: syncing fails with EIO;
// - kRenameError: renaming fails with EIO.
// Only files whose final name ends with `suffix` fail ("" for every file).
#ifndef VZ_TESTS_SUPPORT_FAULTY_OUTPUT_FILES_H_
#define VZ_TESTS_SUPPORT_FAULTY_OUTPUT_FILES_H_

#include <string>

#include "src/util/output_file_calls.h"

namespace vz::testing {

class FaultyOutputFiles final : public util::OutputFileCalls {
 public:
  enum class Fault { kFull, kReadOnly, kSyncError, kRenameError };
  FaultyOutputFiles(Fault fault, std::string suffix);
  ~FaultyOutputFiles() override;

  int CreateExclusive(const std::string& path) override;
  int Sync(int fd) override;
  int Rename(const std::string& from, const std::string& to) override;

 private:
  bool Applies(const std::string& final_path) const;

  Fault fault_;
  std::string suffix_;
};

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_FAULTY_OUTPUT_FILES_H_
