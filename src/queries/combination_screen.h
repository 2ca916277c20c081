// The combination part of a combined query, exchanged with the window COMBINE.
//
// A combined query selects the union ("OU") or the intersection ("ET") of the
// selections of two other queries. It has no criteria of its own: its title
// text carries, after the explanation lines, "C", the first operand's code,
// the operator and the second operand's code, each followed by TAB. The
// window fills its tables TABLE1 and TABLE2 with the saved queries itself;
// these routines only pick rows in them, read them back and set the operator.
//
// Nothing is validated here, as the window offers any saved query: an operand
// left unselected is stored as whatever the table gives for that row
// (possibly empty), and a query may be combined with itself. The selection
// run refuses cycles. Both routines only send screen commands.
// REQUIRES: the window COMBINE is the current window.
#ifndef VZ_SRC_QUERIES_COMBINATION_SCREEN_H_
#define VZ_SRC_QUERIES_COMBINATION_SCREEN_H_

#include <string>
#include <string_view>

namespace vz::queries {

inline constexpr std::string_view kCombinedMark = "C";
inline constexpr std::string_view kUnion = "OU";
inline constexpr std::string_view kIntersection = "ET";

// Shows a stored combination: elements 7, 8 and 9 of the title text (first
// code, operator, second code). Each operand's row is selected in its table
// when found, and its title copied to titre1 / titre2; an operand no longer
// listed leaves its table unselected and its title field unchanged. The
// operator "OU" shows OPTION "1" and "UNION.BMP"; anything else "2" and
// "INTERSEC.BMP".
void ShowCombination(std::string_view first_code, std::string_view operation,
                     std::string_view second_code);

// The combination part of the title text from the window: "C" TAB, the code
// of the row selected in TABLE1, TAB, "OU" when OPTION reads as 1 and "ET"
// otherwise, TAB, the code of the row selected in TABLE2, TAB.
std::string BuildCombinationPart();

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_COMBINATION_SCREEN_H_
