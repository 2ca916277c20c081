#include "src/queries/identity_phrases.h"

#include <array>

#include "platform/os/cp1252.h"
#include "src/queries/summary_words.h"
#include "src/selection/rubric_tests_support.h"
#include "src/util/blanks.h"
#include "src/util/number_text.h"

namespace vz::queries::summary {
namespace {

using selection::CriteriaElements;

enum class Kind { kText, kQuotedText, kCity, kAge, kBirthday, kList };

struct IdentityKey {
  std::string_view key;
  std::string_view subject;  // UTF-8
  Kind kind;
};

constexpr std::array<IdentityKey, 10> kIdentityKeys = {{
    {"NOMCLI******", "nom", Kind::kQuotedText},
    {"NUMDOS******", "numéro de dossier", Kind::kText},
    {"CODPOST*****", "code postal", Kind::kText},
    {"VILLE*******", "ville", Kind::kCity},
    {"AGECLI******", "âge", Kind::kAge},
    {"ANNI********", "anniversaire", Kind::kBirthday},
    {"SITFAM******", "situation de famille", Kind::kList},
    {"REGMAT******", "régime matrimonial", Kind::kList},
    {"FAMPRO******", "famille professionnelle", Kind::kList},
    {"PROFES******", "profession", Kind::kList},
}};

constexpr std::string_view kNoDate = "__/__";

const IdentityKey* FindKey(std::string_view key) {
  for (const IdentityKey& known : kIdentityKeys) {
    if (known.key == key) return &known;
  }
  return nullptr;
}

std::string Trimmed(std::string_view text) {
  return util::TrimBlanks(text, util::kTrimAll);
}

std::string BothOpen(const std::string& subject) {
  return subject + os::Cp1252(" : bornes vides (sans effet)");
}

// Names, file numbers, postcodes: trimmed texts, blank sides open.
std::string TextRange(const std::string& subject, const CriteriaElements& elements, bool quoted) {
  const std::string lower = Trimmed(elements[1]);
  const std::string upper = Trimmed(elements[2]);
  const auto shown = [quoted](const std::string& bound) { return quoted ? Quoted(bound) : bound; };
  if (lower.empty() && upper.empty()) return BothOpen(subject);
  if (lower.empty()) return subject + os::Cp1252(" jusqu'à ") + shown(upper);
  if (upper.empty()) return subject + os::Cp1252(" à partir de ") + shown(lower);
  if (lower == upper) return subject + " " + shown(lower);
  std::string phrase = subject + " de " + shown(lower) + os::Cp1252(" à ") + shown(upper);
  if (lower > upper) phrase += ReversedNote();
  return phrase;
}

std::string City(const std::string& subject, const CriteriaElements& elements) {
  if (util::IsBlank(elements[1])) return subject + os::Cp1252(" : vide (sans effet)");
  return subject + " " + Quoted(Trimmed(elements[1]));
}

std::string Years(int32_t years) {
  return FrenchNumber(years) + (years >= 2 || years <= -2 ? " ans" : " an");
}

std::string Age(const std::string& subject, const CriteriaElements& elements) {
  const bool lower_open = util::IsBlank(elements[1]);
  const bool upper_open = util::IsBlank(elements[2]);
  if (lower_open && upper_open) return BothOpen(subject);
  const int32_t lower = util::TextToInt(elements[1]);
  const int32_t upper = util::TextToInt(elements[2]);
  const std::string lower_note = lower_open ? "" : ZeroReadingNote(elements[1], lower);
  const std::string upper_note = upper_open ? "" : ZeroReadingNote(elements[2], upper);
  if (lower_open) return subject + " d'au plus " + Years(upper) + upper_note;
  if (upper_open) return subject + " d'au moins " + Years(lower) + lower_note;
  if (lower == upper) return subject + " de " + Years(lower) + lower_note + upper_note;
  std::string phrase = subject + " de " + FrenchNumber(lower) + os::Cp1252(" à ") + Years(upper);
  if (lower > upper) phrase += ReversedNote();
  return phrase + lower_note + upper_note;
}

// DD/MM as the run compares it: month then day, blanks for missing places.
std::string MonthDay(std::string_view day_month) {
  const auto at = [day_month](size_t i) { return i < day_month.size() ? day_month[i] : ' '; };
  return {at(3), at(4), at(0), at(1)};
}

bool OpenBirthdayBound(std::string_view bound) {
  return bound == kNoDate || util::IsBlank(bound);
}

std::string Birthday(const std::string& subject, const CriteriaElements& elements) {
  const bool lower_open = OpenBirthdayBound(elements[1]);
  const bool upper_open = OpenBirthdayBound(elements[2]);
  const std::string lower = Trimmed(elements[1]);
  const std::string upper = Trimmed(elements[2]);
  if (lower_open && upper_open) return BothOpen(subject);
  if (lower_open) return subject + " jusqu'au " + upper;
  if (upper_open) return subject + os::Cp1252(" à partir du ") + lower;
  const std::string lower_day = MonthDay(elements[1]);
  const std::string upper_day = MonthDay(elements[2]);
  if (lower_day == upper_day) return subject + " le " + lower;
  std::string phrase = subject + " du " + lower + " au " + upper;
  if (lower_day > upper_day) phrase += ReversedNote();
  return phrase;
}

// A list row stored as label TAB code: the code decides, the label is shown.
std::string ListChoice(const std::string& subject, const CriteriaElements& elements) {
  if (util::IsBlank(elements[2])) return subject + os::Cp1252(" : aucun code (sans effet)");
  const std::string label = Trimmed(elements[1]);
  return subject + " : " + (label.empty() ? "code " + Trimmed(elements[2]) : label);
}

}  // namespace

bool IsIdentityKey(std::string_view key) {
  return FindKey(key) != nullptr;
}

std::optional<std::string> IdentityPhrase(std::string_view key, std::string_view text) {
  const IdentityKey* known = FindKey(key);
  if (known == nullptr) return std::nullopt;
  const CriteriaElements elements(text, '\t');
  const std::string subject = os::Cp1252(known->subject);
  switch (known->kind) {
    case Kind::kText:
      return TextRange(subject, elements, false);
    case Kind::kQuotedText:
      return TextRange(subject, elements, true);
    case Kind::kCity:
      return City(subject, elements);
    case Kind::kAge:
      return Age(subject, elements);
    case Kind::kBirthday:
      return Birthday(subject, elements);
    case Kind::kList:
      return ListChoice(subject, elements);
  }
  return std::nullopt;
}

}  // namespace vz::queries::summary
