#include "src/queries/definition_draft.h"

#include "platform/os/cp1252.h"
#include "src/queries/definition_screen.h"
#include "src/screen/bridge.h"

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
  const std::string title = BuildTitleText(lines);
  const size_t date_end = title.find('\t');
  draft.title = date_end == std::string::npos ? title : title.substr(date_end + 1);
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
