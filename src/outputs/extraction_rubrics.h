// The extraction rubric list of one query: which rubric figures its merge
// file holds, and the 14 family flags that tell the extraction run which
// column producers to run.
//
// Only the query's rubric lines count (criteria key beginning "RUBRIQUE");
// each gives one entry of 6 characters: the first 5 characters of its
// criteria text (the rubric code) followed by the 12th character of its
// criteria key (the option, NUL when the key is shorter). The list holds at
// most 64 entries: a query with more rubric lines keeps its first 64 in key
// order and ignores the others (the rubric choice window never writes more).
// A line whose code begins with a prefix outside the 14 families sets no
// flag. Ordering sorts the entries in ascending byte order of their text.
//
// The caller owns the list (no allocation inside); reading moves the
// REQUETES buffer. Nothing fails: a code without records gives an empty list.
// REQUIRES: the database context exists and REQUETES is described.
#ifndef VZ_SRC_OUTPUTS_EXTRACTION_RUBRICS_H_
#define VZ_SRC_OUTPUTS_EXTRACTION_RUBRICS_H_

#include <array>
#include <cstddef>
#include <string_view>

#include "src/selection/rubric_tables.h"

namespace vz::outputs {

inline constexpr int kExtractionRubricCapacity = 64;
inline constexpr size_t kRubricCodeWidth = 5;

// The families in the order in which the columns are produced.
inline constexpr std::array<std::string_view, 14> kExtractionFamilies = {
    "00", "40", "54", "51", "01", "02", "03", "04", "05", "06", "07", "20", "33", "SC"};

struct ExtractionRubric {
  selection::FixedText<kRubricCodeWidth + 1> text;

  // The 5-character rubric code (shorter when the criteria text was).
  std::string_view Code() const { return text.view().substr(0, kRubricCodeWidth); }
  // The option character; NUL when there is none.
  char Option() const {
    return text.view().size() > kRubricCodeWidth ? text.view()[kRubricCodeWidth] : '\0';
  }
};

struct ExtractionRubricList {
  std::array<ExtractionRubric, kExtractionRubricCapacity> entries{};
  int count = 0;
  std::array<bool, kExtractionFamilies.size()> flags{};

  // Entries 0..count-1.
  const ExtractionRubric* begin() const { return entries.data(); }
  const ExtractionRubric* end() const { return entries.data() + count; }

  void Clear();
  // Appends one entry and sets its family's flag; ignored when full.
  void Add(std::string_view code, char option);
};

// Empties `list`, then loads the rubric lines of `query_code` (cut or padded
// to 8 characters) in key order.
void LoadExtractionRubrics(std::string_view query_code, ExtractionRubricList& list);

// Sorts the entries in ascending byte order of their text (code, then option).
void OrderExtractionRubrics(ExtractionRubricList& list);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_EXTRACTION_RUBRICS_H_
