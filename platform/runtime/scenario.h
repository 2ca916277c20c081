// A scenario script for the scripted front end (format: docs/scenarios.md):
// the inputs, answers and expected messages of one run of the program, in
// order.
//
// ParseScenario checks the whole script before anything is played and returns
// the first fault as "FILE:LINE: reason". Every step keeps the line it was
// written on, for the messages of a failed run.
#ifndef VZ_PLATFORM_RUNTIME_SCENARIO_H_
#define VZ_PLATFORM_RUNTIME_SCENARIO_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/front_end.h"

namespace vz::runtime {

struct ScenarioAction {
  enum class Kind {
    kType, kSwitch, kChoose, kPickRow, kPickText, kPickCell, kClick, kSort, kSee, kPrint
  };
  Kind kind = Kind::kType;
  int line = 0;
  std::string field;   // field, cell address ("VALDEB,03"), table or list
  std::string column;  // kPickCell, kSort
  std::string text;    // typed text, picked text, "on"/"off", text seen; kSort: "up"/"down";
                       // kPrint: the PDF file the next print goes to
  int number = 0;      // kChoose, kPickRow
};

struct ScenarioStep {
  enum class Kind { kInput, kAnswer, kExpect, kStop };
  Kind kind = Kind::kInput;
  int line = 0;
  // kInput
  std::string window;
  std::vector<ScenarioAction> actions;
  std::string code;
  int code_line = 0;
  // kAnswer
  bool yes = false;
  std::optional<std::string> question;
  // kExpect
  MessageKind message_kind = MessageKind::kError;
  std::string message;
  // kStop: the stop is asked for at the program's stop_after-th question
  // "Ecran,Arret" counted from the step before it.
  int stop_after = 0;
};

struct Scenario {
  std::string file;
  int last_line = 1;  // the file's last line, where a scenario that ran out is reported
  std::vector<ScenarioStep> steps;
};

struct ScenarioLoad {
  std::optional<Scenario> scenario;
  std::string error;
};

ScenarioLoad ParseScenario(std::string_view utf8_content, std::string_view file_name);

// Describes a step for messages: "input MENU", "answer yes", "expect error ...",
// "stop after 2".
std::string DescribeStep(const ScenarioStep& step);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_SCENARIO_H_
