#include "project/query_windows_text.h"

namespace vz::project {

std::string TrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\0')) --end;
  return std::string(text.substr(0, end));
}

std::string TrimBoth(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  return TrimRight(text.substr(start));
}

std::vector<std::string> SplitAtTabs(std::string_view text) {
  std::vector<std::string> elements;
  size_t start = 0;
  while (start < text.size()) {
    const size_t tab = text.find('\t', start);
    if (tab == std::string_view::npos) {
      elements.emplace_back(text.substr(start));
      break;
    }
    elements.emplace_back(text.substr(start, tab - start));
    start = tab + 1;
  }
  return elements;
}

std::string ElementAt(std::string_view text, size_t index) {
  std::vector<std::string> elements = SplitAtTabs(text);
  return index < elements.size() ? elements[index] : std::string();
}

int ColumnOf(const runtime::Field& table, std::string_view column) {
  return table.ColumnIndex(column);
}

std::string CellOf(const runtime::Field& table, size_t row, int column) {
  if (column < 0 || row >= table.rows.size()) return {};
  const auto& cells = table.rows[row];
  const auto index = static_cast<size_t>(column);
  return index < cells.size() ? cells[index] : std::string();
}

void SetCell(runtime::Field& table, size_t row, int column, std::string_view value) {
  if (column < 0 || row >= table.rows.size()) return;
  auto& cells = table.rows[row];
  const auto index = static_cast<size_t>(column);
  if (cells.size() <= index) cells.resize(index + 1);
  cells[index] = std::string(value);
}

}  // namespace vz::project
