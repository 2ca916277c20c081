// Pieces shared by the identity and rubric tests: the elements of a
// criteria text, the range test with its no-bound pairs, rounding halves to
// even, and the ordinal comparison of texts.
//
// CriteriaElements splits like the parameter table's split value (trailing
// blanks removed, fields at the list separator, at most 32) but keeps views
// into the text, so that a test allocates nothing per client; element 0 and
// elements past the last field read as empty. The text must outlive the
// elements. Nothing fails: a bound that does not parse counts as 0.
//
// A pair of bounds is read into numbers once (BoundPair), when the criterion
// is made (CriteriaEntry, rubric_tables.h): the rubric tests then compare
// every client's amounts with numbers, never with texts.
#ifndef VZ_SRC_SELECTION_RUBRIC_TESTS_SUPPORT_H_
#define VZ_SRC_SELECTION_RUBRIC_TESTS_SUPPORT_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vz::selection {

class CriteriaElements {
 public:
  static constexpr int kMaxElements = 32;

  // Splits `text` at `separator`.
  CriteriaElements(std::string_view text, char separator);
  // Splits `text` at the current list separator.
  explicit CriteriaElements(std::string_view text);

  // Element `number` (from 1); empty outside 1..count().
  std::string_view operator[](int number) const;
  int count() const { return count_; }

 private:
  std::array<std::string_view, kMaxElements> elements_{};
  int count_ = 0;
};

// The no-bound pairs: amounts and rates/yields.
inline constexpr std::string_view kNoUpperAmount = "999999999";
inline constexpr std::string_view kNoUpperRate = "999";

// True when elements `first` and `first + 1` are exactly "0" and
// `no_upper`: the pair sets no bound.
bool IsNoBoundPair(const CriteriaElements& elements, int first, std::string_view no_upper);

// Which no-bound pair a range test knows: kNoUpperAmount or kNoUpperRate.
enum class NoUpper : uint8_t { kAmount, kRate };

// Elements `first` and `first + 1` of a criteria text read as numbers, and
// whether they are exactly a no-bound pair of either kind.
struct BoundPair {
  double lower = 0;
  double upper = 0;
  bool no_amount_bound = false;  // "0" and kNoUpperAmount
  bool no_rate_bound = false;    // "0" and kNoUpperRate
};

BoundPair ReadBoundPair(const CriteriaElements& elements, int first);

// Range test of `value` against a pair: false when the lower bound is above
// the value or the upper bound below it; always true for the no-bound pair
// of `kind`.
bool InRange(double value, const BoundPair& pair, NoUpper kind);

// Nearest whole number, halves to the even neighbour (0.5 -> 0, 1.5 -> 2,
// -2.5 -> -2). NaN stays NaN.
double RoundHalfEven(double value);

// Trimming mode 3 of the blank rules (leading and trailing blanks, space and
// character 255, removed; inner runs reduced as TrimBlanks does) into a
// caller's buffer of `capacity` characters, cut there. Returns the view.
std::string_view TrimInto(std::string_view text, char* buffer, size_t capacity);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_RUBRIC_TESTS_SUPPORT_H_
