// The template chosen in the result window, kept for the session
// (chosen_template.h).
#include "project/chosen_template.h"

#include <memory>
#include <string>

namespace vz::project {
namespace {

constexpr std::string_view kObject = "RESULTAT.modele";
constexpr std::string_view kTemplateList = "Nom_Lettre";

struct ChosenTemplate final : runtime::SessionObject {
  std::string name;
};

}  // namespace

void RememberChosenTemplate(runtime::CodeContext& context, const runtime::Window& window) {
  const runtime::Field* list = window.FindField(kTemplateList);
  if (!list || list->selected < 1 || static_cast<size_t>(list->selected) > list->entries.size())
    return;
  auto chosen = std::make_unique<ChosenTemplate>();
  chosen->name = list->entries[static_cast<size_t>(list->selected) - 1];
  context.Objects().Keep(kObject, std::move(chosen));
}

void ReselectChosenTemplate(runtime::CodeContext& context, runtime::Window& window) {
  const auto* chosen = dynamic_cast<const ChosenTemplate*>(context.Objects().Find(kObject));
  runtime::Field* list = window.FindField(kTemplateList);
  if (!chosen || !list) return;
  for (size_t i = 0; i < list->entries.size(); ++i) {
    if (list->entries[i] == chosen->name) {
      list->selected = static_cast<int>(i) + 1;
      return;
    }
  }
}

}  // namespace vz::project
