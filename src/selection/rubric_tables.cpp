#include "src/selection/rubric_tables.h"

#include <utility>

#include "src/config/parameter_file.h"

namespace vz::selection {
namespace {

bool InTable(int entry, int size) {
  return entry >= 1 && entry <= size;
}

// Exactly 8 digits: such codes compare in the files' key order as they read.
bool IsHousehold(std::string_view code) {
  if (code.size() != RubricKeyGaps::kHouseholdWidth) return false;
  for (char c : code) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

CriteriaEntry::CriteriaEntry(std::string entry_key, std::string entry_text)
    : key(std::move(entry_key)), text(std::move(entry_text)), separator_(config::ListSeparator()) {
  const CriteriaElements elements(text, separator_);
  bounds_ = {ReadBoundPair(elements, 1), ReadBoundPair(elements, 3)};
}

BoundPair CriteriaEntry::Bounds(int first) const {
  const char separator = config::ListSeparator();
  if (separator != separator_) return ReadBoundPair(CriteriaElements(text, separator), first);
  return bounds_[first >= 3 ? 1 : 0];
}

void CodeTable::set_count(int count) {
  count_ = count < 0 ? 0 : (count > kCodeTableSize ? kCodeTableSize : count);
}

void CodeTable::Clear() {
  for (int entry = 0; entry < highest_set_; ++entry) codes_[static_cast<size_t>(entry)].clear();
  highest_set_ = 0;
  count_ = 0;
}

std::string_view CodeTable::At(int entry) const {
  if (!InTable(entry, kCodeTableSize)) return {};
  return codes_[static_cast<size_t>(entry - 1)].view();
}

void CodeTable::Set(int entry, std::string_view code) {
  if (!InTable(entry, kCodeTableSize)) return;
  codes_[static_cast<size_t>(entry - 1)].assign(code);
  if (entry > highest_set_) highest_set_ = entry;
}

int CodeTable::Find(std::string_view code) const {
  if (code.size() > kLineCodeWidth) code = code.substr(0, kLineCodeWidth);
  for (int entry = 1; entry <= count_; ++entry) {
    if (codes_[static_cast<size_t>(entry - 1)].view() == code) return entry;
  }
  return count_ + 1;
}

double AmountTables::Get(int table, int entry) const {
  if (!InTable(table, kAmountTableCount) || !InTable(entry, kAmountTableSize)) return 0.0;
  return values_[static_cast<size_t>(table - 1)][static_cast<size_t>(entry - 1)];
}

void AmountTables::Set(int table, int entry, double value) {
  if (!InTable(table, kAmountTableCount) || !InTable(entry, kAmountTableSize)) return;
  values_[static_cast<size_t>(table - 1)][static_cast<size_t>(entry - 1)] = value;
  NoteWritten(table, entry);
}

void AmountTables::Add(int table, int entry, double value) {
  if (!InTable(table, kAmountTableCount) || !InTable(entry, kAmountTableSize)) return;
  values_[static_cast<size_t>(table - 1)][static_cast<size_t>(entry - 1)] += value;
  NoteWritten(table, entry);
}

void AmountTables::NoteWritten(int table, int entry) {
  int& highest = highest_written_[static_cast<size_t>(table - 1)];
  if (entry > highest) highest = entry;
}

void AmountTables::Clear(int table) {
  if (!InTable(table, kAmountTableCount)) return;
  // Entries above the highest written are 0 already.
  std::array<double, kAmountTableSize>& values = values_[static_cast<size_t>(table - 1)];
  int& highest = highest_written_[static_cast<size_t>(table - 1)];
  std::fill_n(values.begin(), highest, 0.0);
  highest = 0;
}

void AmountTables::ClearAll() {
  for (std::array<double, kAmountTableSize>& table : values_) table.fill(0.0);
  highest_written_.fill(0);
}

bool RubricKeyGaps::HasNone(size_t family, std::string_view household) const {
  if (!enabled_ || family >= kFamilies || !IsHousehold(household)) return false;
  const Gap& gap = gaps_[family];
  return gap.known && household > gap.after.view() && (gap.to_end || household < gap.before.view());
}

void RubricKeyGaps::Learn(size_t family, std::string_view loaded, std::string_view stopped,
                          bool at_end) {
  if (!enabled_ || family >= kFamilies) return;
  Gap& gap = gaps_[family];
  gap.known = IsHousehold(loaded) && (at_end || (IsHousehold(stopped) && stopped > loaded));
  if (!gap.known) return;
  gap.to_end = at_end;
  gap.after.assign(loaded);
  gap.before.assign(at_end ? std::string_view() : stopped);
}

void AddressBlock::Clear() {
  for (FixedText<kTextWidth>& line : lines) line.clear();
  postcode.clear();
  city.clear();
}

}  // namespace vz::selection
