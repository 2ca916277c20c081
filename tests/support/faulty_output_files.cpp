#include "tests/support/faulty_output_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vz::testing {

FaultyOutputFiles::FaultyOutputFiles(Fault fault, std::string suffix)
    : fault_(fault), suffix_(std::move(suffix)) {
  util::UseOutputFileCalls(this);
}

FaultyOutputFiles::~FaultyOutputFiles() {
  util::UseOutputFileCalls(nullptr);
}

// Temporary names are "<final>.<host>.<pid>.<n>.tmp": the final name is what
// precedes the host part; matching the suffix anywhere before ".tmp" is enough.
bool FaultyOutputFiles::Applies(const std::string& path) const {
  return suffix_.empty() || path.find(suffix_) != std::string::npos;
}

int FaultyOutputFiles::CreateExclusive(const std::string& path) {
  if (!Applies(path)) return OutputFileCalls::CreateExclusive(path);
  if (fault_ == Fault::kReadOnly) {
    errno = EROFS;
    return -1;
  }
  const int fd = OutputFileCalls::CreateExclusive(path);
  if (fd < 0 || fault_ != Fault::kFull) return fd;
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ::close(fd);
  return full;
}

int FaultyOutputFiles::Sync(int fd) {
  if (fault_ == Fault::kSyncError) {
    errno = EIO;
    return -1;
  }
  return OutputFileCalls::Sync(fd);
}

int FaultyOutputFiles::Rename(const std::string& from, const std::string& to) {
  if (fault_ == Fault::kRenameError && Applies(to)) {
    errno = EIO;
    return -1;
  }
  return OutputFileCalls::Rename(from, to);
}

}  // namespace vz::testing
