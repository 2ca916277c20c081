// The screen command bridge: the one path from the program to the windows.
//
// SendCommand rewrites a few command forms (window open and close hooks,
// quote protection, the accented "exécute" verb), starts the screen module on
// first use, executes the command and publishes three results: the return
// code (changed only by "Ecran,Saisie"), the returned text and the integer
// return value. Commands are cp1252 and cut to 254 characters. Nothing is
// reported by the bridge itself; callers test the results. Single-threaded;
// the only re-entry is the nested hook command.
//
// REQUIRES: a screen runtime connected (runtime_link.h) before the first
// command; without one the first command ends the process with a message.
#ifndef VZ_SRC_SCREEN_BRIDGE_H_
#define VZ_SRC_SCREEN_BRIDGE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace vz::screen {

void SendCommand(std::string_view command);

// Results of the last command (the return code: of the last "Ecran,Saisie").
const std::string& ReturnCode();
const std::string& ReturnedText();
int32_t IntegerReturnValue();

// Ends the screen module if it was started; otherwise does nothing.
void TerminateModule();

}  // namespace vz::screen

#endif  // VZ_SRC_SCREEN_BRIDGE_H_
