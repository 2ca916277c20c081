// Selection benchmark: generates a demo installation in a temporary folder
// (never in the repository) and runs the selection through the program's own
// path: the record operations on the process-wide buffers, the screen bridge
// and the screen runtime with the scripted front end and the ORVANE project
// (the progress window gets its steps). Three queries:
//   (a) one income criterion (the household's income total at least 30,000);
//   (b) identity criteria only (name range, postcode range, age range);
//   (c) a combined query of four elementary queries ((A OU B) OU (C ET D)).
// For each it reports clients per second (clients evaluated over all passes
// of the client file), processor microseconds per client and memory (peak,
// and during the run resident anonymous memory and mapped file pages apart),
// and it times a raw sequential read of
// the records the run reads (CLIENT, ADRESSES and REVENUS in key order).
// Beside each run it asks the same question in SQL of a normalized copy of
// the installation (sql_baseline.h, sql_questions.h), prints the ratio of
// the two times and fails when the SQL answer is not the selection file.
// Query (a) is also counted as the definition window's "Compter" counts it
// (its stored lines, no file written): the count's clients per second are
// printed beside the run's, and the bench fails when the count is not the
// number of lines of the selection file.
//
//   selection_bench [--clients N] [--seed S] [--keep] [--installation DIR] [--only a|b|c]
//                   [--no-sql] [--compact]
//
// --keep leaves the generated installation in place (its folder is printed);
// --installation runs on such a kept installation instead of generating one
// (for profiling under a slow tool); --only runs one of the three queries;
// --no-sql leaves the SQL baseline out (profiling the program alone);
// --compact rewrites the data files in the compact form first, as the tools
// program's "compact" does (a kept installation stays compact).
//
// Run it once per size (bench/run_all.sh does 100,000 and 200,000 clients),
// so that each size reports its own peak memory.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "bench/bench_program.h"
#include "bench/bench_support.h"
#include "bench/resident_memory.h"
#include "bench/sql_baseline.h"
#include "bench/sql_questions.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge.h"
#include "src/selection/criteria_loading.h"
#include "src/selection/selection_count.h"
#include "src/selection/selection_run.h"
#include "tools/datatool/installation.h"

