#include "src/queries/criteria_screen_support.h"

#include "platform/os/cp1252.h"
#include "src/screen/bridge.h"
#include "src/util/number_text.h"

namespace vz::queries {

config::table_param CriteriaElements(std::string_view text) {
  config::table_param elements;
  config::ClearTable(elements);
  config::SplitValue(text, elements, "");
  return elements;
}

std::string StorableElement(std::string_view typed) {
  std::string value(typed);
  for (char& c : value) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return value;
}

std::string RowWithTwoDigits(int row) {
  return util::IntToText(row, 2);
}

std::string RowRightAligned(int row) {
  return util::IntToTextBlankPadded(row, 2);
}

void ShowWorkingSetFull() {
  screen::SendCommand("Erreur," + os::Cp1252("La requête ne peut pas contenir plus de 64 lignes : "
                                             "des critères n'ont pas été enregistrés."));
}

void PutOutcome::ReportIfRefused() const {
  if (refused_) ShowWorkingSetFull();
}

}  // namespace vz::queries
