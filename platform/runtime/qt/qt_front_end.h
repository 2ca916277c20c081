// The desktop front end: each window of the library a dialog (WindowDialog),
// "Ecran,Saisie" its modal loop, message boxes in French, pending events on
// "MULTITACHE,-2", and the Escape key state for the program's waits.
//
// It creates the application object when none exists yet and owns it then.
// A change the user makes to a switch, an option group, a list or a table
// selection runs the field's change code (InputHost::RunChangeCode) and the
// dialog shows its effect at once. A window that is current outside an input
// (the progress window during a run) is shown without a modal loop each time
// events are processed, at most once per progress interval (default 40 ms: 25
// times a second) so that a long run is not slowed by drawing; the adviser
// watches it and cannot close it (its buttons with a return code, Escape and
// the close box ask to stop the work: StopRequested); once
// the program has closed it, it goes at the next input, message or question,
// or the next time events are processed. While
// it lives, the front end is the source of vz::os::EscapeKeyDown().
//
// The transcript and the current-window function are borrowed; the window
// given to RunInput is borrowed for that call only. Single-threaded: every
// call comes from the thread that made the front end.
#ifndef VZ_PLATFORM_RUNTIME_QT_QT_FRONT_END_H_
#define VZ_PLATFORM_RUNTIME_QT_QT_FRONT_END_H_

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/front_end.h"
#include "platform/runtime/qt/window_dialog.h"
#include "platform/runtime/transcript.h"

class QApplication;
class QObject;

namespace vz::runtime {

class QtFrontEnd final : public FrontEnd {
 public:
  struct Options {
    // Where image fields find their pictures; empty: the current directory
    // and its "images" folder, then the same in its parent, then the folder
    // of pictures the project makes (made_pictures.h).
    std::vector<std::filesystem::path> picture_directories;
    std::chrono::milliseconds progress_interval{40};
  };

  // REQUIRES: transcript outlives the front end; current_window (may be
  // empty) returns the runtime's current window or nullptr.
  QtFrontEnd(Transcript& transcript, std::function<Window*()> current_window, Options options);
  QtFrontEnd(Transcript& transcript, std::function<Window*()> current_window)
      : QtFrontEnd(transcript, std::move(current_window), Options{}) {}
  ~QtFrontEnd() override;

  std::string RunInput(Window& window, InputHost& host) override;
  void ShowMessage(MessageKind kind, std::string_view text) override;
  bool AskYesNo(std::string_view question) override;
  void ProcessEvents() override;
  // Processes pending events (at most once per progress interval), then tells
  // whether the user asked to stop in the window shown outside an input; the
  // request is answered once.
  bool StopRequested() override;
  // A message box with "OK" and "Ouvrir le dossier", which opens the folder
  // in the desktop's file manager and leaves the box; with no folder, the
  // plain message box of ShowMessage.
  void ShowMessageWithFolder(MessageKind kind, std::string_view text,
                             std::string_view folder) override;
  // The print dialog, then the PDF's pages on the printer chosen
  // (pdf_printing.h).
  PrintOutcome PrintPdf(std::string_view pdf, std::string_view title) override;
  std::string Finish() override;

  // The dialog of the input running now, else nullptr (for tests).
  WindowDialog* input_dialog() const { return input_dialog_; }
  // The window shown outside an input, else nullptr (for tests).
  WindowDialog* progress_dialog() const { return progress_.get(); }
  // How many times the window outside an input has been redrawn.
  int progress_redraws() const { return progress_redraws_; }
  bool escape_down() const { return escape_down_; }

 private:
  void ShowOutsideInput();
  void HideOutsideInput();
  // Hides the window shown outside an input when the program has closed it
  // since (a message after a run must not stand over a finished progress).
  void HideClosedProgress();

  Transcript& transcript_;
  std::function<Window*()> current_window_;
  Options options_;
  std::unique_ptr<QApplication> own_application_;
  std::unique_ptr<QObject> key_watch_;
  bool escape_down_ = false;
  WindowDialog* input_dialog_ = nullptr;
  std::unique_ptr<WindowDialog> progress_;
  const Window* progress_window_ = nullptr;
  std::string progress_name_;
  int progress_redraws_ = 0;
  bool stop_answered_ = false;  // the progress dialog's stop request was answered
  std::chrono::steady_clock::time_point last_events_{};
};

// Makes the desktop front end for the module, or nullptr when no display can
// be opened.
std::unique_ptr<FrontEnd> MakeQtFrontEnd(Transcript& transcript,
                                         std::function<Window*()> current_window);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_QT_QT_FRONT_END_H_
