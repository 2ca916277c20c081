#include "src/queries/rubric_criteria_screens.h"

#include <algorithm>
#include <string>

#include "platform/os/cp1252.h"
#include "src/queries/criteria_screen_support.h"
#include "src/queries/rubric_screen_members.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"
#include "src/util/blanks.h"

namespace vz::queries {
namespace {

constexpr std::string_view kWithOptionStars = "******";
constexpr std::string_view kWithoutOptionStars = "*******";

std::string Cell(std::string_view column, int row) {
  return std::string(column) + "," + RowWithTwoDigits(row);
}

void OpenAndDecorate(const RubricScreenMember& member) {
  screen::SendCommand("Ouvre," + std::string(member.window) + ",10,10");
  screen::SetFieldValue("F_TITRE", member.title);
  if (member.has_option()) screen::SetFieldValue("TEXTE", member.option_text);
  if (!member.column_title_1.empty()) {
    screen::SetFieldValue("TITRE,1", os::Cp1252(member.column_title_1));
    screen::SetFieldValue("TITRE,2", os::Cp1252(member.column_title_2));
  }
  if (member.has_option()) screen::SendCommand("Ecran,Selection,+,LIBOPTION,TEXTE,OPTION");
}

void FillRows(const RubricScreenMember& member) {
  if (member.fixed_rows.empty()) {
    FillRubricTable(member.prefix, member.form);
    return;
  }
  for (const FixedRubricRow& row : member.fixed_rows) {
    screen::SendCommand("Table,Ajoute,TABLE1," + os::Cp1252(row.label) + "\t" +
                        std::string(row.bounds) + "\t" + std::string(row.code));
  }
}

// Puts the bounds of the working set's lines of this rubric into their rows.
void ShowLines(const RubricScreenMember& member, const QueryWorkingSet& lines) {
  for (int number = 1; number <= lines.LineCount(); ++number) {
    const QueryLine& line = lines.Line(number);
    if (!line.key.starts_with(member.prefix)) continue;
    if (member.has_option()) {
      screen::SetFieldValue("OPTION", line.key.substr(std::min<size_t>(line.key.size(), 11), 1));
    }
    screen::SendCommand("Table,Cherche,CODRUBR," + line.key.substr(0, kRubricCodeWidth));
    const int row = screen::IntegerReturnValue();
    if (row <= 0) continue;  // a code no longer in the table is not shown
    const config::table_param elements = CriteriaElements(line.text);
    for (size_t cell = 0; cell < member.cells.size(); ++cell) {
      screen::SetFieldValue(Cell(member.cells[cell], row), elements[cell + 1]);
    }
  }
}

// The default text of a row with this code; empty when a fixed-row screen
// does not know the code.
std::string_view RowDefault(const RubricScreenMember& member, std::string_view code) {
  if (member.fixed_rows.empty()) return member.default_text;
  for (const FixedRubricRow& row : member.fixed_rows) {
    if (row.code == code) return row.default_text;
  }
  return {};
}

// The bounds typed in a row, each followed by TAB, as a criteria text.
std::string RowText(const RubricScreenMember& member, int row) {
  std::string text;
  for (std::string_view cell : member.cells) {
    text += StorableElement(screen::GetFieldValue(Cell(cell, row), screen::kWholeValue));
    text += "\t";
  }
  return text;
}

// For a rubric with option and no option chosen: the label of the first row
// whose typed bounds differ from its default, which would otherwise be lost
// at validation; empty when there is none (or the option is chosen).
std::string RowNeedingOption(const RubricScreenMember& member) {
  if (!member.has_option() || !screen::GetFieldValue("Option", screen::kWholeValue).empty()) {
    return {};
  }
  screen::SendCommand("Table,Occurrence,TABLE1");
  const int row_count = screen::IntegerReturnValue();
  for (int row = 1; row <= row_count; ++row) {
    const std::string code = util::TrimBlanks(
        screen::GetFieldValue(Cell("CODRUBR", row), screen::kWholeValue), util::kTrimTrailing);
    if (code.size() != kRubricCodeWidth) continue;
    if (RowText(member, row) == member.default_text) continue;
    std::string label = util::TrimBlanks(
        screen::GetFieldValue(Cell("LIBELLE", row), screen::kWholeValue), util::kTrimTrailing);
    return label.empty() ? code : label;
  }
  return {};
}

// The error box of a validation refused for want of an option.
void ShowOptionMissing(const std::string& row_label) {
  screen::SendCommand(os::Cp1252("Erreur,Rubrique « ") + row_label +
                      os::Cp1252(" » : des bornes sont saisies mais l'option de calcul n'est "
                                 "pas choisie. Choisissez « Par personne » ou « Pour "
                                 "l'ensemble du foyer », puis validez ; les bornes saisies "
                                 "sont gardées."));
}

void StoreRows(const RubricScreenMember& member, QueryWorkingSet& lines) {
  screen::SendCommand("Table,Occurrence,TABLE1");
  const int row_count = screen::IntegerReturnValue();
  PutOutcome outcome;
  for (int row = 1; row <= row_count; ++row) {
    const std::string code = util::TrimBlanks(
        screen::GetFieldValue(Cell("CODRUBR", row), screen::kWholeValue), util::kTrimTrailing);
    std::string key = code;
    if (member.has_option()) {
      key += kWithOptionStars;
      key += screen::GetFieldValue("Option", screen::kWholeValue);
    } else {
      key += kWithoutOptionStars;
    }
    key = key.substr(0, kCriteriaKeyWidth);
    const std::string text = RowText(member, row);
    // Only rows with a whole rubric code and, where the rubric has one, an
    // option chosen: empty rows and unchosen options neither add nor remove.
    if (code.size() != kRubricCodeWidth || key.size() != kCriteriaKeyWidth) continue;
    const std::string_view default_text = RowDefault(member, code);
    if (default_text.empty()) continue;
    const KeyMatch match = member.has_option() ? KeyMatch::kRubricCode : KeyMatch::kWholeKey;
    outcome.Record(PutCriteriaLine(lines, key, text, default_text, match));
  }
  outcome.ReportIfRefused();
}

}  // namespace

bool IsRubricCriteriaPrefix(std::string_view prefix) {
  return FindRubricScreenMember(prefix) != nullptr;
}

bool RunRubricCriteriaScreen(std::string_view prefix, QueryWorkingSet& lines) {
  const RubricScreenMember* member = FindRubricScreenMember(prefix);
  if (member == nullptr) return false;
  OpenAndDecorate(*member);
  FillRows(*member);
  std::string code;
  bool show_lines = true;
  for (;;) {
    if (show_lines) ShowLines(*member, lines);
    screen::SendCommand("Ecran,Saisie");
    code = screen::ReturnCode();
    if (code == "ESC") break;
    show_lines = true;
    if (code != "TF0") continue;
    // Bounds typed without an option would be stored nowhere: the window
    // stays, with what was typed, until an option is chosen.
    const std::string row_label = RowNeedingOption(*member);
    if (row_label.empty()) break;
    ShowOptionMissing(row_label);
    show_lines = false;
  }
  if (code == "TF0") StoreRows(*member, lines);
  screen::SendCommand("Ferme");
  return true;
}

}  // namespace vz::queries
