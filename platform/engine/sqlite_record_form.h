// Rewriting a SQLite data file with its records in the other form: plain
// (each record's bytes) or compact (record_codec.h). Everything else of the
// file stays as it is: record numbers, the numbering's high mark, key
// columns, vz_info (its `format` row says the new form); the key indexes are
// made in the new form's shape (sqlite_key_index.h).
//
// Safety: the new file is built beside the old one under a temporary name
// (".<NAME>.vzdb.migration", which no listing of data files takes), checked
// (as many records; a compact file's records expand to the old bytes),
// written to the disk, and only then renamed over the old one: a file is
// either the old one or the new one, never half of each. An interrupted run
// leaves at most the temporary file, removed by the next run on that file.
// The old file's write-ahead log is folded in first; the rename is refused
// while another connection keeps a log open on it.
//
// REQUIRES: no program writes the file meanwhile (the caller holds the data
// directory's lock). Failures: false with an English `why`; the old file is
// then unchanged. Single-threaded.
#ifndef VZ_PLATFORM_ENGINE_SQLITE_RECORD_FORM_H_
#define VZ_PLATFORM_ENGINE_SQLITE_RECORD_FORM_H_

#include <cstdint>
#include <string>

namespace vz::engine {

enum class RecordForm { kPlain, kCompact };

struct RecordFormChange {
  bool changed = false;  // false: already in that form, or never written
  // Already compact, but its first key's index did not have the shape asked
  // for (sqlite_key_index.h): that index alone was made again, in place.
  bool index_rebuilt = false;
  int64_t records = 0;
  int64_t bytes_before = 0;  // size of the file before, and after
  int64_t bytes_after = 0;
};

// The temporary name the rewrite of `path` builds.
std::string RecordFormWorkPath(const std::string& path);

// Rewrites the data file at `path` in `form` (nothing when it already is).
// A compact file's first key's index carries the records when
// `carry_records` (sqlite_key_index.h); a file already compact gets that
// index reshaped when it differs. A plain file's never does.
bool ChangeRecordForm(const std::string& path, RecordForm form, RecordFormChange* change,
                      std::string* why, bool carry_records = true);

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_SQLITE_RECORD_FORM_H_
