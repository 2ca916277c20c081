// The program with its desktop front end (Qt, offscreen), played by a robot
// that reads a scenario (the scripted front end's grammar, docs/scenarios.md)
// and does what an adviser would: it types into the line edits key by key,
// clicks list entries, table rows and buttons with the mouse, and answers the
// message boxes. End-to-end tests compare what this leaves on disk with what
// the scripted front end leaves.
//
//   VZ_SCENARIO=<file> desktop_scenario
//
// The program is started as the real one is (WireScreenRuntime, then
// RunProgram), from the installation's program directory; the scenario is
// taken out of the environment before the screen module starts, so that the
// module chooses the desktop front end. The window library beside the program directory
// gives each window's title and each return code's button.
//
// Failure: a step that cannot be played, a question without its answer step,
// an expected message that differs, or steps left at the end are written to
// the error output as "FILE:LINE: reason" and the process ends with code 70.
#include <stdlib.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/os/paths.h"
#include "platform/runtime/qt/qt_text.h"
#include "platform/runtime/qt/window_dialog.h"
#include "platform/runtime/scenario.h"
#include "platform/runtime/window_library.h"
#include "platform/runtime/window_model.h"
#include "src/startup/program_flow.h"
#include "src/startup/runtime_wiring.h"

namespace {

namespace fs = std::filesystem;
using vz::runtime::Field;
using vz::runtime::FieldKind;
using vz::runtime::Scenario;
using vz::runtime::ScenarioAction;
using vz::runtime::ScenarioStep;
using vz::runtime::Window;
using vz::runtime::WindowDialog;

constexpr char kPlayedProperty[] = "vz_robot_played";
constexpr auto kTick = std::chrono::milliseconds(10);
constexpr auto kLongestWait = std::chrono::seconds(60);

[[noreturn]] void Fail(const Scenario& scenario, int line, const std::string& reason) {
  std::fprintf(stderr, "%s:%d: %s\n", scenario.file.c_str(), line, reason.c_str());
  std::fflush(stderr);
  _exit(70);
}

void TypeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  if (text.isEmpty()) {
    QTest::keyClick(edit, Qt::Key_Backspace);
    return;
  }
  for (char32_t code_point : text.toStdU32String()) {
    const QString one = QString::fromStdU32String(std::u32string(1, code_point));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, one);
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, one);
    QApplication::sendEvent(edit, &release);
  }
}

// Clicks the title of a table's column, as a user sorting by it.
void ClickColumnTitle(QTableView* view, int column) {
  QHeaderView* header = view->horizontalHeader();
  const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                      header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, middle);
}

void ClickAt(QAbstractItemView* view, const QModelIndex& index) {
  view->scrollTo(index);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                    view->visualRect(index).center());
}

// Plays the scenario, one action per tick of the event loop, so that window
// code run by a click (which may show a message box and wait in it) lets the
// next tick answer that box.
class Robot {
 public:
  Robot(Scenario scenario, vz::runtime::WindowLibrary library)
      : scenario_(std::move(scenario)), library_(std::move(library)) {}

  void Start() { Arm(); }

  void CheckFinished() const {
    if (step_ < scenario_.steps.size()) {
      const ScenarioStep& left = scenario_.steps[step_];
      Fail(scenario_, left.line,
           "the program ended with steps left over: " + vz::runtime::DescribeStep(left));
    }
  }

 private:
  void Arm() {
    QTimer::singleShot(kTick, [this] { Tick(); });
  }

