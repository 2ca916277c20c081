// Sorting table rows by a column (table_sort.h).
#include "platform/runtime/table_sort.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "platform/os/accents.h"

namespace vz::runtime {
namespace {

constexpr char kNoBreakSpace = '\xA0';

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == kNoBreakSpace;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// What a cell is compared by: its kind first (number, text, empty), then
// the number or the folded text, then the bytes.
struct SortKey {
  int kind = 0;  // 0 number, 1 text, 2 empty
  double number = 0;
  std::string folded;
  std::string_view bytes;
};

// A date written DD/MM/YYYY, as the number YYYYMMDD.
std::optional<double> CellDate(std::string_view text) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return std::nullopt;
  double date = 0;
  for (size_t i : {6, 7, 8, 9, 3, 4, 0, 1}) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    date = date * 10 + (text[i] - '0');
  }
  return date;
}

SortKey KeyOf(std::string_view cell) {
  SortKey key;
  key.bytes = Trimmed(cell);
  if (key.bytes.empty()) {
    key.kind = 2;
  } else if (const auto date = CellDate(key.bytes)) {
    key.number = *date;
  } else if (const auto number = CellNumber(key.bytes)) {
    key.number = *number;
  } else {
    key.kind = 1;
    key.folded.reserve(key.bytes.size());
    for (char c : key.bytes) key.folded.push_back(os::UpperPlainLetter(c));
  }
  return key;
}

// <0, 0, >0 as a is before, equal to or after b in ascending order.
int Compare(const SortKey& a, const SortKey& b) {
  if (a.kind != b.kind) return a.kind < b.kind ? -1 : 1;
  if (a.kind == 0) return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
  if (a.kind == 1) {
    if (const int folded = a.folded.compare(b.folded); folded != 0) return folded;
    return a.bytes.compare(b.bytes);
  }
  return 0;
}

}  // namespace

std::optional<double> CellNumber(std::string_view cell) {
  const std::string_view text = Trimmed(cell);
  std::string plain;
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) plain.push_back(text[i++]);
  bool digits = false;
  bool decimal = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      plain.push_back(c);
      digits = true;
    } else if (IsBlank(c) && digits && !decimal && i + 1 < text.size() && text[i + 1] >= '0' &&
               text[i + 1] <= '9') {
      continue;  // a thousands separator between digits
    } else if ((c == ',' || c == '.') && digits && !decimal) {
      plain.push_back('.');
      decimal = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits || plain.back() == '.') return std::nullopt;
  return std::strtod(plain.c_str(), nullptr);
}

bool SortTableRows(Field& table, int column, SortOrder order) {
  if (table.kind != FieldKind::kTable || column < 0 ||
      column >= static_cast<int>(table.columns.size())) {
    return false;
  }
  const size_t count = table.rows.size();
  std::vector<SortKey> keys;
  keys.reserve(count);
  const auto at = static_cast<size_t>(column);
  for (const auto& row : table.rows) {
    keys.push_back(KeyOf(at < row.size() ? std::string_view(row[at]) : std::string_view()));
  }
  std::vector<size_t> order_of(count);
  std::iota(order_of.begin(), order_of.end(), 0);
  const bool descending = order == SortOrder::kDescending;
  std::stable_sort(order_of.begin(), order_of.end(), [&](size_t a, size_t b) {
    const SortKey& ka = keys[a];
    const SortKey& kb = keys[b];
    // Empty cells stay last in both directions.
    if ((ka.kind == 2) != (kb.kind == 2)) return kb.kind == 2;
    const int c = Compare(ka, kb);
    return descending ? c > 0 : c < 0;
  });
  std::vector<std::vector<std::string>> sorted;
  sorted.reserve(count);
  int selected = 0;
  for (size_t i = 0; i < count; ++i) {
    sorted.push_back(std::move(table.rows[order_of[i]]));
    if (table.selected > 0 && order_of[i] == static_cast<size_t>(table.selected - 1)) {
      selected = static_cast<int>(i) + 1;
    }
  }
  table.rows = std::move(sorted);
  table.selected = selected;
  return true;
}

}  // namespace vz::runtime
