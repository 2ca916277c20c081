// Window verbs: "Ouvre" (open a library window, optionally at x,y), "Ferme"
// (close the current window) and "Ecran,Saisie" (the front end's modal input
// on the current window).
//
// Opening the window that is already current starts it afresh in place, so
// that a window opened twice in a row (the progress window) is closed by one
// "Ferme". "Ecran,Saisie" with no window open ends with the return code "ESC"
// so that a caller waiting for a leaving code does not loop for ever.
//
// Once a window is in place, the opening code the project registered under
// WINDOW.WINDOW.OUVERTURE runs (the window fills its own lists and tables from
// the data) before the program's next command.
#include "platform/runtime/interpreter.h"
#include "platform/runtime/line_format.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

constexpr std::string_view kNoWindowCode = "ESC";
constexpr size_t kReturnCodeLength = 3;
constexpr std::string_view kOpeningEvent = "OUVERTURE";

}  // namespace

CommandResult RunOpen(Session& session, std::string_view args) {
  auto [name, position] = SplitAtComma(args);
  name = TrimBlanks(name);
  if (name.empty()) return session.Fail("Ouvre names no window");
  const WindowLibrary* library = session.Library();
  if (!library)
    return session.Fail("no window library is loaded; cannot open \"" + std::string(name) + "\"");
  const Window* model = library->Find(name);
  if (!model) return session.Fail("unknown window \"" + std::string(name) + "\"");

  Window* current = session.CurrentWindow();
  Window* window = nullptr;
  if (current && WindowKey(current->name) == WindowKey(model->name)) {
    session.Note("window \"" + model->name + "\" is already current: started afresh");
    *current = *model;
    window = current;
  } else {
    window = &session.OpenWindow(*model);
  }
  if (!position.empty()) {
    auto [x_text, y_text] = SplitAtComma(position);
    int x = 0;
    int y = 0;
    if (ParseWholeNumber(TrimBlanks(x_text), x) && ParseWholeNumber(TrimBlanks(y_text), y)) {
      window->rect.x = x;
      window->rect.y = y;
    } else {
      session.Note("position \"" + std::string(position) +
                   "\" is not x,y: window opened at its own place");
    }
  }
  session.RunWindowCode(*window, window->name, kOpeningEvent);
  return {};
}

CommandResult RunClose(Session& session, std::string_view args) {
  if (!TrimBlanks(args).empty()) session.Note("Ferme takes no argument; ignored");
  if (!session.CurrentWindow()) return session.Fail("Ferme with no window open");
  session.CloseCurrentWindow();
  return {};
}

CommandResult RunInput(Session& session, std::string_view /*args*/) {
  Window* window = session.CurrentWindow();
  if (!window) {
    session.set_return_code(std::string(kNoWindowCode));
    return session.Fail("Ecran,Saisie with no window open: ends with \"ESC\"");
  }
  std::string code = session.Front().RunInput(*window, session);
  if (code.size() > kReturnCodeLength) {
    session.Note("return code \"" + code + "\" cut to 3 characters");
    code.resize(kReturnCodeLength);
  }
  session.set_return_code(std::move(code));
  return {};
}

}  // namespace vz::runtime
