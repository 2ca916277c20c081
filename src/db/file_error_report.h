// Faults of data files as the program learns of them: the engine keeps, per
// context, the last fault of a data file its calls met (damaged, full,
// locked, read-only, unusable), apart from "out of file", which only says
// that a read found no record. RecordSession::LastFileError() gives it; the
// runs (selection, extraction, letters, labels), the query screens and
// start-up clear it before their work and ask after it, and stop with
// FileErrorMessage when there is one: a damaged file is never read as an
// empty one.
//
// The message is French and cp1252, names the file and its physical path,
// says what happened in the adviser's words and what the program did
// ("la sélection est arrêtée"); the engine's technical reason follows in
// brackets for the log and for support. Plain values; no state.
#ifndef VZ_SRC_DB_FILE_ERROR_REPORT_H_
#define VZ_SRC_DB_FILE_ERROR_REPORT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace vz::db {

// The kinds, numbered as the engine numbers them (LE_LastFileError).
enum class FileFaultKind : int32_t {
  kNone = 0,
  kUnusable = 1,
  kDamaged = 2,
  kFull = 3,
  kLocked = 4,
  kReadOnly = 5,
  kIoError = 6,
  kServerLost = 7,
};

struct EngineFileError {
  FileFaultKind kind = FileFaultKind::kNone;
  std::string file;    // the analysis's file name, e.g. "REVENUS"
  std::string path;    // the physical file
  std::string reason;  // the engine's words (English, for support)

  bool any() const { return kind != FileFaultKind::kNone; }
};

// "Le fichier de données REVENUS (/srv/DONNEES/REVENUS.vzdb) est endommagé :
// la sélection est arrêtée. [read failed: database disk image is malformed]"
// `consequence` is cp1252 and ends without a full stop.
std::string FileErrorMessage(const EngineFileError& error, std::string_view consequence);

}  // namespace vz::db

#endif  // VZ_SRC_DB_FILE_ERROR_REPORT_H_
