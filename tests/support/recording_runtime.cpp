#include "tests/support/recording_runtime.h"

#include <algorithm>
#include <cstring>

#include "platform/runtime/wd_api.h"
#include "src/screen/runtime_link.h"

namespace vz::testing {
namespace {

constexpr std::string_view kSwitchTest = "EstUnInterrupteur\", \"";
constexpr std::string_view kSwitchVariable = "RECUPERE,gsEstUnInterrupteurRetour";
constexpr std::string_view kDisplay = "AFFICHE,";
constexpr std::string_view kRead = "ECRAN,RECUPERE,";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

RecordingRuntime& RecordingRuntime::Get() {
  static RecordingRuntime runtime;
  return runtime;
}

void RecordingRuntime::Reset() {
  calls_.clear();
  rules_.clear();
  switch_fields_.clear();
  fields_.clear();
  switch_answer_.clear();
  hook_ = nullptr;
  last_integer_ = 0;
  init_count_ = 0;
  term_count_ = 0;
}

void RecordingRuntime::AnswerInTurn(std::string prefix, std::vector<RuntimeAnswer> answers) {
  if (answers.empty()) answers.push_back({});
  rules_[std::move(prefix)] = Rule{std::move(answers), 0};
}

std::vector<std::string> RecordingRuntime::Commands() const {
  std::vector<std::string> commands;
  for (const RuntimeCall& call : calls_) {
    if (call.kind == RuntimeCall::Kind::kExecute) commands.push_back(call.command);
  }
  return commands;
}

std::vector<std::string> RecordingRuntime::ProgramCommands() const {
  std::vector<std::string> commands;
  for (std::string& command : Commands()) {
    if (command.find("EstUnInterrupteur") != std::string::npos) continue;
    if (command.find("OUVREFEN") != std::string::npos) continue;
    if (command.find("FermeFen") != std::string::npos) continue;
    commands.push_back(std::move(command));
  }
  return commands;
}

std::string OpenWindowHook(std::string_view arguments) {
  return "EX\xE9"
         "CUTE(\"OUVREFEN\",\"" +
         std::string(arguments) + "\")";
}

std::string CloseWindowHook() {
  return "EX\xE9"
         "CUTE(\"FermeFen\")";
}

int32_t RecordingRuntime::Init(uint8_t* block) {
  ++init_count_;
  calls_.push_back({RuntimeCall::Kind::kInit, "", block[1], block[2], block});
  return 0;
}

int32_t RecordingRuntime::Term(uint8_t* block) {
  ++term_count_;
  calls_.push_back({RuntimeCall::Kind::kTerm, "", 0, 0, block});
  return 0;
}

RuntimeAnswer RecordingRuntime::DefaultAnswer(const std::string& command) {
  RuntimeAnswer answer;
  size_t at = command.find(kSwitchTest);
  if (at != std::string::npos) {
    std::string rest = command.substr(at + kSwitchTest.size());
    std::string field = rest.substr(0, rest.find('"'));
    switch_answer_ = switch_fields_.count(field) ? "OUI" : "NON";
  } else if (command == kSwitchVariable) {
    answer.returned_text = switch_answer_;
  } else if (StartsWith(command, kDisplay)) {
    std::string rest = command.substr(kDisplay.size());
    size_t equals = rest.find('=');
    if (equals != std::string::npos) fields_[rest.substr(0, equals)] = rest.substr(equals + 1);
  } else if (StartsWith(command, kRead)) {
    auto found = fields_.find(command.substr(kRead.size()));
    if (found != fields_.end()) answer.returned_text = found->second;
  }
  return answer;
}

int32_t RecordingRuntime::Execute(uint8_t* block, const char* command_text) {
  std::string command(command_text);
  calls_.push_back({RuntimeCall::Kind::kExecute, command, 0, 0, block});
  if (hook_) hook_(command);

  // The longest prefix that matches answers; otherwise the plain behaviour.
  Rule* rule = nullptr;
  size_t best = 0;
  for (auto& [prefix, candidate] : rules_) {
    if (StartsWith(command, prefix) && (rule == nullptr || prefix.size() > best)) {
      rule = &candidate;
      best = prefix.size();
    }
  }
  RuntimeAnswer answer;
  if (rule != nullptr) {
    answer = rule->answers[std::min(rule->next, rule->answers.size() - 1)];
    if (rule->next < rule->answers.size()) ++rule->next;
  } else {
    answer = DefaultAnswer(command);
  }

  WriteText(block, kWdReturnedTextOffset, kWdReturnedTextLength, answer.returned_text);
  if (answer.return_code) {
    WriteText(block, kWdReturnCodeOffset, kWdReturnCodeLength, *answer.return_code);
  }
  last_integer_ = answer.integer;
  return 0;
}

void RecordingRuntime::WriteText(uint8_t* block, size_t offset, size_t length,
                                 std::string_view text) {
  // As the runtime does: the bytes, then a NUL when shorter than the field.
  size_t count = std::min(text.size(), length);
  std::memcpy(block + offset, text.data(), count);
  if (count < length) block[offset + count] = 0;
}

}  // namespace vz::testing

// Linking this file connects the double to the screen bridge, before any
// test runs.
namespace vz::testing {
namespace {

int32_t RecordedInit(uint8_t* module_block) {
  return RecordingRuntime::Get().Init(module_block);
}

int32_t RecordedExecute(uint8_t* module_block, const char* command) {
  return RecordingRuntime::Get().Execute(module_block, command);
}

int32_t RecordedValue() {
  return RecordingRuntime::Get().LastInteger();
}

int32_t RecordedTerm(uint8_t* module_block) {
  return RecordingRuntime::Get().Term(module_block);
}

const bool connected_at_load = [] {
  screen::ConnectRuntime({&RecordedInit, &RecordedExecute, &RecordedValue, &RecordedTerm});
  return true;
}();

}  // namespace
}  // namespace vz::testing
