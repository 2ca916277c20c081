// The field list of a letter: the field keywords of the letter template
// (letter_template.h), in the order found, and which rubric families they
// name.
//
// The list keeps at most kMaxLetterFields keywords, duplicates included;
// keywords found after the list is full are ignored and counted in
// dropped_count(). Each kept keyword whose first two characters are one of
// the 14 family prefixes sets that family's flag.
//
// Sorting puts the list in the order the values are computed: keywords of no
// family first, then by family rank ("00" identity, "40" income, "54" loans,
// "51" taxes, "01", "02", "03", "04", "05", "06", "07", "20" retirement, "33"
// provident, "SC" estate), then by keyword in ascending byte order.
//
// Nothing fails: a template that cannot be read gives an empty list. The
// list owns its keywords; it allocates nothing after construction.
#ifndef VZ_SRC_OUTPUTS_LETTER_FIELDS_H_
#define VZ_SRC_OUTPUTS_LETTER_FIELDS_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "src/outputs/letter_template.h"
#include "src/selection/rubric_tables.h"

namespace vz::outputs {

inline constexpr int kMaxLetterFields = 64;

// Families in rank order; rank 0 is "no family".
inline constexpr int kFamilyCount = 14;
inline constexpr std::array<std::string_view, kFamilyCount> kFamilyPrefixes = {
    "00", "40", "54", "51", "01", "02", "03", "04", "05", "06", "07", "20", "33", "SC"};

// 1 to 14 for a keyword beginning with a family prefix, 0 otherwise.
int FamilyRank(std::string_view keyword);

class LetterFieldList {
 public:
  int count() const { return count_; }
  // Keyword `index` (0-based); empty outside the list.
  std::string_view At(int index) const;
  // True when some keyword of family `rank` (1 to 14) is in the list.
  bool HasFamily(int rank) const;
  // Keywords that did not fit in the list.
  int dropped_count() const { return dropped_; }

  void Clear();
  // Appends a keyword (cut to kMaxKeywordLength) and sets its family flag;
  // counted as dropped when the list is full.
  void Append(std::string_view keyword);
  // Orders the list by family rank, then keyword.
  void Sort();

 private:
  std::array<selection::FixedText<kMaxKeywordLength>, kMaxLetterFields> keywords_{};
  std::array<bool, kFamilyCount + 1> families_{};
  int count_ = 0;
  int dropped_ = 0;
};

// Empties `fields`, then appends the keyword of every keyword piece of the
// template, in order.
void ListLetterFields(const LetterTemplate& parsed, LetterFieldList& fields);

// Empties `fields`, then reads the template file at `path` into it, in the
// format of its extension (as plain text for any other extension). Returns
// false when the path is empty or names no readable file (the list stays
// empty). `cost_refusal`, when given, receives LayoutCostRefusal of the
// template (letter_template.h), or "".
bool ReadLetterFields(const std::string& path, LetterFieldList& fields,
                      std::string* cost_refusal = nullptr);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTER_FIELDS_H_
