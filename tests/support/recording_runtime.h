// A recording stand-in for the screen runtime, for tests of the program's
// screens.
//
// It plays the runtime's four entry points (InitModule, WDExecuteCommande,
// nGetValeurRetour, TermModule), connected to the screen bridge when the
// program is loaded (src/screen/runtime_link.h): linking the object library
// vz_test_recording_runtime is all a test does. Every call is recorded,
// every command exactly as received (cp1252 bytes, without the final NUL), and
// each command is answered from a small table that the test sets: integer
// result, returned text and return code, chosen by command prefix. A prefix may
// hold a queue of answers (successive "ECRAN,SAISIE" of a menu): each match
// takes the next one, and the last one repeats.
//
// Without a matching answer the double behaves like a plain runtime: it keeps
// the values displayed with "AFFICHE,<field>=<value>" and gives them back to
// "ECRAN,RECUPERE,<field>"; it answers the switch test
// 'Exécute("EstUnInterrupteur", "<field>")' from its set of switch fields and
// gives "OUI" or "NON" to "RECUPERE,gsEstUnInterrupteurRetour"; every other
// command leaves an empty returned text and the integer 0. The return code in
// the block changes only when an answer names one.
//
// One process-wide instance (the bridge holds plain function pointers); tests
// call Reset() first. Single-threaded. Nothing here fails: unknown commands are
// recorded like the others.
#ifndef VZ_TESTS_SUPPORT_RECORDING_RUNTIME_H_
#define VZ_TESTS_SUPPORT_RECORDING_RUNTIME_H_

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vz::testing {

// One answer to a command: what the runtime leaves after it.
struct RuntimeAnswer {
  int32_t integer = 0;
  std::string returned_text;
  std::optional<std::string> return_code;  // unset: the block's code is left alone
};

// One call to an entry point, in call order.
struct RuntimeCall {
  enum class Kind { kInit, kExecute, kTerm };
  Kind kind;
  std::string command;      // kExecute: the command as received
  uint8_t block_byte1 = 0;  // kInit: bytes 1 and 2 of the module block
  uint8_t block_byte2 = 0;
  const uint8_t* block = nullptr;  // the module block handed over
};

class RecordingRuntime {
 public:
  static RecordingRuntime& Get();

  // Forgets every call, answer, field, switch and hook.
  void Reset();

  // Answers commands that start with `prefix` (byte comparison, case kept).
  // The longest matching prefix wins. Successive matches take the answers in
  // turn; the last one then repeats.
  void AnswerInTurn(std::string prefix, std::vector<RuntimeAnswer> answers);
  void Answer(std::string prefix, RuntimeAnswer answer) {
    AnswerInTurn(std::move(prefix), std::vector<RuntimeAnswer>{std::move(answer)});
  }

  // Fields reported as switches by the switch test.
  void SetSwitchField(std::string field) { switch_fields_.insert(std::move(field)); }

  // Field values as "AFFICHE," left them; tests may change them to play the
  // user's typing before an "ECRAN,SAISIE".
  std::map<std::string, std::string>& fields() { return fields_; }

  // Called for every executed command, before it is answered.
  void SetCommandHook(std::function<void(const std::string&)> hook) { hook_ = std::move(hook); }
  // The hook in place (empty when none), for a caller that wraps it.
  const std::function<void(const std::string&)>& command_hook() const { return hook_; }

  const std::vector<RuntimeCall>& calls() const { return calls_; }
  // The executed commands only, in order.
  std::vector<std::string> Commands() const;
  // The same without those the screen bridge sends itself: the switch tests
  // of the field access ("EstUnInterrupteur") and the window hooks around
  // "Ouvre," and "Ferme" (OpenWindowHook, CloseWindowHook below).
  std::vector<std::string> ProgramCommands() const;
  int init_count() const { return init_count_; }
  int term_count() const { return term_count_; }

  // Entry point bodies.
  int32_t Init(uint8_t* block);
  int32_t Execute(uint8_t* block, const char* command);
  int32_t Term(uint8_t* block);
  int32_t LastInteger() const { return last_integer_; }

 private:
  struct Rule {
    std::vector<RuntimeAnswer> answers;
    size_t next = 0;
  };
  RuntimeAnswer DefaultAnswer(const std::string& command);
  static void WriteText(uint8_t* block, size_t offset, size_t length, std::string_view text);

  std::vector<RuntimeCall> calls_;
  std::map<std::string, Rule> rules_;
  std::set<std::string> switch_fields_;
  std::map<std::string, std::string> fields_;
  std::string switch_answer_;
  std::function<void(const std::string&)> hook_;
  int32_t last_integer_ = 0;
  int init_count_ = 0;
  int term_count_ = 0;
};

// What the screen bridge sends before the program's "Ouvre,<arguments>" and
// before its "Ferme" (cp1252).
std::string OpenWindowHook(std::string_view arguments);
std::string CloseWindowHook();

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_RECORDING_RUNTIME_H_
