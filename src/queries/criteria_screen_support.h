// Small pieces shared by the criteria screens: reading the elements of a
// stored criteria text, turning a typed value into a storable element, cell
// and row names, and the message shown when the working set is full.
// Nothing here fails; every function works on copies.
#ifndef VZ_SRC_QUERIES_CRITERIA_SCREEN_SUPPORT_H_
#define VZ_SRC_QUERIES_CRITERIA_SCREEN_SUPPORT_H_

#include <string>
#include <string_view>

#include "src/config/parameter_file.h"
#include "src/queries/query_records.h"

namespace vz::queries {

// The elements of a criteria text split at the list separator, in a table
// cleared first (entries past the last element are empty, never left over).
config::table_param CriteriaElements(std::string_view text);

// A typed value as one element of a criteria text: a TAB, carriage return or
// line feed would split it into several elements (and shift every bound after
// it), so each becomes a blank.
std::string StorableElement(std::string_view typed);

// A row number as the runtime's row commands write it: two digits ("03"), or
// right-aligned in two characters (" 3").
std::string RowWithTwoDigits(int row);
std::string RowRightAligned(int row);

// Shows the error box telling that criteria could not be stored because the
// query has no line left.
void ShowWorkingSetFull();

// Remembers whether any put was refused, for one validation.
class PutOutcome {
 public:
  void Record(PutResult result) { refused_ = refused_ || result == PutResult::kRefused; }
  // Shows the error box once when a put was refused.
  void ReportIfRefused() const;

 private:
  bool refused_ = false;
};

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_CRITERIA_SCREEN_SUPPORT_H_
