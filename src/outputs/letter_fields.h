// The field list of a letter: the field keywords found in the letter
// template, and which rubric families they name.
//
// A field keyword is written in the template as "#" followed by the keyword:
// the character right after "#", then the run of letters A-Z a-z, digits and
// "_" that follows it; at most 11 characters are taken, and a candidate of
// more than 7 characters is dropped ("#0000A," gives "0000A", "#0000AB12"
// gives nothing). A "#" right after a "#" starts a candidate of its own, so
// "##0000A" gives "0000A". The template is read as raw bytes in blocks of
// 2048; a keyword may cross from one block into the next.
//
// The list keeps at most kMaxLetterFields keywords, in the order found and
// duplicates included; keywords found after the list is full are ignored and
// counted in dropped_count(). Each kept keyword whose first two characters
// are one of the 14 family prefixes sets that family's flag.
//
// Sorting puts the list in the order the values are computed: keywords of no
// family first, then by family rank ("00" identity, "40" income, "54" loans,
// "51" taxes, "01", "02", "03", "04", "05", "06", "07", "20" retirement, "33"
// provident, "SC" estate), then by keyword in ascending byte order.
//
// Nothing fails: a template that cannot be opened or read gives an empty
// list. The list owns its keywords; it allocates nothing after construction.
#ifndef VZ_SRC_OUTPUTS_LETTER_FIELDS_H_
#define VZ_SRC_OUTPUTS_LETTER_FIELDS_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "src/selection/rubric_tables.h"

namespace vz::outputs {

inline constexpr int kMaxLetterFields = 64;
inline constexpr size_t kMaxKeywordLength = 7;
inline constexpr size_t kTemplateBlockSize = 2048;

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

// Finds keywords in a template fed in pieces of any size.
class KeywordScanner {
 public:
  explicit KeywordScanner(LetterFieldList& fields) : fields_(fields) {}
  void Feed(std::string_view bytes);
  // Ends the template: a keyword at the very end is kept.
  void Finish();

 private:
  void EndCandidate();

  LetterFieldList& fields_;
  std::array<char, 11> candidate_{};
  size_t length_ = 0;
  bool in_candidate_ = false;
};

// Empties `fields`, then reads the template file at `path` into it. Returns
// false when the file cannot be opened (the list stays empty).
bool ReadLetterFields(const std::string& path, LetterFieldList& fields);

// True when a template name would reach outside the data directory: an
// absolute name (a leading "/" or "\", or a drive "X:"), a name holding ".."
// or a path separator ("/" or "\"). The empty name is not refused: it names
// no file, and the letters then run without fields.
bool IsRefusedTemplateName(std::string_view name);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTER_FIELDS_H_
