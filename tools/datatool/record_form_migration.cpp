#include "tools/datatool/record_form_migration.h"

#include <optional>
#include <vector>

#include "platform/engine/analysis.h"
#include "platform/engine/store_copy.h"
#include "platform/os/cp1252.h"
#include "platform/os/file_lock.h"
#include "src/db/compact_files.h"
#include "src/db/data_directory_use.h"
#include "src/util/run_log.h"

namespace vz::datatool {
namespace {

// "52 431 872" (blanks between thousands, as French writes numbers).
std::string Grouped(int64_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0 && digits[at - 1] != '-'; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), " ");
  }
  return digits;
}

// The line of one file migrated or left as it was.
std::string Done(const std::string& name, engine::RecordForm form,
                 const engine::RecordFormChange& change) {
  const bool compact = form == engine::RecordForm::kCompact;
  if (change.index_rebuilt) {
    return name + " : déjà compact ; index de la première clé refait (" +
           Grouped(change.bytes_before) + " -> " + Grouped(change.bytes_after) + " octets)";
  }
  if (!change.changed) {
    return name + " : " + (compact ? "déjà compact ou vide" : "déjà décompacté ou vide");
  }
  return name + " : " + Grouped(change.records) + " enregistrements " +
         (compact ? "compactés" : "décompactés") + ", " + Grouped(change.bytes_before) + " -> " +
         Grouped(change.bytes_after) + " octets";
}

void Log(const Installation& installation, const std::string& message) {
  util::AppendRunLog(installation.data_directory, os::Cp1252(message));
}

}  // namespace

bool MigrateRecordForm(const Installation& installation, engine::RecordForm form, std::ostream& out,
                       std::ostream& errors, std::string* error) {
  const bool compact = form == engine::RecordForm::kCompact;
  const std::string action = compact ? "Compactage" : "Décompactage";
  engine::AnalysisError analysis_error;
  std::optional<engine::Analysis> analysis =
      engine::LoadAnalysis(installation.analysis_file, &analysis_error);
  if (!analysis) {
    *error = action + " impossible : l'analyse " + installation.analysis_file +
             " ne peut pas être lue (" + analysis_error.message + ").";
    Log(installation, *error);
    return false;
  }
  const os::FileLock in_use =
      db::LockDataDirectory(installation.data_directory, os::FileLock::Mode::kExclusive);
  if (!in_use.held()) {
    *error = in_use.state() == os::FileLock::State::kBusy
                 ? action + " refusé : un programme de la suite travaille sur " +
                       installation.data_directory + " ; fermez-le puis relancez la commande."
                 : action + " impossible : le verrou du répertoire " + installation.data_directory +
                       " ne peut pas être pris.";
    Log(installation, *error);
    return false;
  }
  std::vector<std::string> left_out;
  const std::vector<engine::StoredFile> files =
      engine::SqliteFilesIn(installation.data_directory, *analysis, &left_out);
  int failures = 0;
  for (const engine::StoredFile& file : files) {
    const std::string name = file.physical_name + ".vzdb";
    const std::string path = installation.data_directory + "/" + name;
    engine::RecordFormChange change;
    std::string why;
    if (engine::ChangeRecordForm(path, form, &change, &why,
                                 db::CarriesRecordsInFirstKeyIndex(file.entry->name))) {
      out << Done(name, form, change) << "\n";
    } else {
      ++failures;
      const std::string message = name + " : " + (compact ? "non compacté" : "non décompacté") +
                                  " (" + why + ") ; le fichier est resté tel qu'il était.";
      errors << message << "\n";
      Log(installation, message);
    }
  }
  for (const std::string& name : left_out) {
    out << name << " : laissé de côté (aucun fichier de l'analyse)\n";
  }
  if (failures == 0) return true;
  *error =
      action + " inachevé : " + std::to_string(failures) +
      (failures == 1 ? " fichier n'a pas pu être traité" : " fichiers n'ont pas pu être traités") +
      " (voir " + util::RunLogPath(installation.data_directory) + ").";
  Log(installation, *error);
  return false;
}

}  // namespace vz::datatool
