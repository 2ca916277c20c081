#include "platform/runtime/scenario.h"

#include "platform/runtime/line_format.h"
#include "platform/runtime/window_model.h"
#include "platform/runtime/quoted.h"

namespace vz::runtime {
namespace {

class ScenarioParser {
 public:
  explicit ScenarioParser(std::string_view file) {
    scenario_.file = std::string(file);
    scenario_.last_line = 1;  // an empty file runs out "on line 1"
  }

  ScenarioLoad Parse(std::string_view content) {
    const SourceLines source = SplitSourceLines(content);
    if (!source.error.empty()) return Fail(source.error_line, source.error);
    for (const auto& line : source.lines) {
      scenario_.last_line = line.number;
      const TokenizedLine tokens = TokenizeLine(line.text);
      if (!tokens.error.empty()) return Fail(line.number, tokens.error);
      if (tokens.words.empty()) continue;
      line_ = line.number;
      words_.clear();
      for (const auto& word : tokens.words) words_.push_back(word.Text());
      quoted_.clear();
      for (const auto& word : tokens.words) quoted_.push_back(word.quoted);
      const std::string error = Statement();
      if (!error.empty()) return Fail(line_, error);
    }
    if (open_input_) {
      return Fail(scenario_.steps.back().line,
                  "input of " + Quoted(scenario_.steps.back().window) + " has no \"press\"");
    }
    ScenarioLoad load;
    load.scenario = std::move(scenario_);
    return load;
  }

 private:
  ScenarioLoad Fail(int line, std::string_view message) {
    ScenarioLoad load;
    load.error = WhereAndWhy(scenario_.file, line, message);
    return load;
  }

  std::string Count(size_t min, size_t max, std::string_view usage) {
    if (words_.size() < min || words_.size() > max) return "usage: " + std::string(usage);
    return {};
  }

  std::string Statement() {
    const std::string& keyword = words_[0];
    if (quoted_[0]) return "a statement must start with a keyword";
    if (keyword == "input") return Input();
    if (keyword == "press") return Press(1);
    if (keyword == "answer") return Answer();
    if (keyword == "expect") return Expect();
    if (keyword == "stop") return Stop();
    if (keyword == "type" || keyword == "switch" || keyword == "choose" || keyword == "pick" ||
        keyword == "click" || keyword == "sort" || keyword == "see" || keyword == "print") {
      if (!open_input_) return Quoted(keyword) + " outside an \"input\" ... \"press\" block";
      return Action(keyword);
    }
    return "unknown statement " + Quoted(keyword);
  }

  std::string CloseCheck() {
    if (open_input_) {
      return "input of " + Quoted(scenario_.steps.back().window) + " (line " +
             std::to_string(scenario_.steps.back().line) + ") has no \"press\"";
    }
    return {};
  }

  std::string Input() {
    if (auto error = CloseCheck(); !error.empty()) return error;
    if (words_.size() != 2 && !(words_.size() == 4 && words_[2] == "press")) {
      return "usage: input WINDOW [press CODE]";
    }
    ScenarioStep step;
    step.kind = ScenarioStep::Kind::kInput;
    step.line = line_;
    step.window = words_[1];
    if (WindowKey(step.window).empty()) return "input names no window";
    scenario_.steps.push_back(std::move(step));
    open_input_ = true;
    return words_.size() == 4 ? Press(3) : std::string();
  }

  std::string Press(size_t at) {
    if (!open_input_) return "\"press\" without an open \"input\"";
    if (words_.size() != at + 1) return "usage: press CODE";
    const std::string& code = words_[at];
    if (code.empty() || code.size() > 3)
      return "return code " + Quoted(code) + " must have 1 to 3 characters";
    scenario_.steps.back().code = code;
    scenario_.steps.back().code_line = line_;
    open_input_ = false;
    return {};
  }

  std::string Answer() {
    if (auto error = CloseCheck(); !error.empty()) return error;
    if (auto error = Count(2, 3, "answer yes|no [QUESTION]"); !error.empty()) return error;
    if (words_[1] != "yes" && words_[1] != "no")
      return "answer must be \"yes\" or \"no\", not " + Quoted(words_[1]);
    ScenarioStep step;
    step.kind = ScenarioStep::Kind::kAnswer;
    step.line = line_;
    step.yes = words_[1] == "yes";
    if (words_.size() == 3) step.question = words_[2];
    scenario_.steps.push_back(std::move(step));
    return {};
  }

