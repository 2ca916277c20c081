// The selection run (selection_run.h).
#include "src/selection/selection_run.h"

#include <memory>
#include <string>

#include "platform/os/cp1252.h"
#include "src/config/program_settings.h"
#include "src/db/file_error_report.h"
#include "src/db/file_id.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/requetes.h"
#include "src/db/query_code.h"
#include "src/db/record_ops.h"
#include "src/db/record_session.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"
#include "src/selection/address_loader.h"
#include "src/selection/client_pass.h"
#include "src/selection/criteria_loading.h"
#include "src/selection/expansion.h"
#include "src/selection/identity_test.h"
#include "src/selection/merge.h"
#include "src/selection/merge_io.h"
#include "src/selection/rubric_tests.h"
#include "src/selection/selection_run_progress.h"
#include "src/util/number_text.h"

namespace vz::selection {
namespace {

constexpr std::string_view kClientFile = "CLIENT";
constexpr std::string_view kClientKey = "CODCLI";
// The retirement rubric: its loader reads CLIENT and moves the position.
constexpr size_t kRetirementFlag = 10;
static_assert(kRubricPrefixes[kRetirementFlag] == "20");
constexpr std::string_view kPostcodeKey = "CODPOST*****";
constexpr std::string_view kCityKey = "VILLE*******";

bool IsSkippedName(std::string_view name) {
  return !name.empty() && (name.front() == '(' || name.front() == '*');
}

// While the current client is one the selection skips, moves to the next
// one, taking a progress step for each record reached.
void SkipMarkedClients() {
  while (!db::Hendehors() && IsSkippedName(db::CurrentClient().Name())) {
    db::Hlitsuivant(kClientFile, kClientKey);
    if (!db::Hendehors()) ProgressStep();
  }
}

// Puts the client file back on the record after the one numbered `record`
// with code `code`. When that record has vanished meanwhile, the position is
// the first record after the code's records, which is the next to evaluate;
// at the end of the file the run simply ends.
void RestorePosition(const std::string& code, int32_t record) {
  db::Hlitrecherche(kClientFile, kClientKey, code);
  while (!db::Hendehors() && db::CurrentClient().Codcli().substr(0, kClientCodeWidth) == code) {
    db::Hinfogene(kClientFile);
    if (db::Hnumenr() == record) {
      db::Hlitsuivant(kClientFile, kClientKey);
      return;
    }
    db::Hlitsuivant(kClientFile, kClientKey);
  }
}

// True when an identity criterion reads the address block (postcode, city).
bool NeedsAddress(const QueryCriteria& criteria) {
  for (const CriteriaEntry& entry : criteria.entries) {
    if (entry.key == kPostcodeKey || entry.key == kCityKey) return true;
  }
  return false;
}

bool ClientPasses(const std::string& code, const QueryCriteria& criteria, bool needs_address,
                  WorkTables& tables) {
  // Only the postcode and city criteria read the address block: without them
  // the household's address is not read at all.
  if (needs_address) LoadAddress(code, tables.address);
  if (!PassesIdentityTest(criteria.view(), db::CurrentClient(), tables.address)) return false;
  for (size_t i = 0; i < kRubricPrefixes.size(); ++i) {
    if (criteria.rubric_flags[i] &&
        !PassesRubricTest(kRubricPrefixes[i], criteria.view(), code, tables)) {
      return false;
    }
  }
  return true;
}

bool MetFileError() {
  return db::ProgramSession().HasFileError();
}

}  // namespace

// One pass over the client file for one elementary query. A fault of a data
// file ends the pass at once: what was selected so far is not the answer.
void EvaluateClients(const QueryCriteria& criteria, WorkTables& tables, PassedClients& passed) {
  const bool client_file_moves = criteria.rubric_flags[kRetirementFlag];
  const bool needs_address = NeedsAddress(criteria);
  std::string code;
  code.reserve(kClientCodeWidth);
  // The persons of a household follow each other: the next one adds up the
  // household's rubric records that the previous one read.
  tables.household_records.SetEnabled(true);
  db::Hlitpremier(kClientFile, kClientKey);
  SkipMarkedClients();
  while (!db::Hendehors() && !MetFileError()) {
    // The code and record number are taken before anything else runs, so
    // that the position can always be restored from them.
    code.assign(db::CurrentClient().Codcli().substr(0, kClientCodeWidth));
    int32_t record = 0;
    if (client_file_moves) {
      db::Hinfogene(kClientFile);
      record = db::Hnumenr();
    }
    ProgressStep();
    if (ClientPasses(code, criteria, needs_address, tables)) passed.Take(code);
    if (client_file_moves) {
      RestorePosition(code, record);
    } else {
      // Nothing but the retirement loader reads CLIENT: the position is
      // still on this client and a read next is enough (the file named by
      // its identifier: no look-up of its name per client).
      db::ProgramSession().Hlitsuivant(db::FileId::CLIENT, kClientKey);
    }
    SkipMarkedClients();
  }
  tables.household_records.SetEnabled(false);
  FinishProgress();
}

namespace {

// The clients that pass go to the query's selection file.
class SelectionFileClients : public PassedClients {
 public:
  explicit SelectionFileClients(SelectionFileWriter& output) : output_(output) {}
  void Take(std::string_view client_code) override { output_.Write(client_code); }

