// Measuring helpers shared by the benchmark programs: peak memory, processor
// time, wall time and a temporary folder for the generated installation.
// Nothing here fails loudly: a folder that cannot be made gives "".
#ifndef VZ_BENCH_BENCH_SUPPORT_H_
#define VZ_BENCH_BENCH_SUPPORT_H_

#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>

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

}  // namespace vz::bench

#endif  // VZ_BENCH_BENCH_SUPPORT_H_
