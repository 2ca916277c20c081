#include "src/selection/rubric_tables.h"

namespace vz::selection {
namespace {

bool InTable(int entry, int size) {
  return entry >= 1 && entry <= size;
}

}  // namespace

void CodeTable::set_count(int count) {
  count_ = count < 0 ? 0 : (count > kCodeTableSize ? kCodeTableSize : count);
}

void CodeTable::Clear() {
  for (FixedText<kLineCodeWidth>& code : codes_) code.clear();
  count_ = 0;
}

std::string_view CodeTable::At(int entry) const {
  if (!InTable(entry, kCodeTableSize)) return {};
  return codes_[static_cast<size_t>(entry - 1)].view();
}

void CodeTable::Set(int entry, std::string_view code) {
  if (!InTable(entry, kCodeTableSize)) return;
  codes_[static_cast<size_t>(entry - 1)].assign(code);
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
}

void AmountTables::Add(int table, int entry, double value) {
  if (!InTable(table, kAmountTableCount) || !InTable(entry, kAmountTableSize)) return;
  values_[static_cast<size_t>(table - 1)][static_cast<size_t>(entry - 1)] += value;
}

void AmountTables::Clear(int table) {
  if (!InTable(table, kAmountTableCount)) return;
  values_[static_cast<size_t>(table - 1)].fill(0.0);
}

void AmountTables::ClearAll() {
  for (std::array<double, kAmountTableSize>& table : values_) table.fill(0.0);
}

void AddressBlock::Clear() {
  for (FixedText<kTextWidth>& line : lines) line.clear();
  postcode.clear();
  city.clear();
}

}  // namespace vz::selection
