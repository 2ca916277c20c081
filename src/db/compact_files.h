// Which data files, once compact, keep a copy of each record in their first
// key's index (platform/engine/sqlite_key_index.h), so that a pass in that
// key's order reads one tree instead of the index and then the table.
//
// Every file but SELECTES: the selection, the extraction and the letters
// read the client and rubric files in key order, and nothing writes them
// during a run. SELECTES is the other way round: every extraction empties it
// and adds one record per client in client order, and its first key is the
// postcode, so each copy would be written at a random place of a large index
// (measured: the extraction took 40 % longer).
#ifndef VZ_SRC_DB_COMPACT_FILES_H_
#define VZ_SRC_DB_COMPACT_FILES_H_

#include <string_view>

namespace vz::db {

// `file`: the file's name in the analysis (upper case), e.g. "REVENUS".
bool CarriesRecordsInFirstKeyIndex(std::string_view file);

}  // namespace vz::db

#endif  // VZ_SRC_DB_COMPACT_FILES_H_
