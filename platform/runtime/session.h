// The screen runtime's state and its command entry: the window library and
// project, the window stack, the variables, the registered project code, the
// front end and the transcript.
//
// Execute takes one command as the program sends it (cp1252), runs it and
// writes its transcript line. It never fails: an unknown command, window,
// field or variable, or a malformed argument, is written to the transcript as
// a problem and gives integer -1 and an empty text (the integer results of
// each verb are in docs/window-library.md and the verb files). The return
// code changes only through "Ecran,Saisie".
//
// The session owns the windows it opens (their addresses stay valid until
// they close) and borrows the front end and the transcript, which must
// outlive it. Single-threaded.
#ifndef VZ_PLATFORM_RUNTIME_SESSION_H_
#define VZ_PLATFORM_RUNTIME_SESSION_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/code_registry.h"
#include "platform/runtime/front_end.h"
#include "platform/runtime/project_file.h"
#include "platform/runtime/runtime_variables.h"
#include "platform/runtime/transcript.h"
#include "platform/runtime/window_library.h"

namespace vz::runtime {

struct CommandResult {
  int32_t value = 0;
  std::string text;
};

class Session final : public CodeContext, public InputHost {
 public:
  struct Setup {
    FrontEnd* front_end = nullptr;     // required
    Transcript* transcript = nullptr;  // required
    CodeRegistry registry;
    // Creates the runtime's own record-engine context ("HFCTX").
    std::function<int32_t()> create_engine_context;
    // Where "BIBLI" and "PROJET" look first (then in its parent).
    std::filesystem::path directory = ".";
  };
  // REQUIRES: setup.front_end and setup.transcript are set.
  explicit Session(Setup setup);

  CommandResult Execute(std::string_view command);
  const std::string& return_code() const { return return_code_; }
  int32_t last_value() const { return last_value_; }

  // CodeContext.
  Window* CurrentWindow() override;
  const WindowLibrary* Library() const override;
  RuntimeVariables& Variables() override { return variables_; }
  SessionObjects& Objects() override { return objects_; }
  FrontEnd& Front() override { return *front_end_; }
  int32_t EngineContext() override;
  void Note(std::string_view problem) override;

  // InputHost.
  void RunButtonCode(Window& window, const Field& button) override;
  bool RunChangeCode(Window& window, const Field& field) override;

  // For the verb handlers.
  CommandResult Fail(std::string_view problem);
  Transcript& transcript() { return *transcript_; }
  const CodeRegistry& registry() const { return registry_; }
  void set_return_code(std::string code) { return_code_ = std::move(code); }
  size_t open_window_count() const { return windows_.size(); }
  // Pushes a fresh copy of a library window.
  Window& OpenWindow(const Window& model);
  // Each closing window first runs its close code WINDOW.WINDOW.FERMETURE,
  // if registered, while it is still on the stack.
  void CloseCurrentWindow();
  void CloseAllWindows();
  // Runs window code of the current window; false when none is registered.
  bool RunWindowCode(Window& window, std::string_view field, std::string_view event);
  // Looks for a file in the directory, then its parent.
  std::optional<std::filesystem::path> FindFile(std::string_view file_name) const;
  void set_library(WindowLibrary library) { library_ = std::move(library); }
  const std::optional<ProjectFile>& project() const { return project_; }
  void set_project(std::optional<ProjectFile> project) { project_ = std::move(project); }

 private:
  FrontEnd* front_end_;
  Transcript* transcript_;
  CodeRegistry registry_;
  std::function<int32_t()> create_engine_context_;
  std::filesystem::path directory_;
  std::optional<WindowLibrary> library_;
  std::optional<ProjectFile> project_;
  std::vector<std::unique_ptr<Window>> windows_;
  RuntimeVariables variables_;
  std::string return_code_;
  int32_t last_value_ = 0;
  std::optional<int32_t> engine_context_;
  // Last, so that the objects go first, while the rest is still in place.
  SessionObjects objects_;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_SESSION_H_
