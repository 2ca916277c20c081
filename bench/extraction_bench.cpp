// Extraction benchmark: generates a demo installation in a temporary folder
// (never in the repository), selects its first N clients (a selection file of
// N codes in client-code order) and runs the extraction dispatch of a query
// with 10 rubric columns through the program's own path: the record
// operations, the screen bridge and the screen runtime with the scripted
// front end and the ORVANE project (the progress window gets its steps).
// The columns: name and city, income total and one income line, taxes,
// owner-occupied real estate, securities, cash, other assets and life
// insurance totals, so that eight loaders run per client. It reports clients
// per second against the target of 100,000 and memory (peak, and during
// the run resident anonymous memory and mapped file pages apart), and checks that
// the merge file has a header and one line per client. Beside case (a) it
// asks the same ten columns in SQL of a normalized copy of the installation
// (sql_baseline.h, sql_questions.h), prints the ratio of the two times and
// fails when a merge line differs from the SQL row.
//
//   extraction_bench [--clients N] [--selected S] [--seed X] [--keep]
//                    [--installation DIR] [--only a|b|c] [--no-sql] [--compact]
//
// --keep leaves the generated installation in place (its folder is printed);
// --installation runs on such a kept installation instead of generating one
// (for profiling, so that the generation does not drown the run); --only runs
// one of the three extractions; --no-sql leaves the SQL baseline out
// (profiling the program alone).
//
// Run it once per size so that each reports its own peak memory.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_program.h"
#include "bench/bench_support.h"
#include "bench/resident_memory.h"
#include "bench/sql_baseline.h"
#include "bench/sql_questions.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_ops.h"
#include "src/outputs/extraction_dispatch.h"
#include "src/screen/bridge.h"
#include "tools/datatool/installation.h"

