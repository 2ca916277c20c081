#include "platform/runtime/session.h"

#include "platform/runtime/interpreter.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

constexpr std::string_view kClosingEvent = "FERMETURE";
// The event of the window code that follows a change made by the user.
constexpr char kChangeEvent[] = "MODIFICATION";

}  // namespace

Session::Session(Setup setup)
    : front_end_(setup.front_end),
      transcript_(setup.transcript),
      registry_(std::move(setup.registry)),
      create_engine_context_(std::move(setup.create_engine_context)),
      directory_(std::move(setup.directory)) {}

CommandResult Session::Execute(std::string_view command) {
  CommandResult result = Interpret(*this, command);
  last_value_ = result.value;
  transcript_->Command(command, result.value, result.text, return_code_);
  return result;
}

Window* Session::CurrentWindow() {
  return windows_.empty() ? nullptr : windows_.back().get();
}

const WindowLibrary* Session::Library() const {
  return library_ ? &*library_ : nullptr;
}

int32_t Session::EngineContext() {
  if (engine_context_) return *engine_context_;
  if (!create_engine_context_) {
    Note("no record engine is linked: HFCTX has no context to give");
    return 0;
  }
  const int32_t context = create_engine_context_();
  if (context <= 0) {
    Note("the record engine did not create a context (" + std::to_string(context) +
         "); HFCTX will try again");
    return context;
  }
  engine_context_ = context;
  return context;
}

void Session::Note(std::string_view problem) {
  transcript_->Problem(problem);
}

void Session::RunButtonCode(Window& window, const Field& button) {
  if (!RunWindowCode(window, button.name, button.event)) {
    Note("no window code for " + window.name + "." + button.name + "." + button.event);
  }
}

bool Session::RunChangeCode(Window& window, const Field& field) {
  // The code may rewrite the window's fields: keep the name apart.
  const std::string name = field.name;
  if (!RunWindowCode(window, name, kChangeEvent)) return false;
  transcript_->Event("changed by the user: " + window.name + "." + name + "." + kChangeEvent +
                     " ran");
  return true;
}

CommandResult Session::Fail(std::string_view problem) {
  Note(problem);
  return {-1, {}};
}

Window& Session::OpenWindow(const Window& model) {
  windows_.push_back(std::make_unique<Window>(model));
  return *windows_.back();
}

void Session::CloseCurrentWindow() {
  if (windows_.empty()) return;
  Window& closing = *windows_.back();
  RunWindowCode(closing, closing.name, kClosingEvent);
  windows_.pop_back();
}

void Session::CloseAllWindows() {
  while (!windows_.empty()) CloseCurrentWindow();
}

bool Session::RunWindowCode(Window& window, std::string_view field, std::string_view event) {
  const WindowCode* code = registry_.FindWindowCode(window.name, field, event);
  if (!code) return false;
  (*code)(*this, window);
  return true;
}

std::optional<std::filesystem::path> Session::FindFile(std::string_view file_name) const {
  std::error_code ec;
  const std::filesystem::path name{std::string(file_name)};
  for (const auto& dir : {directory_, directory_ / ".."}) {
    const auto candidate = dir / name;
    if (std::filesystem::exists(candidate, ec)) return candidate;
    // Files written on a case-blind system may differ in case only.
    if (name.has_parent_path()) continue;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      if (SameName(it->path().filename().string(), file_name)) return it->path();
    }
  }
  return std::nullopt;
}

}  // namespace vz::runtime
