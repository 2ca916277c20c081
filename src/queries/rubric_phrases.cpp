#include "src/queries/rubric_phrases.h"

#include <array>
#include <optional>

#include "platform/os/cp1252.h"
#include "src/queries/rubric_screen_members.h"
#include "src/queries/summary_words.h"
#include "src/selection/rubric_tests_support.h"
#include "src/util/number_text.h"

namespace vz::queries::summary {
namespace {

using selection::CriteriaElements;

enum class Unit { kAmount, kRate };

// Elements `first` and `first + 1` of a criteria text, and what they bound.
struct BoundPair {
  int first;
  std::string_view name;  // UTF-8; empty when the rubric compares one value
  Unit unit;
};

constexpr BoundPair kOneAmount[] = {{1, "", Unit::kAmount}};
constexpr BoundPair kOneRate[] = {{1, "", Unit::kRate}};
constexpr BoundPair kLoans[] = {{1, "capital restant dû", Unit::kAmount},
                                {3, "annuités", Unit::kAmount}};
constexpr BoundPair kAmountAndYield[] = {{1, "montant", Unit::kAmount},
                                         {3, "rendement", Unit::kRate}};
constexpr BoundPair kCoverAmounts[] = {{1, "assuré 1", Unit::kAmount},
                                       {3, "assuré 2", Unit::kAmount}};
constexpr BoundPair kCoverRates[] = {{1, "assuré 1", Unit::kRate}, {3, "assuré 2", Unit::kRate}};

struct Family {
  std::string_view prefix;
  std::string_view name;  // UTF-8
};

constexpr std::array<Family, 13> kFamilies = {{
    {"40", "revenus"},
    {"54", "emprunts"},
    {"51", "impôts"},
    {"01", "immobilier d'usage"},
    {"02", "immobilier de rapport"},
    {"03", "foncier"},
    {"04", "valeurs mobilières"},
    {"05", "liquidités"},
    {"06", "biens divers"},
    {"07", "assurance vie"},
    {"20", "retraite"},
    {"33", "prévoyance"},
    {"SC", "succession"},
}};

// The provident amounts are the rows "3300A" to "3300G"; every other code,
// known or not, is compared as two rates.
constexpr std::string_view kLastCoverAmount = "3300G";

// The bounds the run compares for line code `code`; none when it tests
// nothing for that code.
std::span<const BoundPair> PairsOf(std::string_view prefix, std::string_view code) {
  if (prefix == "54") return kLoans;
  if (prefix == "02" || prefix == "03") return kAmountAndYield;
  if (prefix == "20") {
    if (code == "2000A") return kOneAmount;
    if (code == "2000B" || code == "2000C") return kOneRate;
    return {};
  }
  if (prefix == "33") {
    const bool amount =
        code.size() == kLastCoverAmount.size() && code >= "3300A" && code <= kLastCoverAmount;
    return amount ? std::span<const BoundPair>(kCoverAmounts) : kCoverRates;
  }
  if (prefix == "SC") {
    if (code == "SC00A" || code == "SC00B") return kOneAmount;
    return {};
  }
  return kOneAmount;
}

std::string LabelOf(std::string_view prefix, std::string_view code, const RubricLabels& labels) {
  if (const RubricScreenMember* member = FindRubricScreenMember(prefix)) {
    for (const FixedRubricRow& row : member->fixed_rows) {
      if (row.code == code) return os::Cp1252(row.label);
    }
  }
  if (const auto found = labels.find(code); found != labels.end() && !found->second.empty()) {
    return found->second;
  }
  return "rubrique " + std::string(code);
}

std::string OptionText(char selector) {
  if (selector == '1') return os::Cp1252("par personne (biens communs pour moitié)");
  if (selector == '2') return os::Cp1252("pour l'ensemble du foyer");
  const std::string option = static_cast<unsigned char>(selector) < 0x20
                                 ? os::Cp1252("sans option")
                                 : "option " + Quoted(std::string(1, selector)) + " inconnue";
  return option + os::Cp1252(" (montants comptés pour 0)");
}

std::optional<std::string> PairBounds(const CriteriaElements& elements, const BoundPair& pair) {
  const bool amount = pair.unit == Unit::kAmount;
  if (selection::IsNoBoundPair(elements, pair.first,
                               amount ? selection::kNoUpperAmount : selection::kNoUpperRate)) {
    return std::nullopt;
  }
  const std::string_view lower_text = elements[pair.first];
  const std::string_view upper_text = elements[pair.first + 1];
  const double lower = util::TextToNumber(lower_text);
  const double upper = util::TextToNumber(upper_text);
  const std::string unit = amount ? os::Cp1252(" €") : " %";
  const std::string notes = ZeroReadingNote(lower_text, lower) + ZeroReadingNote(upper_text, upper);
  // Amounts are never this high: the screens' upper default means no upper
  // bound in practice.
  const double unreachable_amount = util::TextToNumber(selection::kNoUpperAmount);
  std::string phrase;
  if (lower > upper) {
    phrase = "de " + FrenchNumber(lower) + os::Cp1252(" à ") + FrenchNumber(upper) + unit +
             ReversedNote();
  } else if (lower == upper) {
    phrase = os::Cp1252("égal à ") + FrenchNumber(lower) + unit;
  } else if (amount && upper >= unreachable_amount) {
    phrase = "d'au moins " + FrenchNumber(lower) + unit;
  } else {
    phrase = "de " + FrenchNumber(lower) + os::Cp1252(" à ") + FrenchNumber(upper) + unit;
  }
  return phrase + notes;
}

std::string CriterionText(std::string_view prefix, const QueryLine& criterion,
                          const RubricLabels& labels) {
  const std::string_view code = std::string_view(criterion.key).substr(0, kRubricCodeWidth);
  const std::string label = LabelOf(prefix, code, labels);
  const std::span<const BoundPair> pairs = PairsOf(prefix, code);
  if (pairs.empty()) return label + " (sans effet)";
  const CriteriaElements elements(criterion.text, '\t');
  std::vector<std::string> parts;
  for (const BoundPair& pair : pairs) {
    std::optional<std::string> bounds = PairBounds(elements, pair);
    if (!bounds) continue;
    parts.push_back(pair.name.empty() ? *bounds : os::Cp1252(pair.name) + " " + *bounds);
  }
  if (parts.empty()) return label + " : sans borne (sans effet)";
  if (pairs.size() == 1) return label + " " + parts.front();
  std::string text = label;
  for (size_t i = 0; i < parts.size(); ++i) text += (i == 0 ? ", " : " et ") + parts[i];
  return text;
}

}  // namespace

std::vector<std::string> RubricPhrases(std::string_view prefix,
                                       std::span<const QueryLine* const> criteria,
                                       const RubricLabels& labels) {
  std::vector<std::string> phrases;
  if (criteria.empty()) return phrases;
  std::string head = "rubrique " + std::string(prefix);
  for (const Family& family : kFamilies) {
    if (family.prefix == prefix) head = os::Cp1252(family.name);
  }
  const RubricScreenMember* member = FindRubricScreenMember(prefix);
  if (member != nullptr && member->has_option()) {
    const std::string& first_key = criteria.front()->key;
    const char selector =
        first_key.size() >= kCriteriaKeyWidth ? first_key[kCriteriaKeyWidth - 1] : '\0';
    head += ", " + OptionText(selector);
  }
  for (const QueryLine* criterion : criteria) {
    phrases.push_back(head + " : " + CriterionText(prefix, *criterion, labels));
  }
  return phrases;
}

}  // namespace vz::queries::summary
