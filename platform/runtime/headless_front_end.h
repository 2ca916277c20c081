// The front end used when no scenario is given and no display front end is
// built: it says once on the error output that windows are not available,
// ends every input with "ESC", answers yes to every question and prints
// message boxes on the error output. Owns nothing; the transcript is
// borrowed.
#ifndef VZ_PLATFORM_RUNTIME_HEADLESS_FRONT_END_H_
#define VZ_PLATFORM_RUNTIME_HEADLESS_FRONT_END_H_

#include <cstdio>

#include "platform/runtime/front_end.h"
#include "platform/runtime/transcript.h"

namespace vz::runtime {

class HeadlessFrontEnd final : public FrontEnd {
 public:
  // REQUIRES: transcript outlives the front end; out is where notices go.
  explicit HeadlessFrontEnd(Transcript& transcript, std::FILE* out = stderr)
      : transcript_(transcript), out_(out) {}

  std::string RunInput(Window& window, InputHost& host) override;
  void ShowMessage(MessageKind kind, std::string_view text) override;
  bool AskYesNo(std::string_view question) override;
  void ProcessEvents() override {}
  std::string Finish() override { return {}; }

 private:
  void AnnounceOnce();
  Transcript& transcript_;
  std::FILE* out_;
  bool announced_ = false;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_HEADLESS_FRONT_END_H_
