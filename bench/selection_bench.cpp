// Selection benchmark: generates a demo installation in a temporary folder
// (never in the repository) and runs the selection through the program's own
// path: the record operations on the process-wide buffers, the screen bridge
// and the screen runtime with the scripted front end and the ORVANE project
// (every progress step reaches the progress window). Three queries:
//   (a) one income criterion (the household's income total at least 30,000);
//   (b) identity criteria only (name range, postcode range, age range);
//   (c) a combined query of four elementary queries ((A OU B) OU (C ET D)).
// For each it reports clients per second (clients evaluated over all passes
// of the client file) and peak memory, and it times a raw sequential read of
// the records the run reads (CLIENT, ADRESSES and REVENUS in key order).
//
//   selection_bench [--clients N] [--seed S] [--keep] [--installation DIR] [--only a|b|c]
//
// --keep leaves the generated installation in place (its folder is printed);
// --installation runs on such a kept installation instead of generating one
// (for profiling under a slow tool); --only runs one of the three queries.
//
// Run it once per size (bench/run_all.sh does 100,000 and 200,000 clients),
// so that each size reports its own peak memory.
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "bench/bench_support.h"
#include "platform/engine/le_api.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/analysis_writer.h"
#include "src/db/describe.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge.h"
#include "src/selection/selection_run.h"
#include "tools/datatool/demo_installation.h"
#include "tools/datatool/installation.h"

