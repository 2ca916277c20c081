// The key columns and key indexes of a SQLite data file's records table, as
// every program that builds them makes them: the engine (a new file, a
// rebuild of the keys), the migration between the plain and the compact
// form, and the file check.
//
//   k<i> BLOB NOT NULL DEFAULT x'': one column per key of the analysis;
//   index records_k<i> on (k<i>, recno), one per key.
//
// A file may have its first key's index carry every other column a read
// selects: (k1, recno, data, k2, ..., kN). A read in the first key's order
// then walks that one tree and never looks the record up in the table. Each
// record is stored twice, and every add writes the copy at its key's place:
// it pays for compact files (small records) that are read far more than
// written. The migration to the compact form decides which files carry their
// records (ChangeRecordForm); the engine keeps a file's choice when it
// rebuilds the keys. The table itself is the same either way: reads by
// record number, writes and the file check see no difference, and SQLite
// keeps the copy up to date on every write.
#ifndef VZ_PLATFORM_ENGINE_SQLITE_KEY_INDEX_H_
#define VZ_PLATFORM_ENGINE_SQLITE_KEY_INDEX_H_

#include <sqlite3.h>

#include <cstddef>
#include <string>

namespace vz::engine {

// The column of the i-th key (from 0): k1, k2, ...
std::string SqliteKeyColumn(std::size_t i);

// The index of the i-th key: records_k1, records_k2, ...
std::string SqliteKeyIndexName(std::size_t i);

// The statement that makes the i-th key's index of a file with `key_count`
// keys, in `schema` (empty: the main database); the first key's carries the
// records when `carry_records`. `if_missing`: CREATE INDEX IF NOT EXISTS.
std::string SqliteKeyIndexSql(std::size_t i, std::size_t key_count, bool carry_records,
                              const std::string& schema = "", bool if_missing = false);

// True when the first key's index of the records table in `schema` carries
// the records (holds the data column). False when it does not, is missing,
// or the question fails.
bool SqliteFirstKeyIndexCarriesRecords(sqlite3* db, const std::string& schema = "main");

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_SQLITE_KEY_INDEX_H_
