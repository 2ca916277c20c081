#include "src/queries/summary_words.h"

#include <algorithm>

#include "platform/os/cp1252.h"
#include "src/util/blanks.h"
#include "src/util/number_text.h"
#include "src/util/thousands.h"

namespace vz::queries::summary {
namespace {

constexpr int8_t kShownDecimals = -6;  // six at most, trailing zeros removed

// Characters that may stand in a text meaning zero.
bool SaysZero(std::string_view trimmed) {
  return std::all_of(trimmed.begin(), trimmed.end(), [](char c) {
    return c == '0' || c == '.' || c == ',' || c == '+' || c == '-';
  });
}

}  // namespace

std::string FrenchNumber(double value) {
  std::string text = util::GroupThousands(util::NumberToText(value, 0, kShownDecimals));
  std::replace(text.begin(), text.end(), '.', ',');
  return text;
}

std::string Quoted(std::string_view text) {
  return os::Cp1252("« ") + std::string(text) + os::Cp1252(" »");
}

std::string ReversedNote() {
  return os::Cp1252(" (bornes inversées : ne retient personne)");
}

std::string ZeroReadingNote(std::string_view bound, double value) {
  if (value != 0) return {};
  const std::string trimmed = util::TrimBlanks(bound, util::kTrimAll);
  if (trimmed.empty()) return os::Cp1252(" (borne vide lue comme 0)");
  if (SaysZero(trimmed)) return {};
  return " (" + Quoted(trimmed) + os::Cp1252(" lu comme 0)");
}

std::string CapitalizeFirst(std::string text) {
  if (text.empty()) return text;
  const auto first = static_cast<unsigned char>(text[0]);
  const bool ascii_small = first >= 'a' && first <= 'z';
  // cp1252 à..þ sit 0x20 above À..Þ, but for the division sign 0xF7.
  const bool accented_small = first >= 0xE0 && first <= 0xFE && first != 0xF7;
  if (ascii_small || accented_small) text[0] = static_cast<char>(first - 0x20);
  return text;
}

}  // namespace vz::queries::summary
