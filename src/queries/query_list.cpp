#include "src/queries/query_list.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/file_error_report.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_ops.h"
#include "src/db/record_session.h"
#include "src/queries/definition_screen.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"
#include "src/screen/navigation.h"
#include "src/util/number_text.h"

namespace vz::queries {
namespace {

constexpr std::string_view kQueryFile = "requetes";
constexpr std::string_view kCodreq = "codreq";
constexpr std::string_view kCodreq1 = "codreq1";

// A title record as the list walks them.
struct ListedQuery {
  std::string saved_on;
  std::string title;
  std::string code;
  std::string state;
};

bool IsLeavingCode(std::string_view code) {
  return code == "T02" || code == "T03" || code == "T04" || code == "ESC";
}

// The code of the highlighted row, cut to a query code's width.
std::string HighlightedCode() {
  screen::SendCommand("Table,Recupere,CODE");
  return screen::ReturnedText().substr(0, kQueryCodeWidth);
}

// After a completed run: how many clients its selection file holds.
void TellSelectionEnd(const QueryListActions& actions, std::string_view code) {
  if (!actions.last_selection) return;
  const std::optional<LastSelection> last = actions.last_selection(code);
  if (!last) return;
  const int64_t clients = actions.client_count ? actions.client_count() : last->clients;
  screen::SendCommand("info," + SelectionEndMessage(last->clients, clients));
}

void RunQuery(const QueryListActions& actions, std::string_view code) {
  if (!IsWholeQueryCode(code) || !actions.run_selection) return;
  if (!actions.run_selection(code)) return;
  TellSelectionEnd(actions, code);
  if (actions.run_extraction) actions.run_extraction(code);
}

// Acts on one return code of LSTSEL while the window is open.
void Dispatch(const QueryListActions& actions, std::string_view code, std::string& current) {
  if (code == "AJO" || code == "COM") {
    current.clear();
    ManageQuery(code, current, actions.count_query);
  } else if (code == "MOD" || code == "SUP") {
    current = HighlightedCode();
    ManageQuery(code, current, actions.count_query);
  } else if (code == "LAN") {
    current = HighlightedCode();
    RunQuery(actions, current);
  } else if (code == "RES") {
    current = HighlightedCode();
    if (IsWholeQueryCode(current) && actions.show_results) actions.show_results(current);
  }
}

}  // namespace

void FillQueryList(std::string_view current_code, const QueryListActions& actions) {
  const std::string title_key = std::string(kQueryPrefix) + std::string(kTitleKey);
  db::QueryLineRecord record = db::CurrentQueryLine();
  config::table_param elements;
  db::RecordSession& session = db::ProgramSession();
  session.ClearFileError();
  std::vector<ListedQuery> rows;
  db::Hlitrecherche(kQueryFile, kCodreq1, title_key);
  while (!db::Hendehors() && record.Prefix() == kQueryPrefix && record.CriteriaKey() == kTitleKey) {
    config::ClearTable(elements);
    config::SplitValue(record.LineText(), elements, "");
    rows.push_back({elements[1], elements[2],
                    std::string(record.Prefix()) + std::string(record.Number()),
                    std::string(record.State())});
    db::Hlitsuivant(kQueryFile, kCodreq1);
  }
  // A damaged or unreadable query file is not an empty list.
  if (session.HasFileError()) {
    const std::string message = db::FileErrorMessage(
        session.LastFileError(), os::Cp1252("la liste des requêtes est incomplète"));
    screen::SendCommand("Erreur," + message);
    config::LogRunFailure(message);
    return;
  }
  // The facts are read once the title records are walked: reading them moves
  // the REQUETES buffer and position.
  std::string current_summary;
  for (const ListedQuery& row : rows) {
    QueryListRowFacts facts{row.saved_on, row.title, row.code, row.state, std::nullopt, {}};
    if (actions.last_selection) facts.last_selection = actions.last_selection(row.code);
    const std::string summary = actions.describe_query ? actions.describe_query(row.code) : "";
    facts.summary = summary;
    if (row.code == current_code) current_summary = summary;
    screen::SendCommand("Table,Ajoute,REQUETES," + QueryListRow(facts));
  }
  screen::SendCommand("Table,Cherche,CODE," + std::string(current_code));
  const int32_t row = screen::IntegerReturnValue();
  if (row > 0) {
    screen::SendCommand("Table,Select,+,REQUETES," + util::IntToTextBlankPadded(row, 2));
    if (!current_summary.empty()) screen::SetFieldValue("L_RESUME", current_summary);
  }
  screen::SendCommand("Table,Occurrence,REQUETES");
  if (screen::IntegerReturnValue() == 0) {
    screen::SendCommand("Ecran,Selection,-,TIROIR2");
    screen::SendCommand("Ecran,Selection,-,POUBELLE");
  }
}

void LoadQuery(std::string_view query_code, QueryWorkingSet& lines) {
  if (!IsWholeQueryCode(query_code)) return;
  db::QueryLineRecord record = db::CurrentQueryLine();
  config::table_param elements;
  db::Hlitrecherche(kQueryFile, kCodreq, query_code);
  while (!db::Hendehors() && record.Codreq().substr(0, kQueryCodeWidth) == query_code) {
    const std::string_view key = record.CriteriaKey();
    if (!record.IsRubricLine()) {
      lines.AppendLine(key, record.LineText());  // lines past the 64th are left out
      if (key == kTitleKey) {
        config::ClearTable(elements);
        config::SplitValue(record.LineText(), elements, "");
        lines.set_type(elements[6] == kCombinedQueryType ? kCombinedQueryType : "");
      }
    }
    db::Hlitsuivant(kQueryFile, kCodreq);
  }
}

void DeleteQuery(std::string_view query_code) {
  screen::SendCommand("OUINON,Confirmez vous la suppression ?");
  if (screen::IntegerReturnValue() != 1) return;
  if (!IsWholeQueryCode(query_code)) return;
  db::QueryLineRecord record = db::CurrentQueryLine();
  db::Hlitrecherche(kQueryFile, kCodreq, query_code);
  while (!db::Hendehors() && record.Codreq().substr(0, kQueryCodeWidth) == query_code) {
    db::Hsupprime(kQueryFile);
    db::Hlitsuivant(kQueryFile, kCodreq);
  }
}

void ManageQuery(std::string_view action, std::string& query_code, const QueryCounter& counter) {
  QueryWorkingSet lines;
  lines.set_type(action == "COM" ? kCombinedQueryType : "");
  const bool deleting = action == "SUP";
  if (action == "MOD" || deleting) LoadQuery(query_code, lines);
  if (!deleting) {
    OpenDefinitionWindow(lines);
    RunDefinitionScreen(lines, query_code, counter);
  } else {
    DeleteQuery(query_code);
  }
}

void RunQueryListScreen(const QueryListActions& actions) {
  std::string current;
  for (;;) {
    screen::SendCommand("Ouvre,LSTSEL");
    FillQueryList(current, actions);
    screen::SendCommand("Ecran,Saisie");
    const std::string code = screen::ReturnCode();
    screen::SetNavigationCode(code);
    Dispatch(actions, code, current);
    screen::SendCommand("Ferme");
    if (IsLeavingCode(code)) return;
  }
}

}  // namespace vz::queries
