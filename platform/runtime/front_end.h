// What a front end does for the runtime: run a window's modal input, show
// message boxes, answer yes/no questions, process pending events and tell
// whether the user asked to stop the work a progress window shows.
//
// The runtime owns the window model; a front end works on the window it is
// given for the duration of one call and keeps no pointer to it. Front ends:
// the scripted one (scenario files), the headless one (no scenario, no
// display) and the desktop one (platform/runtime/qt).
#ifndef VZ_PLATFORM_RUNTIME_FRONT_END_H_
#define VZ_PLATFORM_RUNTIME_FRONT_END_H_

#include <string>
#include <string_view>

#include "platform/runtime/window_model.h"

namespace vz::runtime {

enum class MessageKind { kError, kInfo };

// How sending a document to a printer went.
struct PrintOutcome {
  enum class Result { kPrinted, kCancelled, kUnavailable };
  Result result = Result::kUnavailable;
  // kPrinted: where the pages went (the printer's name, or the file of the
  // scripted front end); kUnavailable: why nothing was printed. cp1252.
  std::string detail;
};

// Services the runtime lends a front end during an input.
class InputHost {
 public:
  virtual ~InputHost() = default;
  // Runs the window code of a button that has an event (docs/window-library.md).
  virtual void RunButtonCode(Window& window, const Field& button) = 0;
  // The user (never the program) has changed the value or selection of field:
  // runs its WINDOW.FIELD.MODIFICATION code when the project registers one.
  // True when code ran; the front end then shows the window's new state.
  virtual bool RunChangeCode(Window& window, const Field& field) = 0;
};

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Lets the user work in window until a button, or Escape, ends the input;
  // returns the return code (at most 3 characters).
  // REQUIRES: window is the current window of the runtime.
  virtual std::string RunInput(Window& window, InputHost& host) = 0;
  virtual void ShowMessage(MessageKind kind, std::string_view text) = 0;
  virtual bool AskYesNo(std::string_view question) = 0;
  virtual void ProcessEvents() = 0;
  // True once when the user has asked to stop the work that the window shown
  // outside an input (the progress window) stands for; the program asks
  // between two steps ("Ecran,Arret") and decides what a stop means. A front
  // end with no way to ask never stops.
  virtual bool StopRequested() { return false; }
  // A message about files written in `folder` (the file system's bytes): the
  // desktop front end adds a button that opens the folder; others show the
  // message as ShowMessage does.
  virtual void ShowMessageWithFolder(MessageKind kind, std::string_view text,
                                     std::string_view /*folder*/) {
    ShowMessage(kind, text);
  }
  // Sends the pages of the PDF file `pdf` (the file system's bytes) to a
  // printer: the desktop front end lets the user choose it in the print
  // dialog; the scripted one writes them to the PDF file its scenario names
  // (`print FILE`). `title` names the document (cp1252, as messages). Front ends with no
  // printer print nothing and say so.
  virtual PrintOutcome PrintPdf(std::string_view /*pdf*/, std::string_view /*title*/) {
    return {PrintOutcome::Result::kUnavailable, "no printer on this front end"};
  }
  // At module termination: empty when all went as planned, else what is
  // wrong (for the scripted front end: scenario steps left over).
  virtual std::string Finish() = 0;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_FRONT_END_H_
