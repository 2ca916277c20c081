#include "src/startup/instance_guard.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/os/ascii_case.h"
#include "platform/os/processes.h"
#include "src/util/replacing_file.h"

namespace vz::startup {
namespace {

namespace fs = std::filesystem;

// FNV-1a: a stable short name for an installation's full path.
uint64_t PathHash(const std::string& text) {
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return runtime;
  return "/tmp";
}

std::string FullPath(const std::string& folder) {
  std::error_code ec;
  fs::path full = fs::weakly_canonical(fs::absolute(folder.empty() ? "." : folder, ec), ec);
  return full.string();
}

}  // namespace

std::string InstanceLockName(std::string_view program) {
  return "." + os::AsciiLower(os::ProcessNameKey(program)) + "-" + std::to_string(::getuid()) +
         "-" + util::ThisHostPart() + ".verrou";
}

InstanceGuard TakeInstanceGuard(std::string_view program, const std::string& installation) {
  InstanceGuard guard;
  const std::string name = InstanceLockName(program);
  const std::string folder = installation.empty() ? "." : installation;
  guard.lock = os::FileLock::TryLock(folder + "/" + name, os::FileLock::Mode::kExclusive);
  if (guard.lock.state() == os::FileLock::State::kUnavailable) {
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(PathHash(FullPath(folder))));
    const std::string fallback = RuntimeFolder() + "/" + name.substr(1) + "-" + hash;
    const std::string first_error = guard.lock.error();
    guard.lock = os::FileLock::TryLock(fallback, os::FileLock::Mode::kExclusive);
    if (guard.lock.state() == os::FileLock::State::kUnavailable) {
      std::fprintf(stderr,
                   "vuzuviza : le verrou d'instance ne peut être posé ni dans %s (%s) ni dans %s "
                   "(%s) ; le programme démarre sans vérifier qu'il est seul.\n",
                   folder.c_str(), first_error.c_str(), fallback.c_str(),
                   guard.lock.error().c_str());
      return guard;
    }
  }
  guard.alone = guard.lock.state() != os::FileLock::State::kBusy;
  return guard;
}

}  // namespace vz::startup
