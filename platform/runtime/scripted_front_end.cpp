#include "platform/runtime/scripted_front_end.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/os/cp1252.h"
#include "platform/runtime/field_values.h"
#include "platform/runtime/line_format.h"
#include "platform/runtime/quoted.h"
#include "platform/runtime/table_sort.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

std::string NotUsable(const Field& field) {
  return "field " + Quoted(field.name) + (field.visible() ? " is disabled" : " is invisible");
}

std::string WrongKind(const Field& field, std::string_view wanted) {
  return Quoted(field.name) + " is a " + std::string(KindName(field.kind)) + ", not a " +
         std::string(wanted);
}

}  // namespace

void FailLoudly(Transcript& transcript, std::string_view message) {
  transcript.Problem("scenario failure: " + std::string(message));
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", os::Utf8(message).c_str());
  std::fflush(stderr);
  std::_Exit(kScenarioFailureExit);
}

ScriptedFrontEnd::ScriptedFrontEnd(Scenario scenario, Transcript& transcript)
    : scenario_(std::move(scenario)), transcript_(transcript) {}

void ScriptedFrontEnd::Fail(int line, std::string_view why) {
  FailLoudly(transcript_, WhereAndWhy(scenario_.file, line, why));
}

const ScenarioStep* ScriptedFrontEnd::Next() const {
  return next_ < scenario_.steps.size() ? &scenario_.steps[next_] : nullptr;
}

std::string ScriptedFrontEnd::RunInput(Window& window, InputHost& host) {
  const ScenarioStep* step = Next();
  const std::string waiting = "the program waits for input in window " + Quoted(window.name);
  if (!step) Fail(scenario_.last_line, "the scenario has run out: " + waiting);
  if (step->kind != ScenarioStep::Kind::kInput) {
    Fail(step->line, waiting + ", the scenario expects " + DescribeStep(*step));
  }
  if (WindowKey(step->window) != WindowKey(window.name)) {
    Fail(step->line, waiting + ", the scenario expects input of " + Quoted(step->window));
  }
  for (const auto& action : step->actions) {
    const std::string error = Play(window, action, host);
    if (!error.empty()) Fail(action.line, error);
  }
  std::string code;
  if (SameName(step->code, window.escape_code)) {
    code = window.escape_code;
  } else if (const Field* button = window.ButtonWithCode(step->code)) {
    code = button->return_code;
  } else {
    Fail(step->code_line, "no enabled button of window " + Quoted(window.name) + " gives code " +
                              Quoted(step->code));
  }
  transcript_.Event("input " + window.name + " ended with " + Quoted(code) + " (scenario line " +
                    std::to_string(step->code_line) + ")");
  ++next_;
  return code;
}

std::string ScriptedFrontEnd::TypeInto(Window& window, const ScenarioAction& action) {
  if (Field* field = window.FindField(action.field)) {
    if (field->kind != FieldKind::kText) return WrongKind(*field, "text field");
    if (!field->usable()) return NotUsable(*field);
    if (static_cast<int>(action.text.size()) > field->max_length) {
      return "field " + Quoted(field->name) + " takes at most " +
             std::to_string(field->max_length) + " characters";
    }
    return WriteFieldValue(window, action.field, action.text);
  }
  const std::string_view address = action.field;
  const auto ref = window.FindColumn(TrimBlanks(address.substr(0, address.find(','))));
  if (!ref) return "unknown field " + Quoted(action.field) + " in window " + Quoted(window.name);
  if (!ref->table->usable()) return NotUsable(*ref->table);
  if (!ref->table->columns[ref->column].editable) {
    return "column " + Quoted(ref->table->columns[ref->column].name) + " cannot be typed into";
  }
  return WriteFieldValue(window, action.field, action.text);
}

std::string ScriptedFrontEnd::See(const Window& window, const ScenarioAction& action) {
  const ReadResult read = ReadFieldValue(window, action.field);
  if (!read.error.empty()) return read.error;
  if (TrimBlanks(read.value) == TrimBlanks(action.text)) return {};
  return Quoted(action.field) + " shows " + Quoted(TrimBlanks(read.value)) +
         ", the scenario expects " + Quoted(TrimBlanks(action.text));
}

std::string ScriptedFrontEnd::Sort(Field& table, const ScenarioAction& action) {
  if (table.kind != FieldKind::kTable) return WrongKind(table, "table");
  if (!table.sortable) return "table " + Quoted(table.name) + " cannot be sorted";
  const int column = table.ColumnIndex(action.column);
  if (column < 0) return "table " + Quoted(table.name) + " has no column " + Quoted(action.column);
  SortTableRows(table, column, action.text == "down" ? SortOrder::kDescending : SortOrder::kAscending);
  return {};
}

std::string ScriptedFrontEnd::Play(Window& window, const ScenarioAction& action, InputHost& host) {
  using Kind = ScenarioAction::Kind;
  if (action.kind == Kind::kType) return TypeInto(window, action);
  if (action.kind == Kind::kSee) return See(window, action);
  if (action.kind == Kind::kPrint) {
    print_file_ = action.text;
    print_line_ = action.line;
    return {};
  }
  Field* field = window.FindField(action.field);
  if (!field) return "unknown field " + Quoted(action.field) + " in window " + Quoted(window.name);
  if (!field->usable()) return NotUsable(*field);
  if (action.kind == Kind::kClick) {
    if (field->kind != FieldKind::kButton || field->event.empty()) {
      return Quoted(field->name) + " is not a button that runs window code";
    }
    host.RunButtonCode(window, *field);
    return {};
  }
  if (action.kind == Kind::kSort) return Sort(*field, action);
  // A switch set, a choice made or a row picked is a change made by the user:
  // when it changes something, the field's change code runs, as on a desktop.
  const std::string value_before = field->value;
  const int selected_before = field->selected;
  std::string error = Choose(field, action);
  if (error.empty() && (field->value != value_before || field->selected != selected_before)) {
    host.RunChangeCode(window, *field);
  }
  return error;
}