  void Tick() {
    Arm();  // first: the work below may wait in a nested event loop
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal->property(kPlayedProperty).toBool()) return Waiting(nullptr);
    if (auto* box = qobject_cast<QMessageBox*>(modal)) return Message(box);
    if (auto* dialog = dynamic_cast<WindowDialog*>(modal)) return Input(dialog);
    Waiting(modal);
  }

  // Something is shown that the scenario does not act on: a watch-only
  // window, or nothing between two inputs. A wait that lasts means the
  // program and the scenario disagree.
  void Waiting(QWidget* shown) {
    const auto now = std::chrono::steady_clock::now();
    if (shown != waiting_on_) {
      waiting_on_ = shown;
      waiting_since_ = now;
    } else if (shown && now - waiting_since_ > kLongestWait) {
      const int line =
          step_ < scenario_.steps.size() ? scenario_.steps[step_].line : scenario_.last_line;
      Fail(scenario_, line,
           "the window \"" + shown->windowTitle().toStdString() + "\" waits and no step plays it");
    }
  }

  void Message(QMessageBox* box) {
    const std::string text = box->text().trimmed().toStdString();
    const bool question = box->icon() == QMessageBox::Question;
    const ScenarioStep* step = step_ < scenario_.steps.size() ? &scenario_.steps[step_] : nullptr;
    QString button = QStringLiteral("OK");
    if (question) {
      if (!step || step->kind != ScenarioStep::Kind::kAnswer) {
        Fail(scenario_, step ? step->line : scenario_.last_line,
             "the program asks \"" + text + "\" and the next step is no answer");
      }
      if (step->question &&
          vz::runtime::ToQString(*step->question).trimmed() != box->text().trimmed()) {
        Fail(scenario_, step->line, "the program asks \"" + text + "\"");
      }
      button = step->yes ? QStringLiteral("Oui") : QStringLiteral("Non");
      ++step_;
    } else if (step && step->kind == ScenarioStep::Kind::kExpect) {
      const bool error = box->icon() == QMessageBox::Critical;
      if (error != (step->message_kind == vz::runtime::MessageKind::kError) ||
          vz::runtime::ToQString(step->message).trimmed() != box->text().trimmed()) {
        Fail(scenario_, step->line, "the message is \"" + text + "\"");
      }
      ++step_;
    }
    box->setProperty(kPlayedProperty, true);
    for (QAbstractButton* candidate : box->buttons()) {
      if (candidate->text() == button) return QTest::mouseClick(candidate, Qt::LeftButton);
    }
    Fail(scenario_, scenario_.last_line, "the message box has no button " + button.toStdString());
  }

  void Input(WindowDialog* dialog) {
    if (step_ >= scenario_.steps.size()) {
      Fail(scenario_, scenario_.last_line,
           "the scenario has run out and the window \"" + dialog->windowTitle().toStdString() +
               "\" waits for input");
    }
    const ScenarioStep& step = scenario_.steps[step_];
    if (step.kind != ScenarioStep::Kind::kInput) {
      Fail(scenario_, step.line,
           "a window waits for input instead of " + vz::runtime::DescribeStep(step));
    }
    const Window* window = library_.Find(step.window);
    if (!window) Fail(scenario_, step.line, "no window " + step.window + " in the library");
    if (dialog->windowTitle() != vz::runtime::ToQString(window->title)) {
      return Waiting(dialog);  // another window, perhaps on its way out
    }
    if (action_ < step.actions.size()) {
      const ScenarioAction& action = step.actions[action_++];
      return Act(dialog, *window, action);
    }
    // Every action played: end the input with the step's code.
    action_ = 0;
    ++step_;
    dialog->setProperty(kPlayedProperty, true);
    if (const Field* button = window->ButtonWithCode(step.code)) {
      if (auto* widget = qobject_cast<QPushButton*>(dialog->FieldWidget(button->name))) {
        return QTest::mouseClick(widget, Qt::LeftButton);
      }
    }
    if (step.code == window->escape_code) return QTest::keyClick(dialog, Qt::Key_Escape);
    Fail(scenario_, step.code_line, "no button of " + step.window + " gives " + step.code);
  }

  // What the dialog shows at a field address: a text field or caption, a
  // table's row "TABLE,NN" (cells joined by TAB) or cell "COLUMN,NN".
  std::optional<QString> Shown(WindowDialog* dialog, const Window& window,
                               const std::string& address) {
    const size_t comma = address.find(',');
    const std::string name = address.substr(0, comma);
    int row = 0;
    if (comma != std::string::npos &&
        vz::runtime::ParseRowNumber(std::string_view(address).substr(comma + 1), row)) {
      const Field* table = window.FindField(name);
      int column = -1;
      if (!table || table->kind != FieldKind::kTable) {
        for (const Field& field : window.fields) {
          if (field.kind == FieldKind::kTable && field.ColumnIndex(name) >= 0) {
            table = &field;
            column = field.ColumnIndex(name);
          }
        }
      }
      auto* view = table ? qobject_cast<QTableView*>(dialog->FieldWidget(table->name)) : nullptr;
      if (!view || row > view->model()->rowCount()) return std::nullopt;
      if (column >= 0) return view->model()->index(row - 1, column).data().toString();
      QStringList cells;
      for (int c = 0; c < view->model()->columnCount(); ++c) {
        cells << view->model()->index(row - 1, c).data().toString();
      }
      return cells.join('\t');
    }
    QWidget* widget = dialog->FieldWidget(address);
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    return std::nullopt;
  }

  void Act(WindowDialog* dialog, const Window& window, const ScenarioAction& action) {
    if (action.kind == ScenarioAction::Kind::kSee) {
      const std::optional<QString> shown = Shown(dialog, window, action.field);
      if (!shown) Fail(scenario_, action.line, "the robot cannot read " + action.field);
      if (shown->trimmed() != vz::runtime::ToQString(action.text).trimmed()) {
        Fail(scenario_, action.line,
             "\"" + action.field + "\" shows \"" + shown->toStdString() + "\"");
      }
      return;
    }
    QWidget* widget = dialog->FieldWidget(action.field);
    const Field* field = window.FindField(action.field);
    if (!widget || !field) Fail(scenario_, action.line, "no field " + action.field);
    const QString text = vz::runtime::ToQString(action.text);
    switch (action.kind) {
      case ScenarioAction::Kind::kType:
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) return TypeInto(edit, text);
        break;
      case ScenarioAction::Kind::kClick:
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
          return QTest::mouseClick(button, Qt::LeftButton);
        }
        break;
      case ScenarioAction::Kind::kPickRow:
        if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
          const QModelIndex index = view->model()->index(action.number - 1, 0);
          if (index.isValid()) return ClickAt(view, index);
        }
        break;
      case ScenarioAction::Kind::kPickText:
      case ScenarioAction::Kind::kPickCell: {
        auto* view = qobject_cast<QAbstractItemView*>(widget);
        if (!view) break;
        const int column =
            action.kind == ScenarioAction::Kind::kPickCell ? field->ColumnIndex(action.column) : 0;
        for (int row = 0; column >= 0 && row < view->model()->rowCount(); ++row) {
          const QModelIndex index = view->model()->index(row, column);
          if (index.data().toString() == text) return ClickAt(view, index);
        }
        break;
      }
      case ScenarioAction::Kind::kSort: {
        auto* view = qobject_cast<QTableView*>(widget);
        const int column = field->ColumnIndex(action.column);
        if (!view || column < 0) break;
        const Qt::SortOrder wanted =
            action.text == "down" ? Qt::DescendingOrder : Qt::AscendingOrder;
        ClickColumnTitle(view, column);
        if (view->horizontalHeader()->sortIndicatorOrder() != wanted) {
          ClickColumnTitle(view, column);
        }
        return;
      }
      default:
        break;
    }
    Fail(scenario_, action.line, "the robot cannot play this on " + action.field);
  }

  Scenario scenario_;
  vz::runtime::WindowLibrary library_;
  size_t step_ = 0;
  size_t action_ = 0;
  QWidget* waiting_on_ = nullptr;
  std::chrono::steady_clock::time_point waiting_since_{};
};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main() {
  const char* named = std::getenv("VZ_SCENARIO");
  if (!named || !*named) {
    std::fprintf(stderr, "usage: VZ_SCENARIO=<scenario file> desktop_scenario\n");
    return 64;
  }
  const std::string scenario_path = named;
  vz::runtime::ScenarioLoad load =
      vz::runtime::ParseScenario(ReadText(scenario_path), scenario_path);
  if (!load.scenario) {
    std::fprintf(stderr, "%s\n", load.error.c_str());
    return 70;
  }
  const fs::path library_path = fs::path(vz::os::ProgramDirectory()).parent_path() / "ORVANE.wdl";
  vz::runtime::LibraryLoad library = vz::runtime::LoadWindowLibrary(library_path);
  if (!library.library) {
    std::fprintf(stderr, "%s\n", library.error.c_str());
    return 70;
  }
  // The desktop front end is chosen when no scenario is named and a display
  // is; the application below draws on Qt's offscreen platform.
  unsetenv("VZ_SCENARIO");
  unsetenv("QT_QPA_PLATFORM");
  setenv("DISPLAY", ":offscreen", 1);
  static int argc = 3;
  static char name[] = "desktop_scenario";
  static char platform_option[] = "-platform";
  static char platform_name[] = "offscreen";
  static char* argv[] = {name, platform_option, platform_name, nullptr};
  QApplication application(argc, argv);

  Robot robot(std::move(*load.scenario), std::move(*library.library));
  robot.Start();
  vz::startup::WireScreenRuntime();
  const int code = vz::startup::RunProgram(vz::startup::ProgramOptions{});
  robot.CheckFinished();
  return code;
}
