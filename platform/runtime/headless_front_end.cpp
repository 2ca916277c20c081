#include "platform/runtime/headless_front_end.h"

#include "platform/os/cp1252.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {

void HeadlessFrontEnd::AnnounceOnce() {
  if (announced_) return;
  announced_ = true;
  std::fprintf(out_, "Fenêtres : pas encore disponibles sans scénario (VZ_SCENARIO)\n");
  std::fflush(out_);
}

std::string HeadlessFrontEnd::RunInput(Window& window, InputHost& /*host*/) {
  AnnounceOnce();
  transcript_.Event("input " + window.name + " ended with \"ESC\" (no scenario)");
  return "ESC";
}

void HeadlessFrontEnd::ShowMessage(MessageKind kind, std::string_view text) {
  const char* title = kind == MessageKind::kError ? "Erreur" : "Information";
  std::fprintf(out_, "%s : %s\n", title, os::Utf8(TrimBlanks(text)).c_str());
  std::fflush(out_);
  transcript_.Event(
      std::string(kind == MessageKind::kError ? "message error \"" : "message info \"") +
      std::string(TrimBlanks(text)) + "\"");
}

bool HeadlessFrontEnd::AskYesNo(std::string_view question) {
  AnnounceOnce();
  transcript_.Event("the program asks \"" + std::string(TrimBlanks(question)) +
                    "\": yes (no scenario)");
  return true;
}

}  // namespace vz::runtime
