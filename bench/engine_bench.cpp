// Engine benchmark: generates a demo installation in a temporary folder (never
// in the repository), then makes one pass over CLIENT in key order and, per
// client, the reads the selection run makes: a search of REVENUS by household
// with a read-next loop over the household's records, and a search that puts
// CLIENT back on the client before the next read next. Reports engine
// operations (LE_ reads) per second, clients per second and peak memory.
//
//   engine_bench [--clients N] [--seed S] [--passes P] [--keep]
//
// Run it once per size (bench/run_all.sh does 100,000 and 200,000 clients)
// so that the peak memory of each size is its own.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "bench/bench_support.h"
#include "platform/engine/le_api.h"
#include "src/db/catalogue.h"
#include "tools/datatool/engine_session.h"
#include "tools/datatool/installation.h"

namespace {

using Clock = vz::bench::Clock;
using vz::db::FileId;

constexpr double kTargetOperationsPerSecond = 500000.0;

using vz::bench::CpuSeconds;
using vz::bench::PeakKilobytes;
using vz::bench::Seconds;

struct PassResult {
  int64_t clients = 0;
  int64_t operations = 0;
  int64_t income_records = 0;
  double seconds = 0;
  double cpu_seconds = 0;
};

// Text of a described text field (length byte, then the characters).
std::string_view FieldText(const uint8_t* record, size_t offset) {
  return {reinterpret_cast<const char*>(record + offset + 1), record[offset]};
}

PassResult Pass(vz::datatool::EngineSession& session) {
  const int32_t ctx = session.handle();
  const uint8_t* client = session.Buffer(FileId::CLIENT);
  const uint8_t* income = session.Buffer(FileId::REVENUS);
  const size_t prefix = vz::db::Describe(FileId::CLIENT).field_offsets[0];
  const size_t file_number = vz::db::Describe(FileId::CLIENT).field_offsets[1];
  const size_t person = vz::db::Describe(FileId::CLIENT).field_offsets[2];
  char household[16] = {};
  char code[16] = {};
  PassResult r;
  const auto start = Clock::now();
  const double cpu_start = CpuSeconds();
  LE_Hlitpremier(ctx, "CLIENT", "CODCLI", 0);
  ++r.operations;
  while (LE_Hendehors(ctx) == 0) {
    ++r.clients;
    const std::string_view p = FieldText(client, prefix), f = FieldText(client, file_number),
                           d = FieldText(client, person);
    std::snprintf(household, sizeof household, "%.*s%.*s", static_cast<int>(p.size()), p.data(),
                  static_cast<int>(f.size()), f.data());
    // The client code: the household code followed by the person digit.
    const std::size_t household_length = std::strlen(household);
    const std::size_t digit_length = std::min(d.size(), sizeof code - 1 - household_length);
    std::memcpy(code, household, household_length);
    std::memcpy(code + household_length, d.data(), digit_length);
    code[household_length + digit_length] = '\0';
    // The household's income records.
    LE_Hlitrecherche(ctx, "REVENUS", "CODCLEF", household, 0);
    ++r.operations;
    while (LE_Hendehors(ctx) == 0 && std::memcmp(income + 1, household, 8) == 0) {
      ++r.income_records;
      LE_Hlitsuivant(ctx, "REVENUS", "CODCLEF", 0);
      ++r.operations;
    }
    // Back on the client, then on to the next one.
    LE_Hlitrecherche(ctx, "CLIENT", "CODCLI", code, 0);
    LE_Hlitsuivant(ctx, "CLIENT", "CODCLI", 0);
    r.operations += 2;
  }
  r.seconds = Seconds(start);
  r.cpu_seconds = CpuSeconds() - cpu_start;
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  vz::bench::CommonOptions options = vz::bench::OptionsWith(100000, "--passes", 3);
  if (!vz::bench::ReadCommandLine(argc, argv, &options,
                                  "usage: engine_bench [--clients N] [--seed S] [--passes P] [--keep]")) {
    return 2;
  }
  const int passes = static_cast<int>(std::max<int64_t>(1, options.own_value));
  vz::bench::BenchInstallation generated;
  std::string error;
  if (!vz::bench::ObtainInstallation("engine_bench", "vz_engine_bench", false, &options,
                                     &generated)) {
    return 1;
  }
  const std::string& root = generated.root;
  const vz::datatool::GenerateStats& stats = generated.stats;
  const double generation = generated.seconds;
  std::printf(
      "engine_bench: %lld clients, %lld households, %lld records generated in %.1f s "
      "(%.0f records/s), peak memory %ld kB\n",
      static_cast<long long>(stats.clients), static_cast<long long>(stats.households),
      static_cast<long long>(stats.total_records()), generation,
      static_cast<double>(stats.total_records()) / generation, PeakKilobytes());

  vz::datatool::Installation installation;
  if (!vz::bench::LocateBenchInstallation("engine_bench", generated, &installation)) return 1;
  auto session = vz::datatool::EngineSession::Open(installation, &error);
  if (!session) {
    std::cerr << "engine_bench: " << error << "\n";
    return 1;
  }
  bool ok = true;
  double best = 0;
  for (int pass = 1; pass <= passes; ++pass) {
    const PassResult r = Pass(*session);
    const double rate = static_cast<double>(r.operations) / r.seconds;
    best = std::max(best, rate);
    std::printf(
        "engine_bench: pass %d: %lld clients, %lld income records, %lld operations in %.2f s "
        "(processor %.2f s): %.0f operations/s (%.0f per processor second), %.0f clients/s, "
        "peak memory %ld kB\n",
        pass, static_cast<long long>(r.clients), static_cast<long long>(r.income_records),
        static_cast<long long>(r.operations), r.seconds, r.cpu_seconds, rate,
        static_cast<double>(r.operations) / r.cpu_seconds,
        static_cast<double>(r.clients) / r.seconds, PeakKilobytes());
    if (r.clients != stats.clients) {
      std::fprintf(stderr, "engine_bench: the pass met %lld clients, %lld were generated\n",
                   static_cast<long long>(r.clients), static_cast<long long>(stats.clients));
      ok = false;
    }
  }
  std::printf("engine_bench: best %.0f operations/s (target %.0f): %s\n", best,
              kTargetOperationsPerSecond, best >= kTargetOperationsPerSecond ? "met" : "MISSED");
  session.reset();
  vz::bench::KeepOrRemove("engine_bench", generated, options.keep, root);
  return ok ? 0 : 1;
}
