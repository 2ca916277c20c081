// Message verbs, shown or answered by the front end:
//   "Erreur," + text     error box; integer 0
//   "info," + text       information box; integer 0
//   "OUINON," + question integer 1 for yes, 0 for no
//   "MULTITACHE," + n    the front end processes pending events; integer 0
//   "Ecran,Arret"        integer 1 when the user asked to stop the work the
//                        progress window shows (FrontEnd::StopRequested), else 0
#include "platform/runtime/interpreter.h"

namespace vz::runtime {

CommandResult RunErrorBox(Session& session, std::string_view args) {
  session.Front().ShowMessage(MessageKind::kError, args);
  return {};
}

CommandResult RunInfoBox(Session& session, std::string_view args) {
  session.Front().ShowMessage(MessageKind::kInfo, args);
  return {};
}

CommandResult RunQuestion(Session& session, std::string_view args) {
  return {session.Front().AskYesNo(args) ? 1 : 0, {}};
}

CommandResult RunEvents(Session& session, std::string_view /*args*/) {
  session.Front().ProcessEvents();
  return {};
}

CommandResult RunStopQuestion(Session& session, std::string_view /*args*/) {
  return {session.Front().StopRequested() ? 1 : 0, {}};
}

}  // namespace vz::runtime
