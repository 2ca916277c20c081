// The screen module behind the four entry points: a session with its front
// end and transcript, chosen from the environment, and the module block in
// which each command leaves its results.
//
// Module block: returned text at offset 14 (at most 206 bytes, NUL-terminated
// when shorter), return code at offset 232 (at most 3 bytes, NUL-terminated
// when shorter); no other byte is touched. The return code written is always
// the session's current one, so commands other than "Ecran,Saisie" leave it
// as it was.
//
// Front end: VZ_SCENARIO set -> scripted; else a display available and a
// desktop front end linked -> desktop; else headless.
//
// Create fails loudly (error output, exit code 70) when VZ_SCENARIO names a
// file that cannot be read or parsed: a run must not go on with a scenario it
// cannot follow.
#ifndef VZ_PLATFORM_RUNTIME_MODULE_H_
#define VZ_PLATFORM_RUNTIME_MODULE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/runtime/code_registry.h"
#include "platform/runtime/front_end.h"
#include "platform/runtime/session.h"
#include "platform/runtime/transcript.h"

namespace vz::runtime {

// The desktop front end, when a library that provides one is linked in: that
// library sets the maker at load. The maker gets the transcript and a way to
// reach the current window between inputs (the progress window); it returns
// null when no display can be opened, and the headless front end is used.
using DesktopFrontEndMaker =
    std::function<std::unique_ptr<FrontEnd>(Transcript&, std::function<Window*()>)>;
void SetDesktopFrontEndMaker(DesktopFrontEndMaker maker);

// True when the process environment names a display someone can see:
// QT_QPA_PLATFORM, DISPLAY or WAYLAND_DISPLAY set and not empty, unless
// QT_QPA_PLATFORM names the "offscreen" or "minimal" platform (the tests',
// where a modal input would wait for ever).
bool DisplayAvailable();

// Writes the results of a command into a 240-byte module block.
// REQUIRES: block points to at least 240 bytes.
void WriteModuleResults(uint8_t* block, std::string_view text, std::string_view return_code);

class Module {
 public:
  struct Environment {
    std::string scenario_path;    // VZ_SCENARIO; empty for the headless front end
    std::string transcript_path;  // VZ_TRANSCRIPT; empty for none
  };
  static Environment FromProcessEnvironment();

  static std::unique_ptr<Module> Create(const Environment& environment, CodeRegistry registry,
                                        std::function<int32_t()> create_engine_context);

  // Runs a command and, when block is not null, writes its results there.
  // A null command is taken as an empty (unknown) command.
  int32_t Execute(uint8_t* block, const char* command);
  int32_t last_value() const { return session_->last_value(); }

  // At termination: empty when the front end is content, else the reason
  // (already written to the transcript).
  std::string Finish();

  Session& session() { return *session_; }
  Transcript& transcript() { return *transcript_; }

 private:
  Module() = default;
  std::unique_ptr<Transcript> transcript_;
  std::unique_ptr<FrontEnd> front_end_;
  std::unique_ptr<Session> session_;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_MODULE_H_
