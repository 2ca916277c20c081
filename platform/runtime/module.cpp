#include "platform/runtime/module.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/os/whole_file.h"
#include "platform/runtime/headless_front_end.h"
#include "platform/runtime/scenario.h"
#include "platform/runtime/scripted_front_end.h"
#include "platform/runtime/wd_api.h"
#include "platform/runtime/window_library.h"

namespace vz::runtime {
namespace {

constexpr size_t kTextOffset = kWdReturnedTextOffset;
constexpr size_t kTextLength = kWdReturnedTextLength;
constexpr size_t kCodeOffset = kWdReturnCodeOffset;
constexpr size_t kCodeLength = kWdReturnCodeLength;
static_assert(kTextOffset + kTextLength <= kCodeOffset);
static_assert(kCodeOffset + kCodeLength < kWdModuleBlockSize);

void WriteField(uint8_t* block, size_t offset, size_t length, std::string_view value) {
  const size_t n = value.size() < length ? value.size() : length;
  std::memcpy(block + offset, value.data(), n);
  if (n < length) block[offset + n] = 0;
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

DesktopFrontEndMaker& DesktopMaker() {
  static DesktopFrontEndMaker maker;
  return maker;
}

}  // namespace

void WriteModuleResults(uint8_t* block, std::string_view text, std::string_view return_code) {
  WriteField(block, kTextOffset, kTextLength, text);
  WriteField(block, kCodeOffset, kCodeLength, return_code);
}

void SetDesktopFrontEndMaker(DesktopFrontEndMaker maker) {
  DesktopMaker() = std::move(maker);
}

bool DisplayAvailable() {
  // "offscreen:fontengine=freetype" names the platform before the colon.
  const std::string platform = Env("QT_QPA_PLATFORM");
  const std::string name = platform.substr(0, platform.find(':'));
  // Windows drawn where nobody sees them would wait for input for ever.
  if (name == "offscreen" || name == "minimal") return false;
  return !name.empty() || !Env("DISPLAY").empty() || !Env("WAYLAND_DISPLAY").empty();
}

Module::Environment Module::FromProcessEnvironment() {
  return {Env("VZ_SCENARIO"), Env("VZ_TRANSCRIPT")};
}

std::unique_ptr<Module> Module::Create(const Environment& environment, CodeRegistry registry,
                                       std::function<int32_t()> create_engine_context) {
  std::unique_ptr<Module> module(new Module());
  module->transcript_ = std::make_unique<Transcript>(environment.transcript_path);
  if (environment.scenario_path.empty()) {
    if (DesktopMaker() && DisplayAvailable()) {
      Module* self = module.get();
      module->front_end_ = DesktopMaker()(*module->transcript_, [self]() -> Window* {
        return self->session_ ? self->session_->CurrentWindow() : nullptr;
      });
    }
    if (!module->front_end_) {
      module->front_end_ = std::make_unique<HeadlessFrontEnd>(*module->transcript_);
    }
  } else {
    std::string content;
    if (!os::ReadWholeFile(environment.scenario_path, &content)) {
      FailLoudly(*module->transcript_, environment.scenario_path + ": the scenario cannot be read");
    }
    ScenarioLoad load = ParseScenario(content, environment.scenario_path);
    if (!load.scenario) FailLoudly(*module->transcript_, load.error);
    module->front_end_ =
        std::make_unique<ScriptedFrontEnd>(std::move(*load.scenario), *module->transcript_);
  }
  Session::Setup setup;
  setup.front_end = module->front_end_.get();
  setup.transcript = module->transcript_.get();
  setup.registry = std::move(registry);
  setup.create_engine_context = std::move(create_engine_context);
  module->session_ = std::make_unique<Session>(std::move(setup));
  return module;
}

int32_t Module::Execute(uint8_t* block, const char* command) {
  const std::string_view text = command ? std::string_view(command) : std::string_view();
  CommandResult result = session_->Execute(text);
  if (result.text.size() > kTextLength) {
    transcript_->Problem("returned text of " + std::to_string(result.text.size()) +
                         " characters cut to 206 in the module block");
  }
  if (block) WriteModuleResults(block, result.text, session_->return_code());
  return result.value;
}

std::string Module::Finish() {
  std::string problem = front_end_->Finish();
  if (!problem.empty()) transcript_->Problem("scenario failure: " + problem);
  return problem;
}

}  // namespace vz::runtime
