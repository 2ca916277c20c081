// The summary of an elementary query's criteria and of a combination of
// queries (query_summary.h); the phrases of the criteria are in
// identity_phrases.h and rubric_phrases.h.
#include "src/queries/query_summary.h"

#include <algorithm>

#include "platform/os/cp1252.h"
#include "src/config/parameter_file.h"
#include "src/db/query_code.h"
#include "src/queries/identity_phrases.h"
#include "src/queries/rubric_phrases.h"
#include "src/queries/summary_words.h"
#include "src/selection/expansion.h"
#include "src/selection/rubric_tests.h"
#include "src/util/blanks.h"

namespace vz::queries {
namespace {

// The title text element (the combined query's elements are the run's own).
constexpr int kTitleText = 2;

constexpr std::string_view kRubricLinePrefix = "RUBRIQUE";
constexpr std::string_view kJoin = " ; ";

static_assert(kMostCombinedQueries == (selection::kTokenCapacity - 2) / 4,
              "one combined query takes four more tokens of the run's list");

std::string Cut(std::string_view text, size_t width) {
  return std::string(text.substr(0, width));
}

struct Title {
  std::string text;  // trimmed; empty when the query has no title
  bool combined = false;
  std::string first;  // operand codes, cut to 8 characters
  bool union_of = false;
  std::string second;
};

// The title line as the run reads it: combined when element 6 is "C"; an
// operator other than "OU" is an intersection.
Title ReadTitle(const std::vector<QueryLine>& lines) {
  Title title;
  const auto line = std::find_if(lines.begin(), lines.end(),
                                 [](const QueryLine& l) { return l.key == kTitleKey; });
  if (line == lines.end()) return title;
  config::table_param elements;
  config::ClearTable(elements);
  config::SplitValue(line->text, elements, "\t");
  title.text = util::TrimBlanks(elements[kTitleText], util::kTrimAll);
  title.combined = elements[selection::kTitleCombinedMark] == kCombinedQueryType;
  title.first = Cut(elements[selection::kTitleFirstOperand], selection::kQueryCodeWidth);
  title.union_of = elements[selection::kTitleOperator] == selection::kUnion;
  title.second = Cut(elements[selection::kTitleSecondOperand], selection::kQueryCodeWidth);
  return title;
}

bool IsCriterion(const QueryLine& line) {
  return !line.key.empty() && line.key != kTitleKey &&
         std::string_view(line.key).substr(0, kRubricLinePrefix.size()) != kRubricLinePrefix;
}

// Keys as the query file orders them: blank-padded to 12 characters,
// compared byte by byte.
std::string SortKey(const QueryLine& line) {
  std::string key = line.key;
  if (key.size() < kCriteriaKeyWidth) key.resize(kCriteriaKeyWidth, ' ');
  return key;
}

std::string CriteriaSummary(const std::vector<QueryLine>& lines, const RubricLabels& labels) {
  std::vector<const QueryLine*> criteria;
  for (const QueryLine& line : lines) {
    if (IsCriterion(line)) criteria.push_back(&line);
  }
  std::stable_sort(criteria.begin(), criteria.end(), [](const QueryLine* a, const QueryLine* b) {
    return SortKey(*a) < SortKey(*b);
  });

  std::vector<std::string> phrases;
  std::vector<bool> described(criteria.size(), false);
  for (size_t i = 0; i < criteria.size(); ++i) {
    if (std::optional<std::string> phrase =
            summary::IdentityPhrase(criteria[i]->key, criteria[i]->text)) {
      phrases.push_back(std::move(*phrase));
      described[i] = true;
    }
  }
  for (std::string_view prefix : selection::kRubricPrefixes) {
    std::vector<const QueryLine*> rubric;
    for (size_t i = 0; i < criteria.size(); ++i) {
      if (!described[i] && std::string_view(criteria[i]->key).substr(0, 2) == prefix) {
        rubric.push_back(criteria[i]);
        described[i] = true;
      }
    }
    for (std::string& phrase : summary::RubricPhrases(prefix, rubric, labels)) {
      phrases.push_back(std::move(phrase));
    }
  }
  for (size_t i = 0; i < criteria.size(); ++i) {
    if (!described[i]) {
      phrases.push_back(os::Cp1252("critère ") + summary::Quoted(criteria[i]->key) +
                        os::Cp1252(" inconnu (sans effet)"));
    }
  }

  if (phrases.empty()) return os::Cp1252("Aucun critère : tous les clients");
  std::string text;
  for (const std::string& phrase : phrases) {
    if (!text.empty()) text += kJoin;
    text += phrase;
  }
  return summary::CapitalizeFirst(std::move(text));
}

// The walk through a combination, depth first and left to right like the
// run's expansion.
class CombinationWriter {
 public:
  explicit CombinationWriter(const QueryLookup& lookup) : lookup_(lookup) {}

  bool refused() const { return refused_; }

  // The combination of the combined query `code` whose title is `title`.
  std::string Combination(const std::string& code, const Title& title) {
    if (++combined_ > kMostCombinedQueries) {
      refused_ = true;
      return os::Cp1252("trop de combinaisons");
    }
    open_.push_back(code);
    std::string text = Operand(title.first);
    text += title.union_of ? " OU " : " ET ";
    text += Operand(title.second);
    open_.pop_back();
    return text;
  }

 private:
  std::string Operand(const std::string& code) {
    if (!db::IsUsableQueryCode(code)) {
      refused_ = true;
      if (code.empty()) return os::Cp1252("(requête non choisie)");
      return os::Cp1252("(requête ") + summary::Quoted(code) + os::Cp1252(" invalide)");
    }
    const std::optional<std::vector<QueryLine>> lines = lookup_ ? lookup_(code) : std::nullopt;
    if (!lines)
      return os::Cp1252("(requête ") + code + os::Cp1252(" introuvable : tous les clients)");
    const Title title = ReadTitle(*lines);
    if (!title.combined) {
      return "(" + (title.text.empty() ? os::Cp1252("requête ") + code : title.text) + ")";
    }
    if (std::find(open_.begin(), open_.end(), code) != open_.end()) {
      refused_ = true;
      return os::Cp1252("(combinaison circulaire)");
    }
    return "(" + Combination(code, title) + ")";
  }

  const QueryLookup& lookup_;
  std::vector<std::string> open_;  // the combined queries being written
  int combined_ = 0;
  bool refused_ = false;
};

}  // namespace

std::vector<QueryLine> LinesOf(const QueryWorkingSet& working_set) {
  std::vector<QueryLine> lines;
  for (int number = 1; number <= working_set.LineCount(); ++number) {
    lines.push_back(working_set.Line(number));
  }
  return lines;
}

std::string DescribeQueryLines(std::string_view query_code, const std::vector<QueryLine>& lines,
                               const RubricLabels& labels, const QueryLookup& lookup) {
  const Title title = ReadTitle(lines);
  if (!title.combined) return CriteriaSummary(lines, labels);
  CombinationWriter writer(lookup);
  std::string text = writer.Combination(Cut(query_code, selection::kQueryCodeWidth), title);
  if (writer.refused()) text += os::Cp1252(" : la sélection est impossible");
  return text;
}

}  // namespace vz::queries
