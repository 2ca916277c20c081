#include "platform/runtime/field_values.h"

#include "platform/runtime/text_encoding.h"
#include "platform/runtime/quoted.h"

namespace vz::runtime {
namespace {

std::string JoinRow(const std::vector<std::string>& cells) {
  std::string out;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) out += '\t';
    out += cells[i];
  }
  return out;
}

// A field address split at its first comma; index 0 when there is none.
struct Address {
  std::string_view name;
  int index = 0;
  std::string error;
};

Address SplitAddress(std::string_view address) {
  Address out;
  address = TrimBlanks(address);
  const size_t comma = address.find(',');
  out.name = TrimBlanks(address.substr(0, comma));
  if (out.name.empty()) {
    out.error = "no field named";
    return out;
  }
  if (comma != std::string_view::npos && !ParseRowNumber(address.substr(comma + 1), out.index)) {
    out.error = "bad row number in " + Quoted(address);
  }
  return out;
}

std::string WholeValue(const Field& field) {
  switch (field.kind) {
    case FieldKind::kCaption:
    case FieldKind::kButton:
      return field.label;
    case FieldKind::kList:
      return field.selected > 0 ? field.entries[field.selected - 1] : std::string();
    case FieldKind::kTable:
      return field.selected > 0 ? JoinRow(field.rows[field.selected - 1]) : std::string();
    default:
      return field.value;
  }
}

std::string WriteWhole(Field& field, std::string_view value) {
  switch (field.kind) {
    case FieldKind::kCaption:
    case FieldKind::kButton:
      field.label = value;
      return {};
    case FieldKind::kText:
    case FieldKind::kImage:
      field.value = value;
      return {};
    case FieldKind::kSwitch:
      if (value != "0" && value != "1") {
        return "switch " + Quoted(field.name) + " takes \"1\" or \"0\", not " + Quoted(value);
      }
      field.value = value;
      return {};
    case FieldKind::kOptions: {
      int choice = 0;
      if (!TrimBlanks(value).empty() &&
          (!ParseRowNumber(value, choice) || choice > static_cast<int>(field.choices.size()))) {
        return "option group " + Quoted(field.name) + " has no choice " + Quoted(value);
      }
      field.value = choice == 0 ? std::string() : std::to_string(choice);
      return {};
    }
    case FieldKind::kList: {
      const int entry = FindListEntry(field, value);
      if (entry == 0) return "list " + Quoted(field.name) + " has no entry " + Quoted(value);
      field.selected = entry;
      return {};
    }
    case FieldKind::kTable:
      return "table " + Quoted(field.name) + " cannot be written as a whole; write its cells";
  }
  return "unknown field kind";
}

}  // namespace

ReadResult ReadFieldValue(const Window& window, std::string_view address) {
  ReadResult result;
  const Address parts = SplitAddress(address);
  if (!parts.error.empty()) {
    result.error = parts.error;
    return result;
  }
  if (parts.index > 0) {
    if (const Field* indexed = window.FindField(TrimBlanks(address))) {
      result.value = WholeValue(*indexed);
      return result;
    }
    const Field* table = window.FindField(parts.name);
    if (table && table->kind == FieldKind::kTable) {
      if (parts.index > static_cast<int>(table->rows.size())) {
        result.error =
            "table " + Quoted(table->name) + " has no row " + std::to_string(parts.index);
      } else {
        result.value = JoinRow(table->rows[parts.index - 1]);
      }
      return result;
    }
  } else if (const Field* field = window.FindField(parts.name)) {
    result.value = WholeValue(*field);
    return result;
  }
  auto ref = const_cast<Window&>(window).FindColumn(parts.name);
  if (!ref) {
    result.error =
        "unknown field " + Quoted(TrimBlanks(address)) + " in window " + Quoted(window.name);
    return result;
  }
  const Field& table = *ref->table;
  const int row = parts.index > 0 ? parts.index : table.selected;
  if (row == 0) {
    result.error = "no row selected in table " + Quoted(table.name);
    return result;
  }
  if (row > static_cast<int>(table.rows.size())) {
    result.error = "table " + Quoted(table.name) + " has no row " + std::to_string(row);
    return result;
  }
  result.value = table.rows[row - 1][ref->column];
  return result;
}

std::string WriteFieldValue(Window& window, std::string_view address, std::string_view value) {
  const Address parts = SplitAddress(address);
  if (!parts.error.empty()) return parts.error;
  if (parts.index > 0) {
    if (Field* indexed = window.FindField(TrimBlanks(address))) return WriteWhole(*indexed, value);
  } else if (Field* field = window.FindField(parts.name)) {
    return WriteWhole(*field, value);
  }
  auto ref = window.FindColumn(parts.name);
  if (!ref)
    return "unknown field " + Quoted(TrimBlanks(address)) + " in window " + Quoted(window.name);
  Field& table = *ref->table;
  const int row = parts.index > 0 ? parts.index : table.selected;
  if (row == 0) return "no row selected in table " + Quoted(table.name);
  if (row > static_cast<int>(table.rows.size())) {
    return "table " + Quoted(table.name) + " has no row " + std::to_string(row);
  }
  table.rows[row - 1][ref->column] = value;
  return {};
}

std::string AddTableRow(Field& table, std::string_view cells) {
  std::vector<std::string> row;
  size_t start = 0;
  while (true) {
    const size_t tab = cells.find('\t', start);
    row.emplace_back(cells.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  // A trailing TAB ends the last cell rather than opening a new one.
  if (row.size() > table.columns.size() && row.back().empty() && !cells.empty() &&
      cells.back() == '\t') {
    row.pop_back();
  }
  if (row.size() > table.columns.size()) {
    return "table " + Quoted(table.name) + " has " + std::to_string(table.columns.size()) +
           " columns; the row has " + std::to_string(row.size()) + " cells";
  }
  row.resize(table.columns.size());
  table.rows.push_back(std::move(row));
  return {};
}

int FindTableRow(const Field& table, int column, std::string_view value) {
  if (column < 0 || column >= static_cast<int>(table.columns.size())) return 0;
  for (size_t r = 0; r < table.rows.size(); ++r) {
    if (table.rows[r][column] == value) return static_cast<int>(r) + 1;
  }
  return 0;
}

int FindListEntry(const Field& list, std::string_view value) {
  for (size_t i = 0; i < list.entries.size(); ++i) {
    if (list.entries[i] == value) return static_cast<int>(i) + 1;
  }
  for (size_t i = 0; i < list.entries.size(); ++i) {
    const std::string_view entry = list.entries[i];
    if (entry.substr(0, entry.find('\t')) == value) return static_cast<int>(i) + 1;
  }
  return 0;
}

std::string SelectItem(Field& field, int row) {
  if (field.kind != FieldKind::kTable && field.kind != FieldKind::kList) {
    return Quoted(field.name) + " is not a table or a list";
  }
  if (row < 1 || row > field.ItemCount()) {
    return Quoted(field.name) + " has no row " + std::to_string(row) + " (it has " +
           std::to_string(field.ItemCount()) + ")";
  }
  field.selected = row;
  return {};
}

}  // namespace vz::runtime
