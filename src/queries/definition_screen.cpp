#include "src/queries/definition_screen.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/os/cp1252.h"
#include "src/config/parameter_file.h"
#include "src/db/layouts/requetes.h"
#include "src/db/query_code.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/queries/combination_screen.h"
#include "src/queries/definition_draft.h"
#include "src/queries/identity_screen.h"
#include "src/queries/rubric_criteria_screens.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"
#include "src/util/dates.h"

namespace vz::queries {
namespace {

constexpr std::string_view kQueryFile = "requetes";
constexpr std::string_view kCodreq = "codreq";

struct CriteriaButton {
  std::string_view return_code;
  std::string_view prefix;  // "" for the identity screen
};

// The buttons of SEL01 and the criteria screen each one opens.
constexpr std::array<CriteriaButton, 14> kCriteriaButtons = {{
    {"01A", ""},
    {"01B", "40"},
    {"01C", "54"},
    {"01D", "51"},
    {"01E", "01"},
    {"01F", "02"},
    {"01G", "03"},
    {"01H", "04"},
    {"01I", "05"},
    {"01J", "06"},
    {"01K", "07"},
    {"01L", "20"},
    {"01M", "33"},
    {"01N", "SC"},
}};

// A typed title or explanation; a TAB in it would shift the elements after it
// (the combination's mark and codes among them), so it becomes a space.
std::string TitleElement(std::string_view field) {
  std::string text = screen::GetFieldValue(field, screen::kWholeValue);
  std::replace(text.begin(), text.end(), '\t', ' ');
  return text;
}

// The number of the line that receives the title: the first title line, else
// the slot after the last line, else the first removed slot; 0 when every
// slot holds a live line.
int TitleSlot(const QueryWorkingSet& lines) {
  for (int i = 1; i <= lines.LineCount(); ++i) {
    if (lines.Line(i).key == kTitleKey) return i;
  }
  if (lines.LineCount() < kMaxQueryLines) return lines.LineCount() + 1;
  for (int i = 1; i <= lines.LineCount(); ++i) {
    if (lines.Line(i).key.empty()) return i;
  }
  return 0;
}

}  // namespace

bool IsWholeQueryCode(std::string_view code) {
  if (code.size() != kQueryCodeWidth) return false;
  for (char c : code) {
    if (c == ' ' || c == '\0') return false;
  }
  return true;
}

void OpenDefinitionWindow(const QueryWorkingSet& lines) {
  screen::SendCommand(lines.type() != kCombinedQueryType ? "Ouvre,SEL01" : "Ouvre,COMBINE");
  config::table_param elements;
  for (int i = 1; i <= lines.LineCount(); ++i) {
    if (lines.Line(i).key != kTitleKey) continue;
    config::ClearTable(elements);
    config::SplitValue(lines.Line(i).text, elements, "");
    screen::SetFieldValue("TITRE", elements[2]);
    screen::SetFieldValue("EXPLIC,1", elements[3]);
    screen::SetFieldValue("EXPLIC,2", elements[4]);
    screen::SetFieldValue("EXPLIC,3", elements[5]);
    if (elements[6] == kCombinedMark) ShowCombination(elements[7], elements[8], elements[9]);
  }
}

bool CriteriaScreenFor(std::string_view return_code, std::string& prefix) {
  for (const CriteriaButton& button : kCriteriaButtons) {
    if (button.return_code == return_code) {
      prefix = std::string(button.prefix);
      return true;
    }
  }
  return false;
}

std::string BuildTitleText(const QueryWorkingSet& lines) {
  std::string text = util::TodayText(util::kDateYearMonthDay) + "\t";
  text += TitleElement("TITRE") + "\t";
  text += TitleElement("EXPLIC,1") + "\t";
  text += TitleElement("EXPLIC,2") + "\t";
  text += TitleElement("EXPLIC,3") + "\t";
  if (lines.type() != kCombinedQueryType) {
    text += "\t\t\t\t";
  } else {
    text += BuildCombinationPart();
  }
  if (text.size() > kCriteriaTextWidth) text.resize(kCriteriaTextWidth);
  return text;
}

void DeleteQueryLinesKeepingRubrics(std::string_view query_code) {
  if (!IsWholeQueryCode(query_code)) return;
  db::QueryLineRecord record = db::CurrentQueryLine();
  db::Hlitrecherche(kQueryFile, kCodreq, query_code);
  while (!db::Hendehors() && record.Codreq().substr(0, kQueryCodeWidth) == query_code) {
    if (!record.IsRubricLine()) db::Hsupprime(kQueryFile);
    db::Hlitsuivant(kQueryFile, kCodreq);
  }
}

bool SaveQuery(QueryWorkingSet& lines, std::string_view title_text, std::string& query_code) {
  const int title_slot = TitleSlot(lines);
  if (title_slot == 0) {
    screen::SendCommand(
        os::Cp1252("Erreur,La requête a trop de critères : elle n'est pas enregistrée."));
    return false;
  }
  // A new query, or a code that names no whole query (a list with no row
  // picked): the lines go under a new number, never under a partial code.
  const bool new_query = !IsWholeQueryCode(query_code);
  const std::string code =
      new_query ? std::string(kQueryPrefix) + NewQueryNumber() : std::string(query_code);
  if (!db::IsUsableQueryCode(code)) {
    screen::SendCommand("Erreur," + db::QueryCodeRefusal(code, "la requête n'est pas enregistrée"));
    return false;
  }
  lines.SetLine(title_slot, kTitleKey, title_text);

  DeleteQueryLinesKeepingRubrics(query_code);  // a partial code deletes nothing
  if (new_query) query_code = code;

  std::memset(db::RecordBuffer(db::FileId::REQUETES), 0,
              db::RecordBufferSize(db::FileId::REQUETES));
  const std::string prefix = code.substr(0, 2);
  const std::string number = code.substr(2, 6);
  db::QueryLineRecord record = db::CurrentQueryLine();
  record.SetPrefix(prefix);
  record.SetNumber(number);
  record.SetState(" ");
  for (int i = 1; i <= lines.LineCount(); ++i) {
    const QueryLine& line = lines.Line(i);
    if (line.key.empty()) continue;
    // The engine's add leaves the buffer as stored; the fixed fields are set
    // again so that every line carries the same query and state.
    record.SetPrefix(prefix);
    record.SetNumber(number);
    record.SetState(" ");
    record.SetCriteriaKey(line.key);
    record.SetLineText(line.text);
    record.SetMarker("E");
    db::Hajoute(kQueryFile);
  }
  return true;
}

void OpenRubricChoiceWindow(std::string_view query_code) {
  screen::SendCommand("Ouvre,Rubrique");
  screen::SetFieldValue("LECODREQ", query_code);
  screen::SendCommand("execute,B_REQUETE.Clic");
  screen::SendCommand("Ecran,Saisie");
  screen::SendCommand("Ferme");
}

void RunDefinitionScreen(QueryWorkingSet& lines, std::string& query_code,
                         const QueryCounter& counter) {
  const Draft opened = ReadDraft(lines);
  std::string code;
  for (;;) {
    screen::SendCommand("Ecran,Saisie");
    code = screen::ReturnCode();
    if (code == "ESC" && MayLeave(opened, lines)) break;
    if (code == "TF0" && MaySave(lines)) break;
    if (code == kCountCode) CountEditedQuery(lines, counter);
    std::string prefix;
    if (!CriteriaScreenFor(code, prefix)) continue;
    if (prefix.empty()) {
      RunIdentityCriteriaScreen(lines);
    } else {
      RunRubricCriteriaScreen(prefix, lines);
    }
  }
  if (code == "TF0") {
    const std::string title = BuildTitleText(lines);
    if (SaveQuery(lines, title, query_code)) OpenRubricChoiceWindow(query_code);
  }
  screen::SendCommand("Ferme");
  screen::SendCommand("Ecran,Selection,I,CHERCHE4");
}

}  // namespace vz::queries
