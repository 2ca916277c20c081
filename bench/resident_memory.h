// Resident memory of the benchmark process, told apart as the issue of speed
// asks: anonymous pages (the program's own memory: heap, stacks, SQLite's
// page caches) and file pages (mapped files: the system's page cache seen
// through the process, given back by the system whenever it needs them).
// ResidentMemoryWatch samples /proc/self/status on a thread of its own every
// 10 ms while a run goes on and keeps the highest figures. A figure that
// cannot be read stays -1; nothing here fails otherwise.
#ifndef VZ_BENCH_RESIDENT_MEMORY_H_
#define VZ_BENCH_RESIDENT_MEMORY_H_

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace vz::bench {

struct ResidentMemory {
  long anonymous_kb = -1;  // RssAnon
  long file_kb = -1;       // RssFile: mapped file pages
};

// The process's resident memory now.
inline ResidentMemory ReadResidentMemory() {
  ResidentMemory memory;
  FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return memory;
  char line[256];
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, "RssAnon:", 8) == 0) memory.anonymous_kb = std::atol(line + 8);
    if (std::strncmp(line, "RssFile:", 8) == 0) memory.file_kb = std::atol(line + 8);
  }
  std::fclose(status);
  return memory;
}

// The highest resident figures seen from its construction to Stop().
class ResidentMemoryWatch {
 public:
  ResidentMemoryWatch() : thread_([this] { Watch(); }) {}
  ~ResidentMemoryWatch() { Stop(); }
  ResidentMemoryWatch(const ResidentMemoryWatch&) = delete;
  ResidentMemoryWatch& operator=(const ResidentMemoryWatch&) = delete;

  // Ends the sampling (once a last sample is taken) and gives the peaks.
  ResidentMemory Stop() {
    if (thread_.joinable()) {
      done_ = true;
      thread_.join();
    }
    return {peak_anonymous_.load(), peak_file_.load()};
  }

 private:
  void Sample() {
    const ResidentMemory now = ReadResidentMemory();
    peak_anonymous_ = std::max(peak_anonymous_.load(), now.anonymous_kb);
    peak_file_ = std::max(peak_file_.load(), now.file_kb);
  }
  void Watch() {
    while (!done_) {
      Sample();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Sample();
  }

  std::atomic<bool> done_{false};
  std::atomic<long> peak_anonymous_{-1};
  std::atomic<long> peak_file_{-1};
  std::thread thread_;  // last: starts once the rest is in place
};

// "resident anonymous <a> kB, mapped file pages <f> kB" for printing.
inline std::string MemoryText(const ResidentMemory& memory) {
  return "resident anonymous " + std::to_string(memory.anonymous_kb) + " kB, mapped file pages " +
         std::to_string(memory.file_kb) + " kB";
}

}  // namespace vz::bench

#endif  // VZ_BENCH_RESIDENT_MEMORY_H_