namespace {

namespace fs = std::filesystem;
using Clock = vz::bench::Clock;

constexpr double kTargetClientsPerSecond = 150000.0;
constexpr double kMostTimesRawRead = 3.0;

using vz::bench::CpuSeconds;
using vz::bench::PeakKilobytes;
using vz::bench::Seconds;

void AddQueryLine(std::string_view code, std::string_view key, std::string_view text) {
  std::memset(vz::db::RecordBuffer(vz::db::FileId::REQUETES), 0,
              vz::db::RecordBufferSize(vz::db::FileId::REQUETES));
  vz::db::QueryLineRecord line = vz::db::CurrentQueryLine();
  line.SetPrefix(code.substr(0, 2));
  line.SetNumber(code.substr(2));
  line.SetCriteriaKey(key);
  line.SetState(" ");
  line.SetMarker("E");
  line.SetLineText(text);
  vz::db::Hajoute("REQUETES");
}

void AddCombined(std::string_view code, std::string_view first, std::string_view op,
                 std::string_view second) {
  AddQueryLine(code, "TITRE*******",
               "20261207\tBanc\t\t\t\tC\t" + std::string(first) + "\t" + std::string(op) + "\t" +
                   std::string(second) + "\t");
}

// The queries of the benchmark, beside the demo's 01000001 to 01000012.
void AddBenchQueries() {
  AddQueryLine("01000020", "TITRE*******", "20261207\tIdentit\xE9\t\t\t\t\t\t\t\t");
  AddQueryLine("01000020", "NOMCLI******", "B\tM\t");
  AddQueryLine("01000020", "CODPOST*****", "10000\t89999\t");
  AddQueryLine("01000020", "AGECLI******", "30\t70\t");
  AddCombined("01000021", "01000001", "OU", "01000007");
  AddCombined("01000022", "01000003", "ET", "01000004");
  AddCombined("01000023", "01000021", "OU", "01000022");
}

struct RawRead {
  int64_t records = 0;
  double seconds = 0;
};

// Every record of the files the income query reads, in key order.
RawRead ReadRaw() {
  RawRead raw;
  const auto start = Clock::now();
  for (const auto& [file, key] : {std::pair<const char*, const char*>{"CLIENT", "CODCLI"},
                                  {"ADRESSES", "CODADR"},
                                  {"REVENUS", "CODCLEF"}}) {
    for (vz::db::Hlitpremier(file, key); !vz::db::Hendehors(); vz::db::Hlitsuivant(file, key)) {
      ++raw.records;
    }
  }
  raw.seconds = Seconds(start);
  return raw;
}

int64_t LinesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  int64_t lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  int64_t clients = 100000;
  uint64_t seed = 2024;
  bool keep = false;
  std::string reuse;
  char only = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--clients" && i + 1 < argc) {
      clients = std::atoll(argv[++i]);
    } else if (a == "--seed" && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (a == "--keep") {
      keep = true;
    } else if (a == "--installation" && i + 1 < argc) {
      reuse = argv[++i];
    } else if (a == "--only" && i + 1 < argc && std::strlen(argv[i + 1]) == 1 &&
               argv[i + 1][0] >= 'a' && argv[i + 1][0] <= 'c') {
      only = argv[++i][0];
    } else {
      std::cerr << "usage: selection_bench [--clients N] [--seed S] [--keep] "
                   "[--installation DIR] [--only a|b|c]\n";
      return 2;
    }
  }
  vz::bench::BenchInstallation generated;
  std::string error;
  if (!reuse.empty()) {
    generated.folder = fs::absolute(reuse).string();
    generated.root = generated.folder + "/installation";
    keep = true;  // never remove what this run did not make
  } else {
    if (!vz::bench::GenerateBenchInstallation("vz_selection_bench", clients, seed, true, &generated,
                                              &error)) {
      std::cerr << "selection_bench: " << error << "\n";
      return 1;
    }
    std::printf("selection_bench: %lld clients generated in %.1f s, peak memory %ld kB\n",
                static_cast<long long>(generated.stats.clients), generated.seconds,
                PeakKilobytes());
  }
  const std::string& folder = generated.folder;
  const std::string& root = generated.root;
  vz::datatool::Installation installation;
  if (!vz::datatool::LocateInstallation(root, &installation, &error)) {
    std::cerr << "selection_bench: " << error << "\n";
    return 1;
  }

  // The screen project beside the program, an empty scenario: the run never
  // waits for input.
  const fs::path program = installation.program_directory;
  fs::create_directories(program);
  for (const char* name : {"ORVANE.wdl", "ORVANE.WDP"}) {
    fs::copy_file(fs::path(VZ_PROJECT_DIR) / name, program / name,
                  fs::copy_options::overwrite_existing);
  }
  const std::string scenario = (fs::path(folder) / "empty.scenario").string();
  std::ofstream(scenario) << "# the selection run asks nothing\n";
  setenv("VZ_SCENARIO", scenario.c_str(), 1);
  fs::current_path(program);
  vz::screen::SendCommand("BIBLI,disque,ORVANE.wdl");
  vz::screen::SendCommand("PROJET,ORVANE.WDP");
  if (vz::screen::IntegerReturnValue() != 0) {
    std::cerr << "selection_bench: the screen project does not open\n";
    return 1;
  }

  // The program's database context over the installation.
  vz::db::SetContextHandle(LE_CreateContexteHF(103));
  vz::db::DescribeAllFiles();
  vz::db::Houvreanalyse(installation.analysis_file, "", "", "", "");
  vz::db::Hsubstrep(vz::db::kPlaceholderDirectory, installation.data_directory);
  vz::db::Hseterrignore(1);
  vz::config::SetDataDirectory(installation.data_directory);
  vz::config::SetListSeparator('\t');
  if (reuse.empty()) AddBenchQueries();  // a kept installation has them already
  vz::db::Hinfogene("CLIENT");
  const int64_t client_count = vz::db::Hnbenr();

  const RawRead raw = ReadRaw();
  std::printf("selection_bench: raw read of CLIENT, ADRESSES, REVENUS: %lld records in %.2f s\n",
              static_cast<long long>(raw.records), raw.seconds);

  struct Query {
    const char* label;
    const char* code;
    int passes;
  };
  bool ok = true;
  for (const Query& q : {Query{"(a) one income criterion", "01000001", 1},
                         Query{"(b) identity criteria only", "01000020", 1},
                         Query{"(c) combined, four elementary queries", "01000023", 4}}) {
    if (only != 0 && q.label[1] != only) continue;
    const auto run_start = Clock::now();
    const double cpu_start = CpuSeconds();
    const bool done = vz::selection::RunSelection(q.code);
    const double seconds = Seconds(run_start);
    const double cpu = CpuSeconds() - cpu_start;
    const double evaluated = static_cast<double>(client_count) * q.passes;
    const double rate = evaluated / seconds;
    const int64_t selected =
        LinesOf((fs::path(installation.data_directory) / (std::string(q.code) + ".EXT")).string());
    std::printf(
        "selection_bench: %s: %lld selected, %.2f s (processor %.2f s), %.0f clients/s, "
        "%.1f x the raw read, peak memory %ld kB\n",
        q.label, static_cast<long long>(selected), seconds, cpu, rate, seconds / raw.seconds,
        PeakKilobytes());
    if (!done) {
      std::fprintf(stderr, "selection_bench: %s: the run was aborted\n", q.label);
      ok = false;
    }
    if (q.passes == 1 && q.code == std::string("01000001")) {
      const bool met =
          rate >= kTargetClientsPerSecond && seconds <= kMostTimesRawRead * raw.seconds;
      std::printf("selection_bench: target %.0f clients/s within %.0f x the raw read: %s\n",
                  kTargetClientsPerSecond, kMostTimesRawRead, met ? "met" : "MISSED");
    }
  }
  vz::db::Hferme("");
  vz::db::HftermineCTX();
  vz::screen::TerminateModule();
  if (keep) {
    std::printf("selection_bench: installation kept in %s\n", root.c_str());
  } else {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  return ok ? 0 : 1;
}
