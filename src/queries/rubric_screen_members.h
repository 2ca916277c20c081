// The table of the thirteen rubric criteria screens: what each member of the
// family shows and stores. The screens' routine (rubric_criteria_screens.h)
// reads it; tests read it too. Static data, never changed.
#ifndef VZ_SRC_QUERIES_RUBRIC_SCREEN_MEMBERS_H_
#define VZ_SRC_QUERIES_RUBRIC_SCREEN_MEMBERS_H_

#include <span>
#include <string_view>

#include "src/queries/query_records.h"

namespace vz::queries {

// A row a screen sends itself instead of reading the catalogue.
struct FixedRubricRow {
  std::string_view code;          // CODRUBR, 5 characters
  std::string_view label;         // UTF-8 source text, sent as cp1252
  std::string_view bounds;        // initial bounds, separated by TAB
  std::string_view default_text;  // the bounds, each followed by TAB
};

struct RubricScreenMember {
  std::string_view prefix;
  std::string_view window;
  std::string_view title;                      // F_TITRE
  std::string_view option_text;                // TEXTE beside the option; empty: no option
  RubricRowForm form;                          // catalogue rows; ignored with fixed rows
  std::span<const FixedRubricRow> fixed_rows;  // empty: rows from the catalogue
  std::span<const std::string_view> cells;     // bound cells, in column order
  std::string_view default_text;               // catalogue rows: the bounds of every row
  // Titles of the two column groups (TITRE,1 and TITRE,2), UTF-8; empty: the
  // window's own titles stay.
  std::string_view column_title_1 = {};
  std::string_view column_title_2 = {};

  bool has_option() const { return !option_text.empty(); }
};

// The thirteen members, in the order of their return codes ("01B" to "01N").
std::span<const RubricScreenMember> RubricScreenMembers();

// The member of `prefix`, or nullptr.
const RubricScreenMember* FindRubricScreenMember(std::string_view prefix);

}  // namespace vz::queries

#endif  // VZ_SRC_QUERIES_RUBRIC_SCREEN_MEMBERS_H_
