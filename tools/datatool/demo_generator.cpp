#include "tools/datatool/demo_generator.h"

#include <numeric>
#include <stdexcept>

#include "tools/datatool/demo_parts.h"

namespace vz::datatool {

namespace {
constexpr int64_t kMaxHouseholds = 999'999;  // six-digit file numbers
constexpr int64_t kCheckpointHouseholds = 2'000;
constexpr int64_t kProgressClients = 10'000;
constexpr int kCouplePercent = 60;
}  // namespace

int64_t GenerateStats::total_records() const {
  return std::accumulate(records.begin(), records.end(), int64_t{0});
}

bool GenerateDemoData(RecordSink& sink, const GenerateOptions& options, GenerateStats* stats,
                      const ProgressFn& progress, std::string* error) {
  if (options.clients < 1 || options.clients > kMaxDemoClients) {
    *error = "the number of clients must be from 1 to " + std::to_string(kMaxDemoClients);
    return false;
  }
  std::string shape_error;
  if (CatalogueShapes(&shape_error).empty()) {
    *error = "the file catalogue cannot be used: " + shape_error;
    return false;
  }
  *stats = GenerateStats{};
  DemoOutput out(sink, *stats);
  Random rng(options.seed);
  Household household;
  try {
    WriteReferenceFiles(out);
    if (options.queries) stats->queries = WriteQueries(out);
    int64_t next_report = kProgressClients;
    while (stats->clients < options.clients && !out.failed()) {
      if (stats->households == kMaxHouseholds) {
        *error = "more than 999999 households: fewer clients please";
        return false;
      }
      const int64_t left = options.clients - stats->clients;
      const int size = left >= 2 && rng.Chance(kCouplePercent) ? 2 : 1;
      DrawHousehold(++stats->households, size, rng, household);
      WriteIdentity(household, rng, out);
      WriteFinances(household, rng, out);
      stats->clients += size;
      if (stats->households % kCheckpointHouseholds == 0 && !sink.Checkpoint()) {
        *error = "the records of households up to " + std::to_string(stats->households) +
                 " could not be committed";
        return false;
      }
      if (progress && stats->clients >= next_report) {
        progress(stats->clients);
        next_report += kProgressClients;
      }
    }
  } catch (const std::exception& e) {  // a fault of the generator itself
    *error = std::string("demo generator fault: ") + e.what();
    return false;
  }
  if (out.failed()) {
    *error = "a record could not be written";
    return false;
  }
  if (progress) progress(stats->clients);
  return true;
}

}  // namespace vz::datatool
