// The rubric extraction run (extraction_run.h).
#include "src/outputs/extraction_run.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "platform/os/cp1252.h"
#include "src/config/program_settings.h"
#include "src/db/file_error_report.h"
#include "src/db/file_id.h"
#include "src/db/layouts/adresses.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/selectes.h"
#include "src/db/query_code.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/db/record_session.h"
#include "src/outputs/identity_columns.h"
#include "src/outputs/merge_file.h"
#include "src/outputs/rubric_columns.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"
#include "src/selection/address_loader.h"
#include "src/selection/merge_io.h"
#include "src/selection/selection_run_progress.h"
#include "src/util/number_text.h"

namespace vz::outputs {
namespace {

constexpr std::string_view kSelectedFile = "SELECTES";
constexpr std::string_view kClientFile = "CLIENT";
constexpr std::string_view kClientKey = "CODCLI";
// Each line of a selection file is 9 characters and CR LF.
constexpr std::uintmax_t kSelectionLineBytes = 11;
constexpr size_t kIdentityFamily = 0;
static_assert(kExtractionFamilies[kIdentityFamily] == "00");

// The number of clients the progress bar expects.
std::string EstimatedClients(const std::string& selection_path) {
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(selection_path, error);
  const double clients = error ? 0.0 : static_cast<double>(bytes / kSelectionLineBytes);
  return util::NumberToText(clients, 1, 0);
}

void OpenExtractionProgress(const std::string& selection_path) {
  screen::SendCommand("Ouvre,EX_attente");
  screen::SetFieldValue("INTITULE", os::Cp1252("Extraction des rubriques."));
  screen::SetFieldValue("NBTOTAL", EstimatedClients(selection_path));
  selection::ResetProgress();
}

void ClearBuffer(db::FileId file) {
  std::memset(db::RecordBuffer(file), 0, db::RecordBufferSize(file));
}

// Reads the client of `code` into the CLIENT buffer; a search that lands on
// another client leaves the buffer empty, as for a client not found.
void ReadClient(std::string_view code) {
  db::Hlitrecherche(kClientFile, kClientKey, code);
  if (db::Hendehors() || db::CurrentClient().Codcli().substr(0, code.size()) != code ||
      code.empty()) {
    ClearBuffer(db::FileId::CLIENT);
  }
}

// True when the address just loaded for a client of `household` came from
// the household's ADRESSES record "001" (the last search the loader made),
// not from the client's own CLIENT record.
bool AddressFromFile(std::string_view household) {
  const db::AddressRecord record(db::RecordBuffer(db::FileId::ADRESSES));
  const std::string_view key = record.Codadr();
  return !db::Hendehors() && household.size() == kHouseholdCodeWidth && key.size() >= 11 &&
         key.substr(0, kHouseholdCodeWidth) == household && key.substr(8, 3) == "001";
}

// Everything one client needs that lives for the whole run.
struct RunState {
  ColumnTables columns;
  // The selection is in client-code order: the persons of a household follow
  // each other and share the household-wide loads.
  HouseholdColumnMemo household_columns;
  selection::FixedText<db::SelectedRecord::kNameWidth> name;
  std::string code;
  int16_t sequence = 1;
  // The household whose ADRESSES record gave the address block last: its
  // next person shares the block (a household without one takes each
  // person's own CLIENT address).
  selection::FixedText<kHouseholdCodeWidth> address_household;
  bool address_from_file = false;
};

void LoadClientAddress(RunState& state, selection::AddressBlock& address) {
  const std::string_view code = state.code;
  const std::string_view household =
      code.size() >= kHouseholdCodeWidth ? code.substr(0, kHouseholdCodeWidth) : "";
  if (state.address_from_file && !household.empty() &&
      household == state.address_household.view()) {
    return;
  }
  selection::LoadAddress(code, address);
  state.address_from_file = AddressFromFile(household);
  state.address_household.assign(household);
}

void ExtractClient(const ExtractionRubricList& list, selection::WorkTables& tables, RunState& state,
                   MergeFileWriter& merge) {
  state.columns.Clear();
  ClearBuffer(db::FileId::SELECTES);
  ReadClient(state.code);
  selection::ProgressStep();
  // The retirement loader reads CLIENT: keep what SELECTES needs first.
  state.name.assign(db::CurrentClient().Name());
  LoadClientAddress(state, tables.address);
  for (size_t i = 0; i < kExtractionFamilies.size(); ++i) {
    if (!list.flags[i]) continue;
    if (i == kIdentityFamily) {
      ProduceIdentityColumns(list, db::CurrentClient(), tables.address, state.columns);
    } else {
      ProduceRubricColumns(kExtractionFamilies[i], list, state.code, tables, state.columns,
                           &state.household_columns);
    }
  }
  ++state.sequence;
  db::SelectedRecord record = db::CurrentSelected();
  record.SetClientCode(state.code);
  record.SetName(state.name.view());
  record.SetPostcode(tables.address.postcode.view());
  record.SetCity(tables.address.city.view());
  record.SetSequence(state.sequence);
  record.SetMarker("E");
  record.SetLastField(0);
  db::Hajoute(kSelectedFile);
  merge.WriteClient(state.columns);
}

}  // namespace

void RunExtraction(std::string_view query_code, const ExtractionRubricList& list,
                   selection::WorkTables& tables) {
  // A code that cannot name this query's files, or that the engine refuses as
  // SELECTES's physical name, would write into another query's SELECTES.
  const std::string selection_path = selection::SelectionFilePath(query_code);
  if (selection_path.empty() || !db::Hsubstnom(kSelectedFile, query_code)) {
    screen::SendCommand("Erreur," +
                        db::QueryCodeRefusal(query_code, "l'extraction n'est pas faite"));
    return;
  }
  db::RecordSession& session = db::ProgramSession();
  session.ClearFileError();
  auto state = std::make_unique<RunState>();
  state->code.reserve(selection::kClientCodeWidth);

  MergeFileWriter merge(MergeFilePath(query_code));
  OpenExtractionProgress(selection_path);
  selection::SelectionFileReader reader(selection_path);
  // The rubric files do not change while the run reads them.
  tables.key_gaps.SetEnabled(true);
  bool selected_written = false;
  {
    // SELECTES is emptied and filled in one transaction: readers see the
    // previous records until it commits, and a run that is killed or meets a
    // fault leaves them whole.
    db::RecordBatch batch(session);
    db::Hcreation(kSelectedFile);
    while (!session.HasFileError() && reader.Next(state->code)) {
      ExtractClient(list, tables, *state, merge);
    }
    selection::FinishProgress();
    if (session.HasFileError()) {
      batch.Cancel();
    } else {
      selected_written = batch.End();
    }
  }
  tables.key_gaps.SetEnabled(false);
  // The merge file is put in place only beside a complete SELECTES.
  const bool merge_written = selected_written && merge.Commit();

  db::Hferme(kSelectedFile);
  db::Hferme(kClientFile);
  screen::SendCommand("Ferme");
  std::string message;
  if (session.HasFileError()) {
    message = db::FileErrorMessage(
        session.LastFileError(),
        os::Cp1252("l'extraction est arrêtée ; le fichier de fusion ") + std::string(query_code) +
            std::string(kMergeExtension) +
            os::Cp1252(" et le fichier SELECTES gardent leur contenu précédent"));
  } else if (!selected_written) {
    message = os::Cp1252("Le fichier SELECTES de la requête ") + std::string(query_code) +
              os::Cp1252(" n'a pas pu être écrit : l'extraction est arrêtée.");
  } else if (!merge_written) {
    message = os::Cp1252("Le fichier de fusion ") + std::string(query_code) +
              std::string(kMergeExtension) +
              os::Cp1252(" n'a pas pu être écrit dans le répertoire des données.");
  }
  if (!message.empty()) {
    screen::SendCommand("Erreur," + message);
    config::LogRunFailure(message);
  }
}

}  // namespace vz::outputs
