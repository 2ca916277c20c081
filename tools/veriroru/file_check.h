// Check and reindex of one data file of the record engine (docs/storage.md):
//
//  1. SQLite's integrity check;
//  2. the stored format and file name (vz_info) against the analysis; in a
//     file kept in the compact form, every record that does not expand
//     (record_codec.h) is a problem naming its record number;
//  3. the key columns: when the stored key rules differ from the analysis's,
//     every key is rebuilt as the engine itself would on first use;
//     otherwise each record's stored keys are compared with the keys the
//     engine computes from its bytes (the record description of the
//     catalogue joined with the analysis's key rules) and the differing
//     ones are rewritten;
//  4. every key index rebuilt (created when missing), and the integrity
//     check run again.
//
// Records themselves (record number and bytes) are never changed. A file
// whose damage is not limited to its indexes is not written at all: the
// problem is reported and a backup should be restored. Nothing here throws;
// every problem found is a French line of the result.
#ifndef VZ_TOOLS_VERIRORU_FILE_CHECK_H_
#define VZ_TOOLS_VERIRORU_FILE_CHECK_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"
#include "platform/engine/record_layout.h"

namespace vz::veriroru {

struct FileCheckResult {
  std::string name;                   // the file's name in the data directory
  std::string analysis_name;          // the file of the analysis it holds, "" when unknown
  int64_t records = -1;               // -1 when they could not be counted
  int64_t keys_rebuilt = 0;           // records whose key columns were rewritten
  std::vector<std::string> repairs;   // what was put right
  std::vector<std::string> problems;  // what is still wrong

  bool sound() const { return problems.empty(); }
};

// REQUIRES: `path` names a data file that no program is writing. `analysis`
// null: the keys cannot be checked (a problem says so), the rest is done.
FileCheckResult CheckAndReindexFile(const std::string& path, const vz::engine::Analysis* analysis);

// A record layout built from the catalogue's description of a file, with a
// work buffer of its own (the engine's key rules joined with it).
struct BoundFile {
  std::vector<uint8_t> buffer;
  vz::engine::RecordLayout layout;
};

// Binds `entry`; the French reason when it cannot be.
std::optional<std::string> BindLayout(const vz::engine::FileEntry& entry, BoundFile* bound);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_FILE_CHECK_H_
