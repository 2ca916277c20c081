// Table verbs of the current window:
//   "Table,Ajoute," + table + "," + cells separated by TAB   add a row; integer = its number
//   "Table,Cherche," + column + "," + value                 integer = first row whose cell
//                                                           equals value, 0 when none
//   "Table,Occurrence," + table                             integer = row count
//   "Table,Select,+," + table + "," + row                   select a row (" 3", "03" accepted)
//   "Table,Select,-," + table                               no row selected
//   "Table,Select,?," + table                               integer = selected row, 0 none
//   "Table,Recupere," + column [+ "," + row]                text = cell of the selected (or
//                                                           given) row
// A column is found by its name alone, in whichever table of the window has it.
#include "platform/runtime/field_values.h"
#include "platform/runtime/interpreter.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

struct TableTarget {
  Field* table = nullptr;
  CommandResult failure;
};

TableTarget FindTable(Session& session, std::string_view name) {
  TableTarget target;
  Window* window = session.CurrentWindow();
  if (!window) {
    target.failure = session.Fail("table command with no window open");
    return target;
  }
  name = TrimBlanks(name);
  Field* field = window->FindField(name);
  if (!field || field->kind != FieldKind::kTable) {
    target.failure =
        session.Fail("no table \"" + std::string(name) + "\" in window \"" + window->name + "\"");
    return target;
  }
  target.table = field;
  return target;
}

}  // namespace

CommandResult RunTableAdd(Session& session, std::string_view args) {
  auto [name, cells] = SplitAtComma(args);
  TableTarget target = FindTable(session, name);
  if (!target.table) return target.failure;
  const std::string error = AddTableRow(*target.table, cells);
  if (!error.empty()) return session.Fail(error);
  return {static_cast<int32_t>(target.table->rows.size()), {}};
}

CommandResult RunTableFind(Session& session, std::string_view args) {
  Window* window = session.CurrentWindow();
  if (!window) return session.Fail("Table,Cherche with no window open");
  auto [column, value] = SplitAtComma(args);
  auto ref = window->FindColumn(TrimBlanks(column));
  if (!ref) {
    return session.Fail("no table column \"" + std::string(TrimBlanks(column)) + "\" in window \"" +
                        window->name + "\"");
  }
  return {FindTableRow(*ref->table, ref->column, value), {}};
}

CommandResult RunTableCount(Session& session, std::string_view args) {
  TableTarget target = FindTable(session, args);
  if (!target.table) return target.failure;
  return {static_cast<int32_t>(target.table->rows.size()), {}};
}

CommandResult RunTableSelect(Session& session, std::string_view args) {
  auto [mode, rest] = SplitAtComma(args);
  mode = TrimBlanks(mode);
  auto [name, row_text] = SplitAtComma(rest);
  TableTarget target = FindTable(session, name);
  if (!target.table) return target.failure;
  Field& table = *target.table;
  if (mode == "?") return {table.selected, {}};
  if (mode == "-") {
    table.selected = 0;
    return {};
  }
  if (mode != "+")
    return session.Fail("Table,Select takes \"+\", \"-\" or \"?\", not \"" + std::string(mode) +
                        "\"");
  int row = 0;
  if (!ParseRowNumber(row_text, row)) {
    return session.Fail("row \"" + std::string(row_text) + "\" is not a row number");
  }
  const std::string error = SelectItem(table, row);
  if (!error.empty()) return session.Fail(error);
  return {row, {}};
}

CommandResult RunTableRead(Session& session, std::string_view args) {
  Window* window = session.CurrentWindow();
  if (!window) return session.Fail("Table,Recupere with no window open");
  const std::string_view column = TrimBlanks(SplitAtComma(args).first);
  if (!window->FindColumn(column)) {
    return session.Fail("no table column \"" + std::string(column) + "\" in window \"" +
                        window->name + "\"");
  }
  ReadResult read = ReadFieldValue(*window, args);
  if (!read.error.empty()) return session.Fail(read.error);
  return {0, std::move(read.value)};
}

}  // namespace vz::runtime
