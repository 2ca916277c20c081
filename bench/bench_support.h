// Helpers shared by the benchmark programs: peak memory, processor time, wall
// time, the options every benchmark reads, and a demo installation generated
// in a temporary folder (never in the repository) or a kept one reused.
// Failures come back as a message, never an exception.
#ifndef VZ_BENCH_BENCH_SUPPORT_H_
#define VZ_BENCH_BENCH_SUPPORT_H_

#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "tools/datatool/demo_installation.h"
#include "tools/datatool/installation.h"

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
inline bool GenerateBenchInstallation(std::string_view prefix, int64_t clients, uint64_t seed,
                                      bool queries, BenchInstallation* out, std::string* error) {
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

// The options the benchmarks share. Each benchmark sets its own default
// number of clients and says whether it takes --installation and --only.
struct CommonOptions {
  int64_t clients = 0;
  uint64_t seed = 2024;
  bool keep = false;
  std::string installation;  // a kept installation's folder, or empty
  char only = 0;             // 'a' to 'c', or 0 for every case
  bool takes_installation = false;
  bool takes_only = false;
  // The benchmark's own whole-number option ("--passes"), or none; its value
  // holds the default until the command line gives another.
  const char* own_option = nullptr;
  int64_t own_value = 0;
};

// True when argv[*i] is one of the shared options, with its value when it
// needs one (then *i moves past the value). False otherwise: the caller tries
// its own options and prints its usage line when none fits.
inline bool TakeCommonOption(int argc, char** argv, int* i, CommonOptions* options) {
  const std::string a = argv[*i];
  const bool has_value = *i + 1 < argc;
  if (a == "--clients" && has_value) {
    options->clients = std::atoll(argv[++*i]);
  } else if (a == "--seed" && has_value) {
    options->seed = std::strtoull(argv[++*i], nullptr, 10);
  } else if (a == "--keep") {
    options->keep = true;
  } else if (options->takes_installation && a == "--installation" && has_value) {
    options->installation = argv[++*i];
  } else if (options->takes_only && a == "--only" && has_value && std::strlen(argv[*i + 1]) == 1 &&
             argv[*i + 1][0] >= 'a' && argv[*i + 1][0] <= 'c') {
    options->only = argv[++*i][0];
  } else {
    return false;
  }
  return true;
}

// Takes `flag` out of the command line (argv and *argc shortened): true when
// it was there. For a benchmark's own switches, before ReadCommandLine.
inline bool TakeFlag(int* argc, char** argv, std::string_view flag) {
  bool found = false;
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    if (flag == argv[i]) {
      found = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  *argc = kept;
  return found;
}

// The options of a benchmark with its default number of clients and its own
// whole-number option with that option's default.
inline CommonOptions OptionsWith(int64_t clients, const char* own_option, int64_t own_value) {
  CommonOptions options;
  options.clients = clients;
  options.own_option = own_option;
  options.own_value = own_value;
  return options;
}

// Reads the whole command line: the shared options and the benchmark's own.
// False, after printing `usage`, on anything else.
inline bool ReadCommandLine(int argc, char** argv, CommonOptions* options, const char* usage) {
  for (int i = 1; i < argc; ++i) {
    if (TakeCommonOption(argc, argv, &i, options)) continue;
    if (options->own_option && std::string_view(argv[i]) == options->own_option && i + 1 < argc) {
      options->own_value = std::atoll(argv[++i]);
      continue;
    }
    std::cerr << usage << "\n";
    return false;
  }
  return true;
}

// The installation of the run: the kept one named by --installation (then
// options->keep becomes true: a run never removes what it did not make), or a
// new one generated under $TMPDIR. False, after printing "<program>: <error>",
// when the generation fails.
inline bool ObtainInstallation(const char* program, std::string_view prefix, bool queries,
                               CommonOptions* options, BenchInstallation* out) {
  if (!options->installation.empty()) {
    out->folder = std::filesystem::absolute(options->installation).string();
    out->root = out->folder + "/installation";
    options->keep = true;
    return true;
  }
  std::string error;
  if (!GenerateBenchInstallation(prefix, options->clients, options->seed, queries, out, &error)) {
    std::cerr << program << ": " << error << "\n";
    return false;
  }
  return true;
}

// The folders of the run's installation. False, after printing
// "<program>: <error>", when they cannot be found.
inline bool LocateBenchInstallation(const char* program, const BenchInstallation& generated,
                                    datatool::Installation* installation) {
  std::string error;
  if (!datatool::LocateInstallation(generated.root, installation, &error)) {
    std::cerr << program << ": " << error << "\n";
    return false;
  }
  return true;
}

// Prints "<program>: <N> clients generated in <s> s, peak memory <k> kB".
inline void PrintGeneration(const char* program, const BenchInstallation& installation) {
  std::printf("%s: %lld clients generated in %.1f s, peak memory %ld kB\n", program,
              static_cast<long long>(installation.stats.clients), installation.seconds,
              PeakKilobytes());
}

// Prints "<program>: installation kept in <shown>" when `keep`, otherwise
// removes the generated folder.
inline void KeepOrRemove(const char* program, const BenchInstallation& installation, bool keep,
                         const std::string& shown) {
  if (keep) {
    std::printf("%s: installation kept in %s\n", program, shown.c_str());
  } else {
    std::error_code ec;
    std::filesystem::remove_all(installation.folder, ec);
  }
}

// The number of lines of a text file (0 when it cannot be read).
inline int64_t LinesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  int64_t lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

}  // namespace vz::bench

#endif  // VZ_BENCH_BENCH_SUPPORT_H_
