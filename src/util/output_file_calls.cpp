#include "src/util/output_file_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace vz::util {
namespace {

OutputFileCalls* g_in_use = nullptr;

}  // namespace

int OutputFileCalls::CreateExclusive(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

int OutputFileCalls::Sync(int fd) {
  return ::fsync(fd);
}

int OutputFileCalls::Rename(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str());
}

int OutputFileCalls::Remove(const std::string& path) {
  return ::unlink(path.c_str());
}

OutputFileCalls& OutputFiles() {
  static OutputFileCalls system_calls;
  return g_in_use != nullptr ? *g_in_use : system_calls;
}

void UseOutputFileCalls(OutputFileCalls* calls) {
  g_in_use = calls;
}

}  // namespace vz::util
