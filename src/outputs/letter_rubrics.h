// The rubric fields of a letter: keywords beginning with one of the 13
// rubric family prefixes ("40" income ... "33" provident, "SC" estate).
//
// A rubric keyword is a 5-character code (a line code, a family total such
// as "40000", or a fixed code such as "2000A", "3300C", "SC00A"), then one
// character choosing the amount ("1" the first, anything else the second,
// where the family has two), then the selector of the loaders ("1" or "2").
// Each family is loaded once per client with the selector of its first
// keyword in the sorted list that has a seventh character (none: nothing is
// taken); estate has no loader and reads CLIPART.
//
// Every keyword gets one value: "0" when its code is not in the code table
// (or, for estate, is neither "SC00A" nor "SC00B"), otherwise the amount
// written right-aligned in 8 characters, rounded to units, 8 blanks for an
// amount of exactly 0. A missing CLIPART record reads as zeros.
//
// Which amount each family writes is one table (letter_rubrics.cpp), so that
// the 13 families share one walk. Moves the current position of the files
// the loaders read, and of CLIPART.
// REQUIRES: the database files are described and open (record_ops.h).
#ifndef VZ_SRC_OUTPUTS_LETTER_RUBRICS_H_
#define VZ_SRC_OUTPUTS_LETTER_RUBRICS_H_

#include <string_view>

#include "src/outputs/letter_fields.h"
#include "src/outputs/letter_values.h"
#include "src/selection/rubric_tables.h"

namespace vz::outputs {

// Loads family `rank` (2 to 14, letter_fields.h) for `client_code` when the
// list names it, and appends one value per keyword of that family, in list
// order. Does nothing for other ranks. When `reading` is given, appends to it
// the same values written for reading in the document (letter_reading.h):
// amounts grouped by thousands, "0" for zero, the yields of rental and land
// with their decimals.
void AppendRubricValues(int rank, const LetterFieldList& fields, std::string_view client_code,
                        selection::WorkTables& tables, LetterValues& values,
                        LetterValues* reading = nullptr);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTER_RUBRICS_H_