std::string ScriptedFrontEnd::Choose(Field* field, const ScenarioAction& action) {
  using Kind = ScenarioAction::Kind;
  switch (action.kind) {
    case Kind::kSwitch:
      if (field->kind != FieldKind::kSwitch) return WrongKind(*field, "switch");
      field->value = action.text == "on" ? "1" : "0";
      return {};
    case Kind::kChoose:
      if (field->kind != FieldKind::kOptions) return WrongKind(*field, "option group");
      if (action.number > static_cast<int>(field->choices.size())) {
        return "option group " + Quoted(field->name) + " has no choice " +
               std::to_string(action.number);
      }
      field->value = std::to_string(action.number);
      return {};
    case Kind::kPickRow:
      return SelectItem(*field, action.number);
    case Kind::kPickText: {
      if (field->kind != FieldKind::kList)
        return WrongKind(*field, "list (pick a table row by COLUMN TEXT)");
      const int entry = FindListEntry(*field, action.text);
      if (entry == 0) return "list " + Quoted(field->name) + " has no entry " + Quoted(action.text);
      return SelectItem(*field, entry);
    }
    case Kind::kPickCell: {
      if (field->kind != FieldKind::kTable) return WrongKind(*field, "table");
      const int column = field->ColumnIndex(action.column);
      if (column < 0)
        return "table " + Quoted(field->name) + " has no column " + Quoted(action.column);
      const int row = FindTableRow(*field, column, action.text);
      if (row == 0) {
        return "table " + Quoted(field->name) + " has no row with " + action.column + " = " +
               Quoted(action.text);
      }
      return SelectItem(*field, row);
    }
    case Kind::kClick:
    case Kind::kType:
    case Kind::kSort:
    case Kind::kSee:
    case Kind::kPrint:
      break;
  }
  return "unknown action";
}

void ScriptedFrontEnd::ShowMessage(MessageKind kind, std::string_view text) {
  const std::string what =
      std::string(kind == MessageKind::kError ? "error " : "info ") + Quoted(TrimBlanks(text));
  transcript_.Event("message " + what);
  const ScenarioStep* step = Next();
  if (!step || step->kind != ScenarioStep::Kind::kExpect) return;
  if (step->message_kind != kind || TrimBlanks(step->message) != TrimBlanks(text)) {
    Fail(step->line, "the program shows " + what + ", the scenario expects " + DescribeStep(*step));
  }
  ++next_;
}

bool ScriptedFrontEnd::AskYesNo(std::string_view question) {
  const ScenarioStep* step = Next();
  const std::string asking = "the program asks " + Quoted(TrimBlanks(question));
  if (!step) Fail(scenario_.last_line, "the scenario has run out: " + asking);
  if (step->kind != ScenarioStep::Kind::kAnswer) {
    Fail(step->line, asking + ", the scenario expects " + DescribeStep(*step));
  }
  if (step->question && TrimBlanks(*step->question) != TrimBlanks(question)) {
    Fail(step->line, asking + ", the scenario expects the question " + Quoted(*step->question));
  }
  transcript_.Event(asking + ": " + (step->yes ? "yes" : "no") + " (scenario line " +
                    std::to_string(step->line) + ")");
  ++next_;
  return step->yes;
}

bool ScriptedFrontEnd::StopRequested() {
  const ScenarioStep* step = Next();
  if (!step || step->kind != ScenarioStep::Kind::kStop) return false;
  if (++stop_questions_ < step->stop_after) return false;
  stop_questions_ = 0;
  transcript_.Event("the work is stopped (scenario line " + std::to_string(step->line) + ")");
  ++next_;
  return true;
}

PrintOutcome ScriptedFrontEnd::PrintPdf(std::string_view pdf, std::string_view title) {
  const std::string printing = "the program prints " + Quoted(std::string(title));
  if (print_file_.empty()) {
    const ScenarioStep* step = Next();
    Fail(step ? step->line : scenario_.last_line,
         printing + ", the scenario names no file to print to (print FILE before the click)");
  }
  const std::string file = print_file_;
  print_file_.clear();
  std::error_code ec;
  std::filesystem::copy_file(std::filesystem::path(std::string(pdf)),
                             std::filesystem::path(file),
                             std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) {
    transcript_.Event(printing + ": " + file + " cannot be written: " + ec.message());
    return {PrintOutcome::Result::kUnavailable, file + " : " + ec.message()};
  }
  transcript_.Event(printing + " to " + file + " (scenario line " + std::to_string(print_line_) +
                    ")");
  return {PrintOutcome::Result::kPrinted, file};
}

std::string ScriptedFrontEnd::Finish() {
  const ScenarioStep* step = Next();
  if (!step) return {};
  return WhereAndWhy(
      scenario_.file, step->line,
      std::to_string(steps_left()) +
          " scenario step(s) left over when the program ended; next: " + DescribeStep(*step));
}

}  // namespace vz::runtime
