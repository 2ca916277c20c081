#include "project/letter_css.h"

#include <cctype>
#include <cstdio>
#include <optional>
#include <regex>
#include <vector>

namespace vz::project {
namespace {

constexpr double kDefaultFontPt = 12;

// A CSS length in pixels; nullopt for a unit the rewrite does not know.
std::optional<double> Pixels(double number, std::string_view unit, double percent_of,
                             double font_px) {
  if (unit == "%") return number * percent_of / 100;
  if (unit == "cm") return number * 10 * kCssPixelsPerMm;
  if (unit == "mm") return number * kCssPixelsPerMm;
  if (unit == "in") return number * 96;
  if (unit == "pt") return number * 96 / 72;
  if (unit == "pc") return number * 16;
  if (unit == "em" || unit == "rem") return number * font_px;
  if (unit == "px" || unit.empty()) return number;
  return std::nullopt;
}

std::string PixelText(double px) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0fpx", px);
  return text;
}

const std::regex& LengthPattern() {
  static const std::regex pattern(
      R"((-?(?:\d+\.?\d*|\.\d+))(%|cm|mm|in|pt|pc|rem|em|px)?(?![a-zA-Z%]))", std::regex::icase);
  return pattern;
}

// The lengths of one property value, each in pixels.
std::vector<double> ValueLengths(const std::string& value, double percent_of, double font_px) {
  std::vector<double> lengths;
  for (std::sregex_iterator it(value.begin(), value.end(), LengthPattern()), end; it != end; ++it) {
    std::string unit = (*it)[2].str();
    for (char& c : unit) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (auto px = Pixels(std::stod((*it)[1].str()), unit, percent_of, font_px)) {
      lengths.push_back(*px);
    }
  }
  return lengths;
}

std::string RewriteValue(const std::string& value, double percent_of, double font_px,
                         double scale) {
  std::string out;
  size_t last = 0;
  for (std::sregex_iterator it(value.begin(), value.end(), LengthPattern()), end; it != end; ++it) {
    std::string unit = (*it)[2].str();
    for (char& c : unit) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    out.append(value, last, static_cast<size_t>(it->position()) - last);
    const std::optional<double> px = Pixels(std::stod((*it)[1].str()), unit, percent_of, font_px);
    out += px ? PixelText(*px * scale) : it->str();
    last = static_cast<size_t>(it->position() + it->length());
  }
  out.append(value, last);
  return out;
}

const std::regex& DeclarationPattern() {
  // margin, margin-left..., padding..., text-indent: up to ; " ' } or <.
  static const std::regex pattern(
      R"(((?:margin|padding)(?:-(?:left|right|top|bottom))?|text-indent)(\s*:\s*)([^;"'}<]*))",
      std::regex::icase);
  return pattern;
}

// The body's font size in pixels, from "body { ... font-size: 11pt ... }".
double BodyFontPixels(const std::string& html) {
  static const std::regex body(R"(body\s*\{[^}]*font-size\s*:\s*([0-9.]+)\s*(pt|px))",
                               std::regex::icase);
  std::smatch match;
  if (std::regex_search(html, match, body)) {
    const double size = std::stod(match[1].str());
    return match[2].str() == "px" || match[2].str() == "PX" ? size : size * 96 / 72;
  }
  return kDefaultFontPt * 96 / 72;
}

// Applies CSS margin shorthand lengths (1 to 4 values) to `margins`.
void ApplyShorthand(const std::vector<double>& px, PageMargins& margins) {
  const auto mm = [&](size_t i) { return px[i] / kCssPixelsPerMm; };
  switch (px.size()) {
    case 1:
      margins = {mm(0), mm(0), mm(0), mm(0)};
      break;
    case 2:
      margins = {mm(0), mm(1), mm(0), mm(1)};
      break;
    case 3:
      margins = {mm(0), mm(1), mm(2), mm(1)};
      break;
    case 4:
      margins = {mm(0), mm(1), mm(2), mm(3)};
      break;
    default:
      break;
  }
}

}  // namespace

PageMargins LetterPageMargins(std::string_view text) {
  const std::string html(text);
  PageMargins margins;
  static const std::regex page_rule(R"(@page\s*\{([^}]*)\})", std::regex::icase);
  static const std::regex body_rule(R"((?:^|[\s}>])body\s*\{([^}]*)\})", std::regex::icase);
  std::smatch rule;
  if (!std::regex_search(html, rule, page_rule) && !std::regex_search(html, rule, body_rule)) {
    return margins;
  }
  const std::string declarations = rule[1].str();
  const double font_px = BodyFontPixels(html);
  // % of a page margin refers to the page's width.
  const double page_px = kA4WidthMm * kCssPixelsPerMm;
  bool any = false;
  for (std::sregex_iterator it(declarations.begin(), declarations.end(), DeclarationPattern()), end;
       it != end; ++it) {
    std::string name = (*it)[1].str();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!name.starts_with("margin")) continue;
    const std::vector<double> px = ValueLengths((*it)[3].str(), page_px, font_px);
    if (px.empty()) continue;
    any = true;
    const double mm = px[0] / kCssPixelsPerMm;
    if (name == "margin") ApplyShorthand(px, margins);
    if (name == "margin-top") margins.top = mm;
    if (name == "margin-right") margins.right = mm;
    if (name == "margin-bottom") margins.bottom = mm;
    if (name == "margin-left") margins.left = mm;
  }
  if (!any) return PageMargins();
  // Margins that leave no room for the text are not honoured.
  if (margins.left + margins.right > kA4WidthMm - 20 ||
      margins.top + margins.bottom > kA4HeightMm - 20 || margins.left < 0 || margins.right < 0 ||
      margins.top < 0 || margins.bottom < 0) {
    return PageMargins();
  }
  return margins;
}

std::string HonouredLengths(std::string_view text, double text_width_px, double device_per_css_px) {
  const std::string html(text);
  const double font_px = BodyFontPixels(html);
  std::string out;
  size_t last = 0;
  for (std::sregex_iterator it(html.begin(), html.end(), DeclarationPattern()), end; it != end;
       ++it) {
    out.append(html, last, static_cast<size_t>(it->position()) - last);
    std::string name = (*it)[1].str();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string value = (*it)[3].str();
    const std::vector<double> px = ValueLengths(value, text_width_px, font_px);
    if ((name == "margin" || name == "padding") && !px.empty() && px.size() <= 4) {
      // The shorthand as its four sides: only the left and right ones are
      // taken in device pixels by the layout (see below).
      const size_t n = px.size();
      const double sides[4] = {px[0], n > 1 ? px[1] : px[0], n > 2 ? px[2] : px[0],
                               n > 3 ? px[3] : (n > 1 ? px[1] : px[0])};
      const char* names[4] = {"-top", "-right", "-bottom", "-left"};
      for (int side = 0; side < 4; ++side) {
        if (side > 0) out += "; ";
        const bool across = side == 1 || side == 3;
        out +=
            name + names[side] + ": " + PixelText(sides[side] * (across ? device_per_css_px : 1));
      }
    } else {
      // The layout takes vertical margins in CSS pixels and horizontal ones
      // (left, right, indent) in its device's pixels.
      const bool across =
          name.ends_with("-left") || name.ends_with("-right") || name == "text-indent";
      out += (*it)[1].str();
      out += (*it)[2].str();
      out += RewriteValue(value, text_width_px, font_px, across ? device_per_css_px : 1);
    }
    last = static_cast<size_t>(it->position() + it->length());
  }
  out.append(html, last);
  return out;
}

}  // namespace vz::project
