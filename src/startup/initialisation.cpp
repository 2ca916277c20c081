#include "src/startup/initialisation.h"

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/context.h"
#include "src/db/file_error_report.h"
#include "src/db/record_ops.h"
#include "src/db/record_session.h"
#include "src/db/record_store.h"
#include "src/screen/bridge.h"
#include "src/startup/data_directory_hold.h"
#include "src/startup/output_leftovers.h"
#include "src/util/blanks.h"
#include "src/util/number_text.h"

namespace vz::startup {
namespace {

namespace fs = std::filesystem;

// The shared window library must lie in the current directory or its parent.
bool LoadWindowLibrary() {
  screen::SendCommand("BIBLI,disque,ORVANE.wdl");
  if (screen::IntegerReturnValue() == 0) return true;
  screen::SendCommand(
      os::Cp1252("Erreur,La bibliothèque ORVANE.WDL doit être présente dans le répertoire père."));
  db::HftermineCTX();
  screen::TerminateModule();
  return false;
}

// Why the parameter file cannot be read at all, or "" when it can be read or
// is simply missing. A pipe, a folder or a device in its place is never
// opened for reading (it could hold the start for ever).
std::string ParameterFileProblem(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(os::ToNativePath(path), error);
  if (status.type() == fs::file_type::not_found) return "";
  if (error) return "est inaccessible";
  if (status.type() != fs::file_type::regular) {
    return "n'est pas un fichier ordinaire (dossier, tube ou périphérique)";
  }
  if (::access(os::ToNativePath(path).c_str(), R_OK) != 0) return "ne peut pas être lu";
  return "";
}

// The data directory is field 1 of "REPERTOIREF", read with the list separator
// "," of the loading program, its blanks trimmed. A parameter whose first field
// is empty (",B") gives no data directory either, and the user is told so
// rather than having the data files looked for in the program's directory.
void ReadDataDirectory() {
  config::SetParameterFilePath(config::kParameterFilePath);
  config::table_param& table = config::SharedParameterTable();
  config::ReadParameter(config::ParameterFilePath(), "REPERTOIREF", table,
                        config::kComponentsSection);
  std::string directory;
  if (util::TextToInt(table[0]) != 0) directory = util::TrimBlanks(table[1], util::kTrimAll);
  config::SetDataDirectory(directory);
  if (!directory.empty()) return;
  const std::string problem = ParameterFileProblem(config::ParameterFilePath());
  if (!problem.empty()) {
    screen::SendCommand(os::Cp1252("Erreur,Le fichier de paramètres " +
                                   config::ParameterFilePath() + " " + problem +
                                   " : le chemin de la base de données est inconnu. Veuillez "
                                   "contacter le service technique."));
    return;
  }
  screen::SendCommand(
      os::Cp1252("info, Erreur d'ouverture sur le chemin de la base de données. Veuillez "
                 "contacter le service technique."));
}

// The files every screen and run reads first: a damaged, unusable or locked
// one is named now rather than read as empty later. The program goes on (the
// tools menu can restore the file); the runs refuse it with their own message.
void CheckDataFiles() {
  db::RecordSession& session = db::ProgramSession();
  session.ClearFileError();
  for (std::string_view file : {"CLIENT", "REQUETES"}) {
    db::Hinfogene(file);
    db::Hnbenr();
  }
  if (!session.HasFileError()) return;
  const std::string message = db::FileErrorMessage(
      session.LastFileError(),
      os::Cp1252("vérifiez-le ou restaurez-le (menu Outils) avant de lancer une sélection"));
  screen::SendCommand("Erreur," + message);
  config::LogRunFailure(message);
  session.ClearFileError();
}

// The whole value of a parameter: its fields joined again with the list
// separator "," they were read with (a connection string may hold commas).
std::string WholeParameter(std::string_view key) {
  config::table_param& table = config::SharedParameterTable();
  config::ReadParameter(config::ParameterFilePath(), key, table, config::kComponentsSection);
  std::string value;
  const int count = config::FieldCount(table);
  for (int i = 1; i <= count; ++i) {
    if (i > 1) value += ',';
    value += table[static_cast<std::size_t>(i)];
  }
  return value;
}

// The store of the records ("BASEDONNEES", "CONNEXIONBASE"): a store that
// cannot be used stops the start, as a missing window library does.
bool ChooseRecordStore() {
  const std::string store = WholeParameter(db::kStoreKey);
  const std::string message = db::UseRecordStore(store, WholeParameter(db::kConnectionKey));
  if (message.empty()) return true;
  screen::SendCommand(message);
  db::HftermineCTX();
  screen::TerminateModule();
  return false;
}

}  // namespace

StartResult InitialiseProgram() {
  config::ClearTable(config::SharedParameterTable());
  if (!LoadWindowLibrary()) return StartResult::kStopped;
  screen::SendCommand("PROJET,ORVANE.WDP");
  db::OpenDatabaseContext();
  db::MapPlaceholderDirectory();
  ReadDataDirectory();
  if (!ChooseRecordStore()) return StartResult::kStopped;
  db::ApplyEngineSettings(config::DataDirectory(),
                          static_cast<int16_t>(config::DatabaseSecurityLevel()));
  RemoveOutputLeftovers(config::DataDirectory());
  HoldDataDirectoryAndWarn();
  CheckDataFiles();
  config::SetParameterFilePath(config::kParameterFilePath);
  config::SetListSeparator('\t');
  return StartResult::kReady;
}

void ShutDownProgram() {
  screen::SendCommand("Projet,");
  db::Hferme("");
  screen::TerminateModule();
}

}  // namespace vz::startup
