#include "src/queries/identity_screen.h"

#include <span>
#include <string>
#include <string_view>

#include "src/queries/criteria_screen_support.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"

namespace vz::queries {
namespace {

// A range criterion and its two fields. `open_bound` is what the window
// shows for a bound left open besides an empty field: the birthday fields
// start as "__/__".
struct RangeCriterion {
  std::string_view key;
  std::string_view from_field;
  std::string_view to_field;
  std::string_view open_bound = {};
};

// In the order the criteria are stored; the city comes after the first three.
constexpr RangeCriterion kRanges[] = {
    {"NOMCLI******", "NOM1DEB", "NOM1FIN"},
    {"NUMDOS******", "DOS1DEB", "DOS1FIN"},
    {"CODPOST*****", "CP1DEB", "CP1FIN"},
    {"AGECLI******", "AGE1DEB", "AGE1FIN"},
    {"ANNI********", "ANNI1DEB", "ANNI1FIN", "__/__"},
};
constexpr size_t kRangesBeforeCity = 3;

constexpr std::string_view kCityKey = "VILLE*******";
constexpr std::string_view kCityField = "VILLE1";

// A list criterion and its list field.
struct ListCriterion {
  std::string_view key;
  std::string_view list;
};
constexpr ListCriterion kSituation = {"SITFAM******", "SITFAM"};
constexpr ListCriterion kRegime = {"REGMAT******", "REGMAT"};
constexpr ListCriterion kFamily = {"FAMPRO******", "FAMPRO1"};
constexpr ListCriterion kProfession = {"PROFES******", "PROFES1"};
constexpr ListCriterion kLists[] = {kSituation, kRegime, kFamily, kProfession};

// The list value meaning that nothing is chosen; never stored.
constexpr std::string_view kNoChoice = " \t-1\t";
constexpr std::string_view kNoChoiceCode = "-1";
constexpr std::string_view kEmptyRange = "\t\t";
constexpr std::string_view kEmptyValue = "\t";

// Highlights the row of `list` holding label TAB code. A value the list does
// not hold leaves the list as it is.
void SelectListRow(std::string_view list, const std::string& label, const std::string& code) {
  screen::SendCommand("Liste,Cherche," + std::string(list) + "," + label + "\t" + code);
  const int row = screen::IntegerReturnValue();
  if (row <= 0) return;
  screen::SendCommand("Liste,Select,+," + std::string(list) + "," + RowRightAligned(row));
}

void ShowLine(const QueryLine& line) {
  const config::table_param elements = CriteriaElements(line.text);
  const std::string& first = elements[1];
  const std::string& second = elements[2];
  for (const RangeCriterion& range : kRanges) {
    if (line.key != range.key) continue;
    screen::SetFieldValue(range.from_field, first);
    screen::SetFieldValue(range.to_field, second);
    return;
  }
  if (line.key == kCityKey) {
    screen::SetFieldValue(kCityField, first);
  } else if (line.key == kSituation.key || line.key == kRegime.key) {
    const std::string_view list = line.key == kSituation.key ? kSituation.list : kRegime.list;
    SelectListRow(list, first, second);
  } else if (line.key == kFamily.key) {
    if (second == kNoChoiceCode) return;
    SelectListRow(kFamily.list, first, second);
    // The window's own code makes the profession list follow the family.
    screen::SendCommand("Execute,FAMPRO1.MODIFICATION");
  } else if (line.key == kProfession.key) {
    screen::SendCommand("Ecran,Selection,+,LIBELLE11");
    if (second == kNoChoiceCode) return;
    screen::SendCommand("Ecran,Selection,+,PROFES1");
    SelectListRow(kProfession.list, first, second);
  }
}

std::string FieldElement(std::string_view field) {
  return StorableElement(screen::GetFieldValue(field, screen::kWholeValue)) + "\t";
}

void StoreRanges(QueryWorkingSet& lines, std::span<const RangeCriterion> ranges,
                 PutOutcome& outcome) {
  for (const RangeCriterion& range : ranges) {
    const std::string from = FieldElement(range.from_field);
    const std::string to = FieldElement(range.to_field);
    // A birthday range open at both ends selects everyone: it is no criterion
    // and takes no line, like an empty range.
    const auto open = [&range](const std::string& bound) {
      return bound == "\t" ||
             (!range.open_bound.empty() && bound == std::string(range.open_bound) + "\t");
    };
    const std::string text = open(from) && open(to) ? std::string(kEmptyRange) : from + to;
    outcome.Record(PutCriteriaLine(lines, range.key, text, kEmptyRange, KeyMatch::kWholeKey));
  }
}

void StoreCriteria(QueryWorkingSet& lines) {
  PutOutcome outcome;
  const std::span<const RangeCriterion> ranges(kRanges);
  StoreRanges(lines, ranges.first(kRangesBeforeCity), outcome);
  outcome.Record(
      PutCriteriaLine(lines, kCityKey, FieldElement(kCityField), kEmptyValue, KeyMatch::kWholeKey));
  StoreRanges(lines, ranges.subspan(kRangesBeforeCity), outcome);
  for (const ListCriterion& criterion : kLists) {
    screen::SendCommand("Liste,Select,?," + std::string(criterion.list));
    std::string text(kNoChoice);
    if (screen::IntegerReturnValue() >= 2) {
      // The row text is label TAB code: both elements are kept.
      text = screen::GetFieldValue(criterion.list, screen::kWholeValue) + "\t";
    }
    outcome.Record(PutCriteriaLine(lines, criterion.key, text, kNoChoice, KeyMatch::kWholeKey));
  }
  outcome.ReportIfRefused();
}

}  // namespace

void RunIdentityCriteriaScreen(QueryWorkingSet& lines) {
  screen::SendCommand("Ouvre,SEL01A,10,10");
  std::string code;
  do {
    for (int number = 1; number <= lines.LineCount(); ++number) ShowLine(lines.Line(number));
    screen::SendCommand("Ecran,Saisie");
    code = screen::ReturnCode();
  } while (code != "ESC" && code != "TF0");
  if (code == "TF0") StoreCriteria(lines);
  screen::SendCommand("Ferme");
}

}  // namespace vz::queries
