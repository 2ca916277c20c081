#include "platform/runtime/qt/qt_front_end.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

#include "platform/os/keyboard.h"
#include "platform/runtime/made_pictures.h"
#include "platform/runtime/module.h"
#include "platform/runtime/qt/pdf_printing.h"
#include "platform/runtime/qt/qt_text.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

// Notes every press and release of the Escape key, in whichever widget.
class EscapeWatch final : public QObject {
 public:
  explicit EscapeWatch(bool& down) : down_(down) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) down_ = type == QEvent::KeyPress;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool& down_;
};

// The application object needs an argument count and vector that outlive it.
int application_argc = 1;
char application_name[] = "vuzuviza";
char* application_argv[] = {application_name, nullptr};

std::vector<std::filesystem::path> DefaultPictureDirectories() {
  std::error_code error;
  const auto here = std::filesystem::current_path(error);
  if (error) return {".", "images"};
  return {here, here / "images", here.parent_path(), here.parent_path() / "images"};
}

}  // namespace

QtFrontEnd::QtFrontEnd(Transcript& transcript, std::function<Window*()> current_window,
                       Options options)
    : transcript_(transcript),
      current_window_(std::move(current_window)),
      options_(std::move(options)) {
  if (options_.picture_directories.empty()) {
    options_.picture_directories = DefaultPictureDirectories();
    // Pictures the project makes while it runs (a label sheet's preview).
    options_.picture_directories.push_back(MadePicturesFolder());
  }
  if (!QApplication::instance()) {
    own_application_ = std::make_unique<QApplication>(application_argc, application_argv);
  }
  key_watch_ = std::make_unique<EscapeWatch>(escape_down_);
  QApplication::instance()->installEventFilter(key_watch_.get());
  vz::os::SetEscapeKeyStateSource([this] { return escape_down_; });
}

QtFrontEnd::~QtFrontEnd() {
  vz::os::SetEscapeKeyStateSource({});
  progress_.reset();
  if (QCoreApplication* application = QApplication::instance()) {
    application->removeEventFilter(key_watch_.get());
  }
}

std::string QtFrontEnd::RunInput(Window& window, InputHost& host) {
  HideOutsideInput();
  WindowDialog dialog(window, options_.picture_directories);
  dialog.Bind(&window);
  dialog.ShowModel(window);  // bound first: its tables' rows are shown, not copied
  dialog.set_event_handler(
      [&host](Window& model, const Field& button) { host.RunButtonCode(model, button); });
  dialog.set_change_handler(
      [&host](Window& model, const Field& field) { host.RunChangeCode(model, field); });
  input_dialog_ = &dialog;
  escape_down_ = false;
  dialog.exec();
  input_dialog_ = nullptr;
  dialog.Bind(nullptr);
  std::string code = dialog.return_code();
  if (code.empty()) code = window.escape_code;
  transcript_.Event("input " + window.name + " ended with \"" + code + "\"");
  return code;
}

void QtFrontEnd::ShowMessage(MessageKind kind, std::string_view text) {
  ShowMessageWithFolder(kind, text, {});
}

bool QtFrontEnd::AskYesNo(std::string_view question) {
  HideClosedProgress();
  QMessageBox box(QMessageBox::Question, QStringLiteral("Question"),
                  ToQString(TrimBlanks(question)), QMessageBox::NoButton, input_dialog_);
  QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);  // Escape, or closing the box, answers no
  box.exec();
  const bool answer = box.clickedButton() == yes;
  transcript_.Event("the program asks \"" + std::string(TrimBlanks(question)) +
                    "\": " + (answer ? "yes" : "no"));
  return answer;
}

void QtFrontEnd::ProcessEvents() {
  const auto now = std::chrono::steady_clock::now();
  if (last_events_ != std::chrono::steady_clock::time_point{} &&
      now - last_events_ < options_.progress_interval) {
    return;
  }
  last_events_ = now;
  if (!input_dialog_) ShowOutsideInput();
  QCoreApplication::processEvents();
}

bool QtFrontEnd::StopRequested() {
  ProcessEvents();
  if (!progress_ || !progress_->stop_requested() || stop_answered_) return false;
  stop_answered_ = true;
  transcript_.Event("the user asks to stop in window " + progress_name_);
  return true;
}

PrintOutcome QtFrontEnd::PrintPdf(std::string_view pdf, std::string_view title) {
  HideClosedProgress();
  const PrintOutcome outcome =
      PrintPdfWithDialog(input_dialog_, std::filesystem::path(std::string(pdf)), ToQString(title));
  transcript_.Event("print \"" + std::string(title) + "\": " +
                    (outcome.result == PrintOutcome::Result::kPrinted
                         ? "printed on " + outcome.detail
                     : outcome.result == PrintOutcome::Result::kCancelled ? std::string("cancelled")
                                                                          : outcome.detail));
  return outcome;
}

void QtFrontEnd::ShowMessageWithFolder(MessageKind kind, std::string_view text,
                                       std::string_view folder) {
  HideClosedProgress();
  const bool error = kind == MessageKind::kError;
  transcript_.Event(std::string(error ? "message error \"" : "message info \"") +
                    std::string(TrimBlanks(text)) + "\"");
  QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information,
                  error ? QStringLiteral("Erreur") : QStringLiteral("Information"),
                  ToQString(TrimBlanks(text)), QMessageBox::NoButton, input_dialog_);
  // Without a folder the box is a plain message with "OK" alone.
  QPushButton* open =
      folder.empty() ? nullptr
                     : box.addButton(QStringLiteral("Ouvrir le dossier"), QMessageBox::ActionRole);
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
  if (open == nullptr || box.clickedButton() != open) return;
  const QString path =
      QFile::decodeName(QByteArray(folder.data(), static_cast<int>(folder.size())));
  const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  transcript_.Event(std::string(opened ? "folder opened: " : "folder could not be opened: ") +
                    std::string(folder));
}

void QtFrontEnd::ShowOutsideInput() {
  Window* window = current_window_ ? current_window_() : nullptr;
  if (!window) {
    HideOutsideInput();
    return;
  }
  const bool same = progress_ && progress_window_ == window && progress_name_ == window->name;
  if (!same) {
    progress_ = std::make_unique<WindowDialog>(*window, options_.picture_directories);
    progress_->setModal(false);
    progress_->set_watch_only(true);
    stop_answered_ = false;
    progress_window_ = window;
    progress_name_ = window->name;
    progress_->show();
  }
  progress_->ShowModel(*window);
  progress_->repaint();
  ++progress_redraws_;
}

void QtFrontEnd::HideClosedProgress() {
  if (!progress_) return;
  const Window* window = current_window_ ? current_window_() : nullptr;
  if (window != progress_window_ || window == nullptr || window->name != progress_name_) {
    HideOutsideInput();
  }
}

void QtFrontEnd::HideOutsideInput() {
  progress_.reset();
  progress_window_ = nullptr;
  progress_name_.clear();
}

std::string QtFrontEnd::Finish() {
  HideOutsideInput();
  return {};
}

std::unique_ptr<FrontEnd> MakeQtFrontEnd(Transcript& transcript,
                                         std::function<Window*()> current_window) {
  // Without a display the application object would end the process: ask
  // first, unless one runs already.
  if (!QApplication::instance() && !DisplayAvailable()) return nullptr;
  return std::make_unique<QtFrontEnd>(transcript, std::move(current_window));
}

}  // namespace vz::runtime
