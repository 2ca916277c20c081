// The scripted front end: plays a scenario (docs/scenarios.md) as the user
// would, and fails loudly when the program and the scenario disagree.
//
// A disagreement (other window waiting, other kind of step, step that cannot
// be played, message that does not match, scenario run out) is written to
// the transcript and to the error output as "FILE:LINE: reason", and ends the
// process at once with exit code kScenarioFailureExit. Finish reports steps
// left over; the module then ends the process the same way.
#ifndef VZ_PLATFORM_RUNTIME_SCRIPTED_FRONT_END_H_
#define VZ_PLATFORM_RUNTIME_SCRIPTED_FRONT_END_H_

#include <string>
#include <string_view>

#include "platform/runtime/front_end.h"
#include "platform/runtime/scenario.h"
#include "platform/runtime/transcript.h"

namespace vz::runtime {

inline constexpr int kScenarioFailureExit = 70;

// Writes the failure to the transcript and the error output, then ends the
// process with kScenarioFailureExit. message is cp1252.
[[noreturn]] void FailLoudly(Transcript& transcript, std::string_view message);

class ScriptedFrontEnd final : public FrontEnd {
 public:
  // REQUIRES: transcript outlives the front end.
  ScriptedFrontEnd(Scenario scenario, Transcript& transcript);

  std::string RunInput(Window& window, InputHost& host) override;
  void ShowMessage(MessageKind kind, std::string_view text) override;
  bool AskYesNo(std::string_view question) override;
  void ProcessEvents() override {}
  // A "stop after N" step that is next answers yes to the Nth question since
  // it became next, and is then played; otherwise no.
  bool StopRequested() override;
  // Writes the pages to the file of the input's last `print FILE` action
  // (the document's PDF as it is); fails the scenario when none names one.
  PrintOutcome PrintPdf(std::string_view pdf, std::string_view title) override;
  std::string Finish() override;

  size_t steps_left() const { return scenario_.steps.size() - next_; }

 private:
  [[noreturn]] void Fail(int line, std::string_view why);
  const ScenarioStep* Next() const;
  // Empty on success, else why the action cannot be played.
  std::string Play(Window& window, const ScenarioAction& action, InputHost& host);
  std::string TypeInto(Window& window, const ScenarioAction& action);
  std::string See(const Window& window, const ScenarioAction& action);
  std::string Sort(Field& table, const ScenarioAction& action);
  // Plays a switch, choose or pick action on field.
  std::string Choose(Field* field, const ScenarioAction& action);

  Scenario scenario_;
  Transcript& transcript_;
  size_t next_ = 0;
  int stop_questions_ = 0;  // questions seen while a stop step is next
  std::string print_file_;  // where the next print goes ("print FILE")
  int print_line_ = 0;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_SCRIPTED_FRONT_END_H_