 private:
  SelectionFileWriter& output_;
};

void MarkSelectionDone(std::string_view query_code) {
  if (!ReadTitleRecord(query_code)) return;
  db::QueryLineRecord title = db::CurrentQueryLine();
  title.SetState("O");
  title.SetMarker("E");
  db::Hmodifie("requetes");
}

// Ends a run that failed: the progress window closes, the adviser is told
// and the failure logged; the query is not marked as selected.
bool StopRun(const std::string& message) {
  screen::SendCommand("Ferme");
  screen::SendCommand("Erreur," + message);
  config::LogRunFailure(message);
  db::Hferme(kClientFile);
  return false;
}

// A selection file that cannot be written ends the run.
bool StopOnUnwrittenFile(std::string_view query_code) {
  return StopRun(os::Cp1252("Le fichier de sélection ") + std::string(query_code) +
                 std::string(kSelectionExtension) +
                 os::Cp1252(" n'a pas pu être écrit dans le répertoire des données : la "
                            "sélection est arrêtée."));
}

// A data file that is damaged, full, locked, read-only or unusable ends the
// run; the selection file of the pass that met it is not written.
bool StopOnFileError() {
  return StopRun(db::FileErrorMessage(
      db::ProgramSession().LastFileError(),
      os::Cp1252("la sélection est arrêtée et son fichier n'est pas remplacé")));
}

}  // namespace

bool RunSelection(std::string_view query_code) {
  const std::string code(query_code.substr(0, kQueryCodeWidth));
  if (!db::IsUsableQueryCode(code)) {
    screen::SendCommand("Erreur," + db::QueryCodeRefusal(code, "la sélection n'est pas lancée"));
    db::Hferme(kClientFile);
    return false;
  }
  db::ProgramSession().ClearFileError();
  auto tables = std::make_unique<WorkTables>();
  auto criteria = std::make_unique<QueryCriteria>();
  auto list = std::make_unique<TokenList>();
  if (ExpandQuery(code, *list) != ExpansionResult::kExpanded) {
    db::Hferme(kClientFile);
    if (MetFileError()) return StopOnFileError();
    return false;
  }
  if (MetFileError()) return StopOnFileError();  // the queries could not be read
  for (int i = 1; i <= list->count; ++i) {
    const std::string& token = list->Token(i);
    if (IsStructureToken(token)) continue;
    LoadCriteria(token, *criteria);
    SelectionFileWriter output(SelectionFilePath(token));
    OpenSelectionProgress();
    if (!output.ok()) return StopOnUnwrittenFile(token);
    SelectionFileClients passed(output);
    EvaluateClients(*criteria, *tables, passed);
    if (MetFileError()) return StopOnFileError();
    if (!output.Commit()) return StopOnUnwrittenFile(token);
  }
  std::string unwritten;
  if (MergeGroups(*list, &unwritten) == kUnwrittenGroup) return StopOnUnwrittenFile(unwritten);
  MarkSelectionDone(code);
  if (MetFileError()) return StopOnFileError();
  screen::SendCommand("Ferme");
  db::Hferme(kClientFile);
  return true;
}

}  // namespace vz::selection
