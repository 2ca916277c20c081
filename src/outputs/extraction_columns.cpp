// The column tables (extraction_columns.h).
#include "src/outputs/extraction_columns.h"

#include <algorithm>
#include <string>

#include "src/util/number_text.h"

namespace vz::outputs {

void ColumnTables::Append(std::string_view code, std::string_view value) {
  if (count_ >= kColumnCapacity) return;
  Column& column = columns_[static_cast<size_t>(count_)];
  column.code.assign(code);
  column.value.assign(value);
  ++count_;
}

void ColumnTables::SetFromLast(int back, std::string_view value) {
  const int index = count_ - 1 - back;
  if (index < 0 || index >= count_) return;
  columns_[static_cast<size_t>(index)].value.assign(value);
}

std::string_view FormatAmount(double amount, std::array<char, 32>& out) {
  // A zero (a code without figure, an empty total) is 8 blanks.
  if (amount == 0.0) {
    std::copy(kBlankAmount.begin(), kBlankAmount.end(), out.begin());
    return {out.data(), kBlankAmount.size()};
  }
  // Short texts stay in the string's own storage: no allocation per figure.
  const std::string text = util::NumberToText(amount, -8, 0);
  const size_t length = std::min(text.size(), out.size());
  std::copy_n(text.begin(), length, out.begin());
  return {out.data(), length};
}

}  // namespace vz::outputs
