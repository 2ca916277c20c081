// The demo data: reference files (RUBRIQUE, PROFES, ANNEXE), households of
// one or two clients with their addresses and estate figures, records in the
// fourteen rubric files, and optionally a few saved queries. Everything is
// drawn from one seed with our own random numbers: the same options give the
// same records, byte for byte. docs/demo-installation.md describes the data.
//
// The generator streams: one household at a time, records handed to the sink
// as they are made, so memory does not grow with the number of clients.
// It fails (false, `error` set) when the options are out of range or the
// sink refuses a record; records already handed over stay with the sink.
#ifndef VZ_TOOLS_DATATOOL_DEMO_GENERATOR_H_
#define VZ_TOOLS_DATATOOL_DEMO_GENERATOR_H_

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "tools/datatool/record_writer.h"

namespace vz::datatool {

inline constexpr int64_t kMaxDemoClients = 1'500'000;
inline constexpr const char* kClientPrefix = "10";  // the adviser's office

struct GenerateOptions {
  int64_t clients = 0;  // 1 .. kMaxDemoClients
  uint64_t seed = 0;
  bool queries = false;
};

struct GenerateStats {
  int64_t households = 0;
  int64_t clients = 0;
  int64_t queries = 0;                 // saved queries written
  std::array<int64_t, 103> records{};  // per vz::db::FileId value
  int64_t total_records() const;
};

// Called every `progress_every` clients and at the end with the clients done.
using ProgressFn = std::function<void(int64_t clients_done)>;

bool GenerateDemoData(RecordSink& sink, const GenerateOptions& options, GenerateStats* stats,
                      const ProgressFn& progress, std::string* error);

// The last query number that GenerateDemoData writes with queries on.
int LastDemoQueryNumber();

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_DEMO_GENERATOR_H_
