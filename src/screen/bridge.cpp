// The screen command bridge. Rules, in the order they apply to each command:
// close hook, open hook, return code saved, "ECRAN,SAISIE" cut, quote rule,
// accented verb rule, 254-character cut, lazy module start, execution, results
// read back, return code restored. The runtime is the one connected by the
// program (runtime_link.h).
#include "src/screen/bridge.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/os/accents.h"
#include "platform/os/ascii_case.h"
#include "platform/runtime/wd_api.h"
#include "src/screen/bridge_for_tests.h"
#include "src/screen/runtime_link.h"
#include "src/util/blanks.h"

namespace vz::screen {
namespace {

constexpr size_t kShortStringLength = 255;
constexpr size_t kCommandLength = 254;
constexpr std::string_view kInputCommand = "ECRAN,SAISIE";
constexpr char kAccentedE = '\xE9';  // cp1252 "é"

struct BridgeState {
  uint8_t module_block[kWdModuleBlockSize] = {};
  char command_buffer[kCommandLength + 1] = {};
  bool module_started = false;
  // The command being rewritten: kept so that its room is reused by every
  // command (a selection sends several per client).
  std::string rewrite;
  std::string return_code;
  std::string returned_text;
  int32_t integer_return_value = 0;
};

BridgeState& State() {
  static BridgeState state;
  return state;
}

// Set once by the program before anything runs; constant-initialised, so a
// runtime connected while static objects are built is kept.
constinit RuntimeEntryPoints g_runtime{};

// The exit code of a run that cannot go on (the runtime's own, for a
// scenario it cannot follow).
constexpr int kNoRuntimeExit = 70;

[[noreturn]] void FailLoudly(const char* reason) {
  std::fprintf(stderr, "screen bridge: %s\n", reason);
  std::fflush(stderr);
  std::_Exit(kNoRuntimeExit);
}

const RuntimeEntryPoints& Runtime() {
  if (!g_runtime.init_module) {
    FailLoudly("a screen command is sent and no screen runtime is connected (ConnectRuntime)");
  }
  return g_runtime;
}

// Reads a field of the module block up to NUL, carriage return or its length.
std::string_view ReadBlockText(const uint8_t* block, size_t offset, size_t length) {
  const char* start = reinterpret_cast<const char*>(block + offset);
  size_t count = 0;
  while (count < length && start[count] != '\0' && start[count] != '\r') ++count;
  return std::string_view(start, count);
}

// Open hook: the window argument is what follows "Ouvre," up to ".WDW" (when
// present), upper-cased, handed to the project's OUVREFEN procedure.
std::string OpenHookCommand(std::string_view command) {
  constexpr size_t kArgumentStart = 6;  // after "Ouvre,"
  size_t end = os::AsciiUpper(command).find(".WDW");
  if (end == std::string::npos) end = command.size();
  std::string_view argument;
  if (end > kArgumentStart) argument = command.substr(kArgumentStart, end - kArgumentStart);
  return "EXECUTE(\"OUVREFEN\",\"" + os::AsciiUpper(argument) + "\")";
}

// Both rules below concern commands whose verb is "execute" (a procedure of the
// screen project or a window's code), and only those: a command whose
// arguments merely contain the word (a client's name, a typed title, a
// message) is never turned into a procedure call, and keeps the quote rule.
constexpr std::string_view kExecuteVerb = "EXECUTE";

// Quote rule: double quotes would end the runtime's own string arguments, so
// they become single quotes, except in commands that run a procedure (whose
// verb may be written with its accents).
void ApplyQuoteRule(std::string& command) {
  if (command.find('"') == std::string::npos) return;
  const std::string_view verb = std::string_view(command).substr(0, kExecuteVerb.size());
  if (os::UpperWithoutAccents(verb) == kExecuteVerb) return;
  std::replace(command.begin(), command.end(), '"', '\'');
}

// Accented verb rule: the runtime knows its procedure call verb as "exécute".
void ApplyAccentedVerbRule(std::string& command) {
  if (!os::StartsWithIgnoringAsciiCase(command, kExecuteVerb)) return;
  if (os::FindIgnoringAsciiCase(command, "executer") != std::string::npos) return;
  size_t call = os::FindIgnoringAsciiCase(command, "execute(");
  if (call != std::string::npos) {
    command[call + 2] = kAccentedE;
    return;
  }
  if (command.find('.') != std::string::npos) return;  // window code: "Execute,BOUTON1.CLIC"
  size_t comma_form = os::FindIgnoringAsciiCase(command, "execute,");
  size_t start = comma_form != std::string::npos ? comma_form + 8 : 7;
  std::string name = start < command.size() ? command.substr(start) : std::string();
  command = std::string("ex") + kAccentedE + "cute(\"" + util::TrimRightBlanksAndNuls(name) + "\")";
}

}  // namespace

void SendCommand(std::string_view caller_command) {
  BridgeState& state = State();
  // A short string: the program's texts never exceed 255 characters.
  const std::string_view caller = caller_command.substr(0, kShortStringLength);

  // The hooks run first and finish before the caller's command is copied
  // into the rewrite room, which they use themselves.
  if (os::StartsWithIgnoringAsciiCase(caller, "FERME")) SendCommand("EXECUTE(\"FermeFen\")");
  if (os::StartsWithIgnoringAsciiCase(caller, "OUVRE")) SendCommand(OpenHookCommand(caller));

  std::string& command = state.rewrite;
  command.assign(caller);

  const bool is_input = os::StartsWithIgnoringAsciiCase(command, kInputCommand);
  std::string saved_return_code;
  if (!is_input) saved_return_code = state.return_code;
  if (is_input) command.assign(kInputCommand);

  ApplyQuoteRule(command);
  ApplyAccentedVerbRule(command);

  size_t length = std::min(command.size(), kCommandLength);
  std::memcpy(state.command_buffer, command.data(), length);
  state.command_buffer[length] = '\0';
  const bool sets_return_code =
      os::StartsWithIgnoringAsciiCase(state.command_buffer, kInputCommand);

  if (!state.module_started) {
    state.module_block[1] = 2;
    state.module_block[2] = 0;
    Runtime().init_module(state.module_block);
    state.module_started = true;
  }

  Runtime().execute_command(state.module_block, state.command_buffer);

  state.return_code.assign(
      ReadBlockText(state.module_block, kWdReturnCodeOffset, kWdReturnCodeLength));
  state.returned_text.assign(
      ReadBlockText(state.module_block, kWdReturnedTextOffset, kWdReturnedTextLength));
  state.integer_return_value = Runtime().return_value();

  if (!sets_return_code) state.return_code = saved_return_code;
}

const std::string& ReturnCode() {
  return State().return_code;
}
const std::string& ReturnedText() {
  return State().returned_text;
}
int32_t IntegerReturnValue() {
  return State().integer_return_value;
}

void TerminateModule() {
  BridgeState& state = State();
  if (!state.module_started) return;
  Runtime().term_module(state.module_block);
  state.module_started = false;
}

void ConnectRuntime(const RuntimeEntryPoints& runtime) {
  if (!runtime.init_module || !runtime.execute_command || !runtime.return_value ||
      !runtime.term_module) {
    FailLoudly("the screen runtime connected lacks one of its four entry points");
  }
  g_runtime = runtime;
}

void ResetBridgeForTests() {
  BridgeState& state = State();
  state = BridgeState{};
}

}  // namespace vz::screen
