#include "project/label_sheet.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/os/cp1252.h"

namespace vz::project {
namespace {

// A layout that lands exactly on the page edge (3 labels of 70 mm) fits.
constexpr double kTolerance = 1e-6;

// The fields as the result window labels them, in the layout's order.
constexpr std::array<const char*, 8> kFieldLabels = {"Marge haute",
                                                     "Marge gauche",
                                                     "Espacement vertical",
                                                     "Espacement horizontal",
                                                     "Hauteur d'une étiquette",
                                                     "Largeur d'une étiquette",
                                                     "Nombre d'étiquettes en largeur",
                                                     "Nombre d'étiquettes en hauteur"};
constexpr char kFirstPositionLabel[] = "Première étiquette sur la feuille";

enum class Rule { kDistance, kSize, kCount };
constexpr std::array<Rule, 8> kRules = {Rule::kDistance, Rule::kDistance, Rule::kDistance,
                                        Rule::kDistance, Rule::kSize,     Rule::kSize,
                                        Rule::kCount,    Rule::kCount};

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string Quoted(const char* label) {
  return "« " + std::string(label) + " »";
}

// Millimetres for a message: "215,5", "70".
std::string Millimetres(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string out(text);
  while (!out.empty() && out.back() == '0') out.pop_back();
  if (!out.empty() && out.back() == '.') out.pop_back();
  for (char& c : out) {
    if (c == '.') c = ',';
  }
  return out;
}

std::optional<int> ParseWholeNumber(std::string_view typed) {
  const std::string_view text = Trim(typed);
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string Error(const std::string& utf8) {
  return os::Cp1252(utf8);
}

// The message for one field's value, empty when the value is usable.
std::string CheckField(size_t field, std::string_view typed, double& number) {
  const std::string name = Quoted(kFieldLabels[field]);
  if (Trim(typed).empty()) return Error("Le champ " + name + " n'est pas renseigné.");
  if (kRules[field] == Rule::kCount) {
    const std::optional<int> count = ParseWholeNumber(typed);
    if (!count || *count < 1 || *count > kMostLabelsPerLine) {
      return Error("Le champ " + name + " doit être un nombre entier de 1 à " +
                   std::to_string(kMostLabelsPerLine) + ".");
    }
    number = *count;
    return {};
  }
  const std::optional<double> value = ParseTypedMillimetres(typed);
  if (!value) {
    return Error("Le champ " + name + " doit être un nombre de millimètres (par exemple 12,5).");
  }
  if (kRules[field] == Rule::kSize && *value <= 0) {
    return Error("Le champ " + name + " doit être supérieur à zéro.");
  }
  number = *value;
  return {};
}

}  // namespace

std::optional<double> ParseTypedMillimetres(std::string_view typed) {
  const std::string_view text = Trim(typed);
  if (text.empty() || text.size() > 32) return std::nullopt;
  std::string plain;
  bool separator = false;
  bool digit = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digit = true;
      plain.push_back(c);
    } else if ((c == ',' || c == '.') && !separator) {
      separator = true;
      plain.push_back('.');
    } else {
      return std::nullopt;
    }
  }
  if (!digit) return std::nullopt;
  return std::strtod(plain.c_str(), nullptr);
}

