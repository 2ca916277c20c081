// A front end for tests: ends each input with the next queued code (after
// running the queued action on the window), answers questions from a queue
// and records every message, question and input it saw. Header-only; used
// by the runtime's and the project's tests.
#ifndef VZ_PLATFORM_RUNTIME_FAKE_FRONT_END_H_
#define VZ_PLATFORM_RUNTIME_FAKE_FRONT_END_H_

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/front_end.h"

namespace vz::runtime {

class FakeFrontEnd final : public FrontEnd {
 public:
  using Action = std::function<void(Window&, InputHost&)>;

  void QueueInput(std::string code, Action action = nullptr) {
    inputs_.emplace_back(std::move(code), std::move(action));
  }
  void QueueAnswer(bool yes) { answers_.push_back(yes); }

  std::string RunInput(Window& window, InputHost& host) override {
    windows_seen.push_back(window.name);
    if (inputs_.empty()) return "ESC";
    auto [code, action] = std::move(inputs_.front());
    inputs_.pop_front();
    if (action) action(window, host);
    return code;
  }
  void ShowMessage(MessageKind kind, std::string_view text) override {
    messages.emplace_back(kind, std::string(text));
  }
  bool AskYesNo(std::string_view question) override {
    questions.emplace_back(question);
    if (answers_.empty()) return true;
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
  }
  void ProcessEvents() override { ++events_processed; }
  std::string Finish() override { return finish_problem; }

  std::vector<std::string> windows_seen;
  std::vector<std::pair<MessageKind, std::string>> messages;
  std::vector<std::string> questions;
  int events_processed = 0;
  std::string finish_problem;

 private:
  std::deque<std::pair<std::string, Action>> inputs_;
  std::deque<bool> answers_;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_FAKE_FRONT_END_H_
