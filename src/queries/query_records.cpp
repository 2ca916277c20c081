#include "src/queries/query_records.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/file_id.h"
#include "src/db/layouts/code_label.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/db/record_store.h"
#include "src/screen/bridge.h"
#include "src/util/number_text.h"

namespace vz::queries {
namespace {

constexpr std::string_view kQueryFile = "requetes";
constexpr std::string_view kQueryNumberingKey = "CODREQ";
constexpr std::string_view kCatalogueFile = "RUBRIQUE";
constexpr std::string_view kCatalogueKey = "CODRUBR";
constexpr std::string_view kCounterKey = "NUMREQ";
constexpr std::string_view kQueryPrefix = "01";
constexpr std::string_view kTotalSubCode = "000";
constexpr std::string_view kAddRow = "Table,Ajoute,TABLE1,";
constexpr int32_t kLargestQueryNumber = 999999;
constexpr int kQueryNumberDigits = 6;
// With no counter kept, new numbers start ten above the highest in the file
// (counted from 1, so an empty file gives 11).
constexpr int32_t kNumberingGap = 10;
// How many numbers already in use the shared counter passes over before the
// lowest free number is looked for instead.
constexpr int kMostNumbersPassedOver = 1000;

std::string_view Cut(std::string_view text, size_t width) {
  return text.substr(0, width);
}

bool KeysMatch(std::string_view line_key, std::string_view key, KeyMatch match) {
  if (match == KeyMatch::kWholeKey) return line_key == key;
  return line_key.substr(0, kRubricCodeWidth) == key.substr(0, kRubricCodeWidth);
}

// Reads every query record in CODREQ order and hands its number to `visit`.
// The caller's REQUETES record is kept across the scan.
template <typename Visit>
void ForEachQueryNumber(Visit visit) {
  uint8_t* buffer = db::RecordBuffer(db::FileId::REQUETES);
  const size_t size = db::RecordBufferSize(db::FileId::REQUETES);
  std::vector<uint8_t> saved(buffer, buffer + size);
  db::Hlitpremier(kQueryFile, kQueryNumberingKey);
  while (!db::Hendehors()) {
    visit(util::TextToInt(db::CurrentQueryLine().Number()));
    db::Hlitsuivant(kQueryFile, kQueryNumberingKey);
  }
  std::memcpy(buffer, saved.data(), size);
}

// True when a query of this system already has the number. The caller's
// REQUETES record is kept.
bool QueryNumberInUse(const std::string& number) {
  uint8_t* buffer = db::RecordBuffer(db::FileId::REQUETES);
  const size_t size = db::RecordBufferSize(db::FileId::REQUETES);
  std::vector<uint8_t> saved(buffer, buffer + size);
  db::Hlitrecherche(kQueryFile, kQueryNumberingKey, std::string(kQueryPrefix) + number);
  db::QueryLineRecord found = db::CurrentQueryLine();
  const bool in_use =
      !db::Hendehors() && found.Prefix() == kQueryPrefix && found.Number() == number;
  std::memcpy(buffer, saved.data(), size);
  return in_use;
}

int32_t HighestQueryNumber() {
  int32_t highest = 1;
  ForEachQueryNumber([&highest](int32_t number) { highest = std::max(highest, number); });
  return highest;
}

// The lowest number from 1 to 999999 that no query uses; 0 when none is left.
int32_t LowestFreeQueryNumber() {
  std::vector<bool> used(static_cast<size_t>(kLargestQueryNumber) + 1, false);
  ForEachQueryNumber([&used](int32_t number) {
    if (number > 0 && number <= kLargestQueryNumber) used[static_cast<size_t>(number)] = true;
  });
  for (int32_t number = 1; number <= kLargestQueryNumber; ++number) {
    if (!used[static_cast<size_t>(number)]) return number;
  }
  return 0;
}

}  // namespace

bool QueryWorkingSet::SetLine(int number, std::string_view key, std::string_view text) {
  if (number < 1 || number > kMaxQueryLines) return false;
  QueryLine& line = lines_[static_cast<size_t>(number - 1)];
  line.key = std::string(Cut(key, kCriteriaKeyWidth));
  line.text = std::string(Cut(text, kCriteriaTextWidth));
  if (number > line_count_) line_count_ = static_cast<int16_t>(number);
  return true;
}

void QueryWorkingSet::RemoveLine(int number) {
  if (number < 1 || number > line_count_) return;
  lines_[static_cast<size_t>(number - 1)].key.clear();
}

bool QueryWorkingSet::AppendLine(std::string_view key, std::string_view text) {
  return SetLine(line_count_ + 1, key, text);
}

void QueryWorkingSet::Clear() {
  for (QueryLine& line : lines_) line = QueryLine{};
  line_count_ = 0;
  type_.clear();
}

PutResult PutCriteriaLine(QueryWorkingSet& lines, std::string_view key, std::string_view text,
                          std::string_view default_text, KeyMatch match) {
  key = Cut(key, kCriteriaKeyWidth);
  int slot = 1;
  while (slot <= lines.LineCount() && !KeysMatch(lines.Line(slot).key, key, match)) ++slot;
  const bool found = slot <= lines.LineCount();
  if (text != default_text) {
    return lines.SetLine(slot, key, text) ? PutResult::kStored : PutResult::kRefused;
  }
  if (!found) return PutResult::kUnchanged;
  lines.RemoveLine(slot);
  return PutResult::kRemoved;
}

// With a shared store the counter lives in the database, not in each
// adviser's parameter file: one statement gives each program its own number.
// The database's first number comes ten above the highest in the file, as
// with no counter kept; a number some query already has is passed over.
// 0 when the server fails.
int32_t SharedQueryNumber() {
  int64_t number = db::NextSharedNumber(kCounterKey, 1);
  if (number == 1) {
    number = db::NextSharedNumber(kCounterKey, std::max(1, HighestQueryNumber()) + kNumberingGap);
  }
  for (int passed = 0;
       number > 0 && number <= kLargestQueryNumber &&
       QueryNumberInUse(util::IntToText(static_cast<int32_t>(number), kQueryNumberDigits)) &&
       passed < kMostNumbersPassedOver;
       ++passed) {
    number = db::NextSharedNumber(kCounterKey, 0);
  }
  if (number <= 0) return 0;
  if (number > kLargestQueryNumber ||
      QueryNumberInUse(util::IntToText(static_cast<int32_t>(number), kQueryNumberDigits))) {
    return LowestFreeQueryNumber();
  }
  return static_cast<int32_t>(number);
}

std::string NewQueryNumber() {
  if (db::RecordStoreIsShared()) {
    const int32_t number = SharedQueryNumber();
    return number > 0 ? util::IntToText(number, kQueryNumberDigits) : std::string();
  }
  const std::string& path = config::ParameterFilePath();
  config::ScopedListSeparator comma(',');
  config::table_param& table = config::SharedParameterTable();
  config::ReadParameter(path, kCounterKey, table, config::kComponentsSection);
  const int32_t counter = util::TextToInt(table[1]);
  int32_t number = 0;
  // A counter that lags behind the file (a parameter file restored from an
  // older copy, or one that could not be written) would hand out the number
  // of an existing query and mix two queries' lines: the file decides then.
  if (counter > 0 && counter < kLargestQueryNumber &&
      !QueryNumberInUse(util::IntToText(counter + 1, kQueryNumberDigits))) {
    number = counter + 1;
  } else {
    // No counter kept, one past the last six-digit number, or one whose next
    // number is taken: look at the file.
    const int32_t highest = HighestQueryNumber();
    number = highest <= kLargestQueryNumber - kNumberingGap ? highest + kNumberingGap
                                                            : LowestFreeQueryNumber();
    if (number == 0) return std::string();
  }
  std::string text = util::IntToText(number, kQueryNumberDigits);
  // The read left the rest of the value in the table; only field 1 changes.
  table[1] = text;
  config::WriteParameter(path, kCounterKey, table, config::kComponentsSection);
  return text;
}

std::string RubricRow(std::string_view label, std::string_view code, RubricRowForm form) {
  // A TAB inside a label would shift every column after it.
  std::string row(label);
  std::replace(row.begin(), row.end(), '\t', ' ');
  row += "\t0\t999999999\t";
  if (form == RubricRowForm::kAmountAndYield) row += "0\t999\t";
  if (form == RubricRowForm::kTwoAmounts) row += "0\t999999999\t";
  row += code;
  return row;
}

void FillRubricTable(std::string_view prefix, RubricRowForm form) {
  db::Hlitrecherche(kCatalogueFile, kCatalogueKey, prefix);
  while (!db::Hendehors()) {
    db::RubricCatalogueRecord rubric = db::CurrentRubricCatalogue();
    if (rubric.Prefix() != prefix) break;
    const std::string code = std::string(rubric.Prefix()) + std::string(rubric.Number());
    screen::SendCommand(std::string(kAddRow) + RubricRow(rubric.Label(), code, form));
    if (rubric.Number() == kTotalSubCode) screen::SendCommand(kAddRow);
    db::Hlitsuivant(kCatalogueFile, kCatalogueKey);
  }
}

}  // namespace vz::queries