namespace {

namespace fs = std::filesystem;
using Clock = vz::bench::Clock;
using vz::bench::CpuSeconds;
using vz::bench::PeakKilobytes;
using vz::bench::Seconds;

constexpr double kTargetClientsPerSecond = 100000.0;

// The extractions measured: the same selection, three column sets.
struct BenchQuery {
  const char* label;
  const char* code;
  std::vector<const char*> columns;
};
const std::vector<BenchQuery>& BenchQueries() {
  static const std::vector<BenchQuery> queries = {
      {"(a) 10 columns over eight families",
       "01000030",
       {"0000A", "0000E", "40000", "40001", "51000", "01000", "04000", "05000", "06000", "07000"}},
      {"(b) 10 columns over two families",
       "01000031",
       {"0000A", "0000C", "0000D", "0000E", "0000M", "40000", "40001", "40002", "40003", "40010"}},
      {"(c) no column", "01000032", {}},
  };
  return queries;
}

void AddBenchQuery(const BenchQuery& query) {
  vz::bench::AddQueryLine(query.code, "TITRE*******", "O", "20261207\tExtraction\t\t\t\t\t\t\t\t");
  for (const char* column : query.columns) {
    vz::bench::AddQueryLine(query.code, "RUBRIQUE***2", "O", std::string(column) + "\t");
  }
}

// True when the installation holds a query of code `code` (a kept one).
bool QueryExists(std::string_view code) {
  vz::db::Hlitrecherche("REQUETES", "CODREQ", code);
  if (vz::db::Hendehors()) return false;
  const vz::db::QueryLineRecord line = vz::db::CurrentQueryLine();
  return line.Prefix().substr(0, 2) == code.substr(0, 2) &&
         line.Number().substr(0, code.size() - 2) == code.substr(2);
}

// The first `count` client codes in key order, as a selection file.
int64_t WriteSelection(const std::string& path, int64_t count) {
  std::ofstream out(path, std::ios::binary);
  int64_t written = 0;
  for (vz::db::Hlitpremier("CLIENT", "CODCLI"); !vz::db::Hendehors() && written < count;
       vz::db::Hlitsuivant("CLIENT", "CODCLI")) {
    out << vz::db::CurrentClient().Codcli().substr(0, 9) << "\r\n";
    ++written;
  }
  return written;
}

// Asks the columns of case (a) in SQL for the first `codes` clients, checks
// them against the merge file and prints the ratio of the times. False when
// they differ or SQL fails.
bool AskInSql(vz::bench::SqlBaseline& baseline, const BenchQuery& query, const fs::path& data,
              int64_t codes, double seconds, double cpu) {
  vz::bench::TimedAnswer sql;
  std::string error;
  if (!vz::bench::TimeQuery(baseline, vz::bench::ExtractionQuestion(codes), &sql, &error)) {
    std::fprintf(stderr, "extraction_bench: %s: SQL: %s\n", query.label, error.c_str());
    return false;
  }
  const std::string difference =
      vz::bench::CompareMergeFile((data / (std::string(query.code) + ".MEM")).string(), sql.rows);
  if (!difference.empty()) {
    std::fprintf(stderr, "extraction_bench: %s: SQL gives other figures: %s\n", query.label,
                 difference.c_str());
    return false;
  }
  vz::bench::PrintRatio("extraction_bench", query.label, sql, seconds, cpu);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool with_sql = !vz::bench::TakeFlag(&argc, argv, "--no-sql");
  const bool compact = vz::bench::TakeFlag(&argc, argv, "--compact");
  vz::bench::CommonOptions options;
  options.clients = 20000;
  options.takes_installation = true;
  options.takes_only = true;
  options.own_option = "--selected";
  options.own_value = 10000;
  if (!vz::bench::ReadCommandLine(argc, argv, &options,
                                  "usage: extraction_bench [--clients N] [--selected S] [--seed X] "
                                  "[--keep] [--installation DIR] [--only a|b|c] [--no-sql] "
                                  "[--compact]")) {
    return 2;
  }
  const int64_t selected = options.own_value;
  vz::bench::BenchInstallation generated;
  vz::datatool::Installation installation;
  if (!vz::bench::PrepareBenchRun("extraction_bench", "vz_extraction_bench", false,
                                  "# the extraction asks nothing", &options, &generated,
                                  &installation)) {
    return 1;
  }
  if (compact && !vz::bench::MakeCompact("extraction_bench", installation)) return 1;

  vz::bench::OpenProgramDatabase(installation);
  const fs::path data(installation.data_directory);
  vz::bench::SqlBaseline baseline;
  const bool asks_sql = with_sql && (options.only == 0 || options.only == 'a');
  const bool have_sql =
      asks_sql && vz::bench::BuildBaselineIn("extraction_bench", generated.folder, &baseline);
  bool whole = !asks_sql || have_sql;
  for (const BenchQuery& query : BenchQueries()) {
    if (options.only != 0 && query.label[1] != options.only) continue;
    if (!QueryExists(query.code)) AddBenchQuery(query);  // a kept installation has it already
    const int64_t codes =
        WriteSelection((data / (std::string(query.code) + ".EXT")).string(), selected);
    vz::bench::ResidentMemoryWatch watch;
    const auto start = Clock::now();
    const double cpu_start = CpuSeconds();
    vz::outputs::RunExtractionDispatch(query.code);
    const double seconds = Seconds(start);
    const double cpu = CpuSeconds() - cpu_start;
    const vz::bench::ResidentMemory memory = watch.Stop();
    const double rate = static_cast<double>(codes) / seconds;
    const double cpu_rate = static_cast<double>(codes) / cpu;
    std::printf(
        "extraction_bench: %s: %lld clients in %.2f s (processor %.2f s): %.0f clients/s "
        "(%.0f per processor second), peak memory %ld kB (during the run: %s)\n",
        query.label, static_cast<long long>(codes), seconds, cpu, rate, cpu_rate, PeakKilobytes(),
        vz::bench::MemoryText(memory).c_str());
    if (!query.columns.empty()) {
      std::printf("extraction_bench: %s: target %.0f clients/s: %s\n", query.label,
                  kTargetClientsPerSecond, rate >= kTargetClientsPerSecond ? "met" : "MISSED");
    }
    const int64_t lines = vz::bench::LinesOf((data / (std::string(query.code) + ".MEM")).string());
    if (lines != codes + 1) {
      std::fprintf(stderr, "extraction_bench: %s: the merge file has %lld lines for %lld\n",
                   query.label, static_cast<long long>(lines), static_cast<long long>(codes));
      whole = false;
    }
    if (have_sql && query.label[1] == 'a') {
      whole = AskInSql(baseline, query, data, codes, seconds, cpu) && whole;
    }
  }
  vz::bench::CloseProgramDatabase();
  vz::screen::TerminateModule();
  vz::bench::KeepOrRemove("extraction_bench", generated, options.keep, generated.folder);
  return whole ? 0 : 1;
}