  std::string Expect() {
    if (auto error = CloseCheck(); !error.empty()) return error;
    if (auto error = Count(3, 3, "expect error|info TEXT"); !error.empty()) return error;
    ScenarioStep step;
    step.kind = ScenarioStep::Kind::kExpect;
    step.line = line_;
    if (words_[1] == "error") {
      step.message_kind = MessageKind::kError;
    } else if (words_[1] == "info") {
      step.message_kind = MessageKind::kInfo;
    } else {
      return "expect takes \"error\" or \"info\", not " + Quoted(words_[1]);
    }
    step.message = words_[2];
    scenario_.steps.push_back(std::move(step));
    return {};
  }

  std::string Stop() {
    if (auto error = CloseCheck(); !error.empty()) return error;
    if (words_.size() != 3 || words_[1] != "after") return "usage: stop after N";
    ScenarioStep step;
    step.kind = ScenarioStep::Kind::kStop;
    step.line = line_;
    if (!ParseRowNumber(words_[2], step.stop_after))
      return "stop after " + Quoted(words_[2]) + ": not a number from 1";
    scenario_.steps.push_back(std::move(step));
    return {};
  }

  std::string Action(const std::string& keyword) {
    ScenarioAction action;
    action.line = line_;
    if (keyword == "type") {
      if (auto error = Count(3, 3, "type FIELD TEXT"); !error.empty()) return error;
      action.kind = ScenarioAction::Kind::kType;
      action.text = words_[2];
    } else if (keyword == "switch") {
      if (auto error = Count(3, 3, "switch FIELD on|off"); !error.empty()) return error;
      if (words_[2] != "on" && words_[2] != "off")
        return "switch takes \"on\" or \"off\", not " + Quoted(words_[2]);
      action.kind = ScenarioAction::Kind::kSwitch;
      action.text = words_[2];
    } else if (keyword == "choose") {
      if (auto error = Count(3, 3, "choose FIELD N"); !error.empty()) return error;
      action.kind = ScenarioAction::Kind::kChoose;
      if (!ParseRowNumber(words_[2], action.number))
        return "choice " + Quoted(words_[2]) + " is not a number from 1";
    } else if (keyword == "pick") {
      if (auto error = Count(3, 4, "pick FIELD N | pick FIELD TEXT | pick TABLE COLUMN TEXT");
          !error.empty()) {
        return error;
      }
      if (words_.size() == 4) {
        action.kind = ScenarioAction::Kind::kPickCell;
        action.column = words_[2];
        action.text = words_[3];
      } else if (!quoted_[2] && ParseRowNumber(words_[2], action.number)) {
        action.kind = ScenarioAction::Kind::kPickRow;
      } else {
        action.kind = ScenarioAction::Kind::kPickText;
        action.text = words_[2];
      }
    } else if (keyword == "sort") {
      if (auto error = Count(3, 4, "sort TABLE COLUMN [up|down]"); !error.empty()) return error;
      action.kind = ScenarioAction::Kind::kSort;
      action.column = words_[2];
      action.text = words_.size() == 4 ? words_[3] : "up";
      if (action.text != "up" && action.text != "down")
        return "sort takes \"up\" or \"down\", not " + Quoted(action.text);
    } else if (keyword == "see") {
      if (auto error = Count(3, 3, "see FIELD TEXT"); !error.empty()) return error;
      action.kind = ScenarioAction::Kind::kSee;
      action.text = words_[2];
    } else if (keyword == "print") {
      if (auto error = Count(2, 2, "print FILE"); !error.empty()) return error;
      if (words_[1].empty()) return "print names no file";
      action.kind = ScenarioAction::Kind::kPrint;
      action.text = words_[1];
      scenario_.steps.back().actions.push_back(std::move(action));
      return {};
    } else {
      if (auto error = Count(2, 2, "click FIELD"); !error.empty()) return error;
      action.kind = ScenarioAction::Kind::kClick;
    }
    action.field = words_[1];
    scenario_.steps.back().actions.push_back(std::move(action));
    return {};
  }

  Scenario scenario_;
  std::vector<std::string> words_;
  std::vector<bool> quoted_;
  bool open_input_ = false;
  int line_ = 0;
};

}  // namespace

ScenarioLoad ParseScenario(std::string_view utf8_content, std::string_view file_name) {
  return ScenarioParser(file_name).Parse(utf8_content);
}

std::string DescribeStep(const ScenarioStep& step) {
  switch (step.kind) {
    case ScenarioStep::Kind::kInput:
      return "input " + step.window;
    case ScenarioStep::Kind::kAnswer:
      return std::string("answer ") + (step.yes ? "yes" : "no") +
             (step.question ? " " + Quoted(*step.question) : std::string());
    case ScenarioStep::Kind::kExpect:
      return std::string("expect ") +
             (step.message_kind == MessageKind::kError ? "error " : "info ") + Quoted(step.message);
    case ScenarioStep::Kind::kStop:
      return "stop after " + std::to_string(step.stop_after);
  }
  return {};
}

}  // namespace vz::runtime