namespace {

namespace fs = std::filesystem;
using Clock = vz::bench::Clock;

constexpr double kTargetClientsPerSecond = 150000.0;
constexpr double kMostTimesRawRead = 3.0;

using vz::bench::CpuSeconds;
using vz::bench::PeakKilobytes;
using vz::bench::Seconds;

void AddCombined(std::string_view code, std::string_view first, std::string_view op,
                 std::string_view second) {
  vz::bench::AddQueryLine(code, "TITRE*******", " ",
                          "20261207\tBanc\t\t\t\tC\t" + std::string(first) + "\t" +
                              std::string(op) + "\t" + std::string(second) + "\t");
}

// The queries of the benchmark, beside the demo's 01000001 to 01000012.
void AddBenchQueries() {
  using vz::bench::AddQueryLine;
  AddQueryLine("01000020", "TITRE*******", " ", "20261207\tIdentit\xE9\t\t\t\t\t\t\t\t");
  AddQueryLine("01000020", "NOMCLI******", " ", "B\tM\t");
  AddQueryLine("01000020", "CODPOST*****", " ", "10000\t89999\t");
  AddQueryLine("01000020", "AGECLI******", " ", "30\t70\t");
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

// Asks case `label` in SQL, checks its answer against the selection file of
// query `code` and prints the ratio of the times. False when the answers
// differ or SQL fails.
bool AskInSql(vz::bench::SqlBaseline& baseline, const char* label, const char* code,
              const vz::datatool::Installation& installation, double seconds, double cpu) {
  vz::bench::TimedAnswer sql;
  std::string error;
  if (!vz::bench::TimeQuery(baseline, vz::bench::SelectionQuestion(label[1]), &sql, &error)) {
    std::fprintf(stderr, "selection_bench: %s: SQL: %s\n", label, error.c_str());
    return false;
  }
  const std::string difference = vz::bench::CompareCodes(
      vz::bench::ReadSelectionFile(
          (fs::path(installation.data_directory) / (std::string(code) + ".EXT")).string()),
      vz::bench::FirstColumn(sql.rows));
  if (!difference.empty()) {
    std::fprintf(stderr, "selection_bench: %s: SQL gives other clients: %s\n", label,
                 difference.c_str());
    return false;
  }
  vz::bench::PrintRatio("selection_bench", label, sql, seconds, cpu);
  return true;
}

// Counts query `code` from its stored lines as the definition window counts
// the query it edits, prints its rate beside the run's (on the clock and per
// processor second: on a loaded machine the processor figure is the one to
// compare); false when the count differs from the run's selection.
bool CountBesideRun(const char* code, int64_t client_count, int64_t selected, double run_rate,
                    double run_cpu_rate) {
  auto criteria = std::make_unique<vz::selection::QueryCriteria>();
  vz::selection::LoadCriteria(code, *criteria);
  const auto start = Clock::now();
  const double cpu_start = CpuSeconds();
  const std::optional<int64_t> counted =
      vz::selection::CountQueryLines(std::move(criteria->entries));
  const double seconds = Seconds(start);
  const double cpu = CpuSeconds() - cpu_start;
  const double rate = static_cast<double>(client_count) / seconds;
  const double cpu_rate = static_cast<double>(client_count) / cpu;
  std::printf(
      "selection_bench: (a) counted (\"Compter\"): %lld clients, %.2f s (processor %.2f s), "
      "%.0f clients/s, %.0f per processor second (the run: %.0f clients/s, %.0f per processor "
      "second): %s\n",
      static_cast<long long>(counted.value_or(-1)), seconds, cpu, rate, cpu_rate, run_rate,
      run_cpu_rate,
      cpu_rate >= run_cpu_rate ? "at the selection's speed or better"
                               : "SLOWER than the selection");
  if (counted != selected) {
    std::fprintf(stderr, "selection_bench: the count %lld is not the %lld selected\n",
                 static_cast<long long>(counted.value_or(-1)), static_cast<long long>(selected));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool with_sql = !vz::bench::TakeFlag(&argc, argv, "--no-sql");
  const bool compact = vz::bench::TakeFlag(&argc, argv, "--compact");
  vz::bench::CommonOptions options;
  options.clients = 100000;
  options.takes_installation = true;
  options.takes_only = true;
  if (!vz::bench::ReadCommandLine(argc, argv, &options,
                                  "usage: selection_bench [--clients N] [--seed S] [--keep] "
                                  "[--installation DIR] [--only a|b|c] [--no-sql] [--compact]")) {
    return 2;
  }
  vz::bench::BenchInstallation generated;
  vz::datatool::Installation installation;
  if (!vz::bench::PrepareBenchRun("selection_bench", "vz_selection_bench", true,
                                  "# the selection run asks nothing", &options, &generated,
                                  &installation)) {
    return 1;
  }
  if (compact && !vz::bench::MakeCompact("selection_bench", installation)) return 1;

  // The program's database context over the installation.
  vz::bench::OpenProgramDatabase(installation);
  if (options.installation.empty()) AddBenchQueries();  // a kept installation has them already
  vz::db::Hinfogene("CLIENT");
  const int64_t client_count = vz::db::Hnbenr();

  vz::bench::SqlBaseline baseline;
  const bool have_sql =
      with_sql && vz::bench::BuildBaselineIn("selection_bench", generated.folder, &baseline);

  // After the SQL copy, which has just read (and cached) its own tables: the
  // raw read brings the program's files back into the page cache as well, so
  // that neither side starts cold.
  const RawRead raw = ReadRaw();
  std::printf("selection_bench: raw read of CLIENT, ADRESSES, REVENUS: %lld records in %.2f s\n",
              static_cast<long long>(raw.records), raw.seconds);

  struct Query {
    const char* label;
    const char* code;
    int passes;
  };
  bool ok = have_sql || !with_sql;
  for (const Query& q : {Query{"(a) one income criterion", "01000001", 1},
                         Query{"(b) identity criteria only", "01000020", 1},
                         Query{"(c) combined, four elementary queries", "01000023", 4}}) {
    if (options.only != 0 && q.label[1] != options.only) continue;
    vz::bench::ResidentMemoryWatch watch;
    const auto run_start = Clock::now();
    const double cpu_start = CpuSeconds();
    const bool done = vz::selection::RunSelection(q.code);
    const double seconds = Seconds(run_start);
    const double cpu = CpuSeconds() - cpu_start;
    const vz::bench::ResidentMemory memory = watch.Stop();
    const double evaluated = static_cast<double>(client_count) * q.passes;
    const double rate = evaluated / seconds;
    const int64_t selected = vz::bench::LinesOf(
        (fs::path(installation.data_directory) / (std::string(q.code) + ".EXT")).string());
    std::printf(
        "selection_bench: %s: %lld selected, %.2f s (processor %.2f s), %.0f clients/s, "
        "%.1f x the raw read, peak memory %ld kB (during the run: %s)\n",
        q.label, static_cast<long long>(selected), seconds, cpu, rate, seconds / raw.seconds,
        PeakKilobytes(), vz::bench::MemoryText(memory).c_str());
    std::printf("selection_bench: %s: %.2f processor microseconds per client\n", q.label,
                cpu * 1e6 / evaluated);
    if (!done) {
      std::fprintf(stderr, "selection_bench: %s: the run was aborted\n", q.label);
      ok = false;
    }
    if (have_sql) ok = AskInSql(baseline, q.label, q.code, installation, seconds, cpu) && ok;
    if (q.passes == 1 && q.code == std::string("01000001")) {
      const bool met =
          rate >= kTargetClientsPerSecond && seconds <= kMostTimesRawRead * raw.seconds;
      std::printf("selection_bench: target %.0f clients/s within %.0f x the raw read: %s\n",
                  kTargetClientsPerSecond, kMostTimesRawRead, met ? "met" : "MISSED");
      ok = CountBesideRun(q.code, client_count, selected, rate, evaluated / cpu) && ok;
    }
  }
  vz::bench::CloseProgramDatabase();
  vz::screen::TerminateModule();
  vz::bench::KeepOrRemove("selection_bench", generated, options.keep, generated.root);
  return ok ? 0 : 1;
}
