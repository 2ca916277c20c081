// The value list of a letter: one text of at most 60 characters per field of
// the sorted field list (letter_fields.h), value i belonging to field i.
// Rebuilt for each client. The identity and rubric computations append
// exactly one value per field of their family, in list order; appending past
// the list's room is ignored. Allocates nothing after construction.
#ifndef VZ_SRC_OUTPUTS_LETTER_VALUES_H_
#define VZ_SRC_OUTPUTS_LETTER_VALUES_H_

#include <array>
#include <cstddef>
#include <string_view>

#include "src/outputs/letter_fields.h"
#include "src/selection/rubric_tables.h"

namespace vz::outputs {

inline constexpr size_t kLetterValueWidth = 60;

class LetterValues {
 public:
  int count() const { return count_; }
  // Value `index` (0-based); empty outside the list.
  std::string_view At(int index) const {
    return index >= 0 && index < count_ ? values_[index].view() : std::string_view();
  }
  void Clear() { count_ = 0; }
  // Appends `value` cut to 60 characters.
  void Append(std::string_view value) {
    if (count_ < kMaxLetterFields) values_[count_++].assign(value);
  }
  // Replaces the last value appended.
  void ReplaceLast(std::string_view value) {
    if (count_ > 0) values_[count_ - 1].assign(value);
  }

 private:
  std::array<selection::FixedText<kLetterValueWidth>, kMaxLetterFields> values_{};
  int count_ = 0;
};

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTER_VALUES_H_
