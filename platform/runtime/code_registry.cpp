#include "platform/runtime/code_registry.h"

#include "platform/runtime/text_encoding.h"
#include "platform/runtime/window_model.h"

namespace vz::runtime {
namespace {

// Built in one text: window code runs for every step of a progress window.
std::string CodeKey(std::string_view window, std::string_view field, std::string_view event) {
  std::string key = WindowKey(window);
  key += '.';
  key += FieldKey(field);
  key += '.';
  key += FoldName(TrimBlanks(event));
  return key;
}

}  // namespace

void RuntimeVariables::Set(std::string_view name, std::string_view value) {
  values_[FoldName(TrimBlanks(name))] = std::string(value);
}

std::optional<std::string> RuntimeVariables::Get(std::string_view name) const {
  auto it = values_.find(FoldName(TrimBlanks(name)));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void CodeRegistry::AddProcedure(std::string_view name, Procedure procedure) {
  procedures_[FoldName(TrimBlanks(name))] = std::move(procedure);
}

void CodeRegistry::AddWindowCode(std::string_view window, std::string_view field,
                                 std::string_view event, WindowCode code) {
  window_code_[CodeKey(window, field, event)] = std::move(code);
  last_window_code_ = LastWindowCode();
}

const Procedure* CodeRegistry::FindProcedure(std::string_view name) const {
  auto it = procedures_.find(FoldName(TrimBlanks(name)));
  return it == procedures_.end() ? nullptr : &it->second;
}

const WindowCode* CodeRegistry::FindWindowCode(std::string_view window, std::string_view field,
                                               std::string_view event) const {
  LastWindowCode& last = last_window_code_;
  if (last.code != nullptr && last.window == window && last.field == field && last.event == event) {
    return last.code;
  }
  auto it = window_code_.find(CodeKey(window, field, event));
  if (it == window_code_.end()) return nullptr;
  last.window.assign(window);
  last.field.assign(field);
  last.event.assign(event);
  last.code = &it->second;
  return last.code;
}

}  // namespace vz::runtime
