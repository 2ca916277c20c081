#include "src/selection/rubric_loaders.h"

#include <array>
#include <utility>

#include "src/selection/rubric_loaders_internal.h"

namespace vz::selection {
namespace {

constexpr std::array<std::pair<std::string_view, Rubric>, 12> kPrefixes = {{
    {"40", Rubric::kIncome},
    {"54", Rubric::kLoans},
    {"51", Rubric::kTaxes},
    {"01", Rubric::kOwnerOccupied},
    {"02", Rubric::kRental},
    {"03", Rubric::kLand},
    {"04", Rubric::kSecurities},
    {"05", Rubric::kCash},
    {"06", Rubric::kOtherAssets},
    {"07", Rubric::kSinglePremium},
    {"20", Rubric::kRetirement},
    {"33", Rubric::kProvident},
}};

}  // namespace

std::optional<Rubric> RubricOfPrefix(std::string_view prefix) {
  if (prefix.size() < 2) return std::nullopt;
  prefix = prefix.substr(0, 2);
  for (const auto& [text, rubric] : kPrefixes) {
    if (text == prefix) return rubric;
  }
  return std::nullopt;
}

void LoadRubric(Rubric rubric, std::string_view client_code, char selector, WorkTables& tables) {
  switch (rubric) {
    case Rubric::kRetirement:
      internal::LoadRetirement(client_code, tables);
      return;
    case Rubric::kProvident:
      internal::LoadProvident(client_code, tables);
      return;
    default:
      internal::LoadFamilyRubric(rubric, client_code, selector, tables);
      return;
  }
}

}  // namespace vz::selection
