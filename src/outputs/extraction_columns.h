// The column tables of one extraction run: the columns of the current
// client's merge-file line, appended by the column producers family by
// family and cleared before each client.
//
// At most 128 columns, each a code of up to 5 characters and a value of up
// to 60 characters (longer texts are cut). An append beyond the 128th column
// is ignored, and so is setting the value of the last column when there is
// none, so that a query with more figures than the tables hold still gives
// whole lines. The tables live in place: nothing allocates after
// construction. Single-threaded, owned by the run.
#ifndef VZ_SRC_OUTPUTS_EXTRACTION_COLUMNS_H_
#define VZ_SRC_OUTPUTS_EXTRACTION_COLUMNS_H_

#include <array>
#include <cstddef>
#include <string_view>

#include "src/selection/rubric_tables.h"

namespace vz::outputs {

inline constexpr int kColumnCapacity = 128;
inline constexpr size_t kColumnCodeWidth = 5;
inline constexpr size_t kColumnValueWidth = 60;
// The value of a rubric column before its figure is known, and of a zero.
inline constexpr std::string_view kBlankAmount = "        ";

struct Column {
  selection::FixedText<kColumnCodeWidth> code;
  selection::FixedText<kColumnValueWidth> value;
};

class ColumnTables {
 public:
  int count() const { return count_; }
  // Column `index` (0-based); REQUIRES: 0 <= index < count().
  const Column& at(int index) const { return columns_[static_cast<size_t>(index)]; }

  void Clear() { count_ = 0; }
  void Append(std::string_view code, std::string_view value);
  // The value of column count() - 1 - `back` (0: the last one appended).
  void SetFromLast(int back, std::string_view value);

 private:
  std::array<Column, kColumnCapacity> columns_{};
  int count_ = 0;
};

// The amount format of every rubric column: rounded to a whole number and
// right-aligned in 8 characters; 8 blanks for 0 (1234.6 -> "    1235").
// The text is written into `out`, which must hold 32 characters; returns
// its view.
std::string_view FormatAmount(double amount, std::array<char, 32>& out);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_EXTRACTION_COLUMNS_H_
