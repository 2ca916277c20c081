// Helpers shared by the benchmark programs: peak memory, processor time, wall
// time, and a demo installation generated in a temporary folder (never in the
// repository). Failures come back as a message, never an exception.
#ifndef VZ_BENCH_BENCH_SUPPORT_H_
#define VZ_BENCH_BENCH_SUPPORT_H_

#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/datatool/demo_installation.h"

namespace vz::bench {

using Clock = std::chrono::steady_clock;

// Peak resident memory of this process, in kilobytes.
inline long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Processor time of this process (user and system), in seconds: a figure that
// other work on the machine does not inflate.
inline double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

inline double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// A new empty folder under $TMPDIR (or /tmp) whose name begins with `prefix`.
inline std::string MakeTempFolder(std::string_view prefix) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/" +
                        std::string(prefix) + "_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return "";
  return pattern;
}

// A generated installation in a new temporary folder: `folder` is what the
// caller removes afterwards, `root` the installation inside it.
struct BenchInstallation {
  std::string folder;
  std::string root;
  datatool::GenerateStats stats;
  double seconds = 0;  // generation time
};

// Generates `clients` clients (with the demo's saved queries when `queries`)
// under $TMPDIR. False, with `error` set, when the folder or the data cannot
// be made.
inline bool GenerateBenchInstallation(std::string_view prefix, int64_t clients,
                                      uint64_t seed, bool queries,
                                      BenchInstallation* out, std::string* error) {
  out->folder = MakeTempFolder(prefix);
  if (out->folder.empty()) {
    *error = "cannot make a temporary folder";
    return false;
  }
  out->root = out->folder + "/installation";
  datatool::DemoInstallationOptions options;
  options.data.clients = clients;
  options.data.seed = seed;
  options.data.queries = queries;
  const auto start = Clock::now();
  if (!datatool::CreateDemoInstallation(out->root, options, nullptr, &out->stats, error)) {
    return false;
  }
  out->seconds = Seconds(start);
  return true;
}

}  // namespace vz::bench

#endif  // VZ_BENCH_BENCH_SUPPORT_H_
