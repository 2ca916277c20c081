#include "src/queries/definition_draft.h"

#include "platform/os/cp1252.h"
#include "src/queries/definition_screen.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"

namespace vz::queries {
namespace {

bool IsCriterion(const QueryLine& line) {
  return !line.key.empty() && line.key != kTitleKey;
}

bool Yes(std::string_view question) {
  screen::SendCommand("OUINON," + os::Cp1252(question));
  return screen::IntegerReturnValue() == 1;
}

}  // namespace

bool Draft::operator==(const Draft& other) const {
  if (title != other.title || lines.size() != other.lines.size()) return false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].key != other.lines[i].key || lines[i].text != other.lines[i].text) return false;
  }
  return true;
}

Draft ReadDraft(const QueryWorkingSet& lines) {
  Draft draft;
  for (int i = 1; i <= lines.LineCount(); ++i) {
    if (IsCriterion(lines.Line(i))) draft.lines.push_back(lines.Line(i));
  }
  for (std::string_view field : {"TITRE", "EXPLIC,1", "EXPLIC,2", "EXPLIC,3"}) {
    draft.title += screen::GetFieldValue(field, screen::kWholeValue) + "\t";
  }
  if (lines.type() == kCombinedQueryType) {
    // The rows picked in the two tables and the operator; no cell is read, so
    // that no operand chosen reads no row that does not exist.
    for (std::string_view table : {"TABLE1", "TABLE2"}) {
      screen::SendCommand("Table,Select,?," + std::string(table));
      draft.title += std::to_string(screen::IntegerReturnValue()) + "\t";
    }
    draft.title += screen::GetFieldValue("OPTION", screen::kWholeValue);
  }
  return draft;
}

std::vector<QueryLine> LinesAsSaved(const QueryWorkingSet& lines) {
  std::vector<QueryLine> saved;
  for (int i = 1; i <= lines.LineCount(); ++i) {
    if (IsCriterion(lines.Line(i))) saved.push_back(lines.Line(i));
  }
  saved.push_back({std::string(kTitleKey), BuildTitleText(lines)});
  return saved;
}

bool HasCriteria(const QueryWorkingSet& lines) {
  if (lines.type() == kCombinedQueryType) return true;
  for (int i = 1; i <= lines.LineCount(); ++i) {
    if (IsCriterion(lines.Line(i))) return true;
  }
  return false;
}

bool MayLeave(const Draft& opened, const QueryWorkingSet& lines) {
  if (ReadDraft(lines) == opened) return true;
  return Yes("Abandonner les modifications de cette requête ?");
}

bool MaySave(const QueryWorkingSet& lines) {
  if (HasCriteria(lines)) return true;
  return Yes(
      "Cette requête n'a aucun critère : elle sélectionnera tous les clients. "
      "L'enregistrer quand même ?");
}

}  // namespace vz::queries
