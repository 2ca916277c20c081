// Project procedures and window code, registered by name by the screen
// project (project/) and run by the runtime's execute commands.
//
// A procedure is found by its name ("OUVREFEN", "EstUnInterrupteur"), window
// code by WINDOW.FIELD.EVENT ("RESULTAT.BOUTON1.CLIC"), both without regard to
// case or accents. The code reaches the runtime through CodeContext only. A
// later registration under the same name replaces the earlier one.
#ifndef VZ_PLATFORM_RUNTIME_CODE_REGISTRY_H_
#define VZ_PLATFORM_RUNTIME_CODE_REGISTRY_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/front_end.h"
#include "platform/runtime/runtime_variables.h"
#include "platform/runtime/session_objects.h"
#include "platform/runtime/window_model.h"

namespace vz::runtime {

struct WindowLibrary;

// What project code may use while it runs.
class CodeContext {
 public:
  virtual ~CodeContext() = default;
  // The window on top of the stack, or nullptr when none is open.
  virtual Window* CurrentWindow() = 0;
  // The loaded window library, or nullptr before "BIBLI".
  virtual const WindowLibrary* Library() const = 0;
  virtual RuntimeVariables& Variables() = 0;
  // Objects the project code keeps until the session ends.
  virtual SessionObjects& Objects() = 0;
  virtual FrontEnd& Front() = 0;
  // The runtime's own record-engine context, created on first use.
  virtual int32_t EngineContext() = 0;
  // Writes a problem line to the transcript.
  virtual void Note(std::string_view problem) = 0;
};

struct ProcedureResult {
  int32_t value = 0;
  std::string text;
};

using Procedure =
    std::function<ProcedureResult(CodeContext& context, const std::vector<std::string>& args)>;
using WindowCode = std::function<void(CodeContext& context, Window& window)>;

class CodeRegistry {
 public:
  void AddProcedure(std::string_view name, Procedure procedure);
  void AddWindowCode(std::string_view window, std::string_view field, std::string_view event,
                     WindowCode code);

  const Procedure* FindProcedure(std::string_view name) const;
  const WindowCode* FindWindowCode(std::string_view window, std::string_view field,
                                   std::string_view event) const;

 private:
  std::map<std::string, Procedure> procedures_;
  std::map<std::string, WindowCode> window_code_;
  // The last window code found, under the names exactly as they were asked
  // for: a progress window runs the same code for every client. A copy of
  // the registry starts without it (the code it points to is the original's).
  struct LastWindowCode {
    LastWindowCode() = default;
    LastWindowCode(const LastWindowCode&) {}
    LastWindowCode& operator=(const LastWindowCode&) {
      code = nullptr;
      return *this;
    }
    std::string window;
    std::string field;
    std::string event;
    const WindowCode* code = nullptr;
  };
  mutable LastWindowCode last_window_code_;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_CODE_REGISTRY_H_
