// The column tables (extraction_columns.h).
#include "src/outputs/extraction_columns.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "src/util/number_text.h"

namespace vz::outputs {
namespace {

// Amounts below this take the short way in FormatAmount.
constexpr double kExactWholeBelow = 1e15;

}  // namespace

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
  const double magnitude = std::fabs(amount);
  if (magnitude < kExactWholeBelow) {
    // Below 10^15 a double keeps at least three binary places, so its whole
    // part and whether its fraction reaches one half are exact, and rounding
    // its shortest decimal form half away from zero gives the same number.
    const double whole = std::floor(magnitude);
    auto rounded = static_cast<uint64_t>(whole);
    if (magnitude - whole >= 0.5) ++rounded;
    char digits[24];
    const size_t length =
        static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, rounded).ptr - digits);
    const bool minus = amount < 0 && !(length == 1 && digits[0] == '0');
    const size_t width = length + (minus ? 1 : 0);
    const size_t blanks = width < kBlankAmount.size() ? kBlankAmount.size() - width : 0;
    std::fill_n(out.begin(), blanks, ' ');
    size_t at = blanks;
    if (minus) out[at++] = '-';
    std::copy_n(digits, length, out.data() + at);
    return {out.data(), blanks + width};
  }
  // Short texts stay in the string's own storage: no allocation per figure.
  const std::string text = util::NumberToText(amount, -8, 0);
  const size_t length = std::min(text.size(), out.size());
  std::copy_n(text.begin(), length, out.begin());
  return {out.data(), length};
}

}  // namespace vz::outputs