LayoutCheck CheckLabelLayout(const TypedLabelLayout& typed) {
  std::array<double, 8> values{};
  for (size_t field = 0; field < typed.size(); ++field) {
    std::string error = CheckField(field, typed[field], values[field]);
    if (!error.empty()) return {std::nullopt, std::move(error)};
  }
  LabelLayout layout;
  layout.top_margin_mm = values[0];
  layout.left_margin_mm = values[1];
  layout.vertical_spacing_mm = values[2];
  layout.horizontal_spacing_mm = values[3];
  layout.label_height_mm = values[4];
  layout.label_width_mm = values[5];
  layout.across = static_cast<int>(values[6]);
  layout.down = static_cast<int>(values[7]);

  const double right = layout.left_margin_mm + layout.across * layout.label_width_mm +
                       (layout.across - 1) * layout.horizontal_spacing_mm;
  if (right > kPageWidthMm + kTolerance) {
    return {std::nullopt,
            Error("Les étiquettes dépassent la largeur de la page : " + Millimetres(right) +
                  " mm pour " + Millimetres(kPageWidthMm) + " mm. Réduisez " +
                  Quoted(kFieldLabels[1]) + ", " + Quoted(kFieldLabels[3]) + ", " +
                  Quoted(kFieldLabels[5]) + " ou " + Quoted(kFieldLabels[6]) + ".")};
  }
  const double bottom = layout.top_margin_mm + layout.down * layout.label_height_mm +
                        (layout.down - 1) * layout.vertical_spacing_mm;
  if (bottom > kPageHeightMm + kTolerance) {
    return {std::nullopt,
            Error("Les étiquettes dépassent la hauteur de la page : " + Millimetres(bottom) +
                  " mm pour " + Millimetres(kPageHeightMm) + " mm. Réduisez " +
                  Quoted(kFieldLabels[0]) + ", " + Quoted(kFieldLabels[2]) + ", " +
                  Quoted(kFieldLabels[4]) + " ou " + Quoted(kFieldLabels[7]) + ".")};
  }
  return {layout, {}};
}

FirstPositionCheck CheckFirstPosition(std::string_view typed, const LabelLayout& layout) {
  if (Trim(typed).empty()) return {1, {}};
  const std::optional<int> position = ParseWholeNumber(typed);
  const int last = layout.LabelsPerSheet();
  if (!position || *position < 1 || *position > last) {
    return {1, Error("Le champ " + Quoted(kFirstPositionLabel) +
                     " doit être un nombre entier de 1 à " + std::to_string(last) +
                     " (les étiquettes d'une feuille, comptées de gauche à droite puis de haut "
                     "en bas).")};
  }
  return {*position, {}};
}

LabelBox PlaceLabel(const LabelLayout& layout, int first_position, size_t index) {
  const size_t per_sheet = static_cast<size_t>(layout.LabelsPerSheet());
  const size_t position = static_cast<size_t>(first_position - 1) + index;
  const size_t slot = position % per_sheet;
  const size_t row = slot / static_cast<size_t>(layout.across);
  const size_t column = slot % static_cast<size_t>(layout.across);
  LabelBox box;
  box.sheet = position / per_sheet;
  box.x_mm = layout.left_margin_mm +
             static_cast<double>(column) * (layout.label_width_mm + layout.horizontal_spacing_mm);
  box.y_mm = layout.top_margin_mm +
             static_cast<double>(row) * (layout.label_height_mm + layout.vertical_spacing_mm);
  box.width_mm = layout.label_width_mm;
  box.height_mm = layout.label_height_mm;
  return box;
}

size_t SheetCount(const LabelLayout& layout, int first_position, size_t count) {
  if (count == 0) return 0;
  return PlaceLabel(layout, first_position, count - 1).sheet + 1;
}

std::string CivilityWords(std::string_view written_title, std::string_view code) {
  const std::string_view title = Trim(written_title);
  if (Trim(code) == "3") return "Mademoiselle";
  if (!title.empty()) return std::string(title);
  if (Trim(code) == "1") return "Monsieur";
  if (Trim(code) == "2") return "Madame";
  return {};
}

std::vector<std::string> LabelLines(const LabelAddress& address) {
  std::vector<std::string> lines;
  auto add = [&lines](std::string_view first, std::string_view second) {
    const std::string_view a = Trim(first);
    const std::string_view b = Trim(second);
    std::string line(a);
    if (!a.empty() && !b.empty()) line.push_back(' ');
    line.append(b);
    if (!line.empty()) lines.push_back(std::move(line));
  };
  if (!Trim(address.addressee).empty()) {
    add(address.addressee, {});
  } else {
    std::string person(Trim(address.first_name));
    const std::string_view name = Trim(address.name);
    if (!person.empty() && !name.empty()) person.push_back(' ');
    person.append(name);
    add(address.civility, person);
  }
  for (const std::string& line : address.lines) add(line, {});
  add(address.postcode, address.city);
  return lines;
}

}  // namespace vz::project
