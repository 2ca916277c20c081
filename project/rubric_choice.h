// The rubric choice window `Rubrique`: which figures the extraction of a
// query writes, kept as the query's rubric lines in REQUETES (format in
// docs/rubric-lines.md).
//
// On opening the window fills its table TABLE1 (columns COCHE, FAMILLE,
// LIBELLE, CODE, OPT) with one row per rubric that can be extracted: first
// the identity columns "0000A" to "0000M", then the rubric catalogue
// (RUBRIQUE) family by family in the extraction order ("40", "54", "51",
// "01", "02", "03", "04", "05", "06", "07", "20", "33", "SC"). Nothing is
// ticked; the option cell holds "2" for the families with an option (income,
// loans, real estate, land, securities, cash, other assets, life insurance)
// and stays empty for the others.
//
// B_REQUETE.CLIC loads the rubric lines of the query named in LECODREQ: the
// row of each line's rubric code is ticked ("X") with the line's option.
// B_VALIDER.CLIC writes the choice: ticked rows without their line get one,
// a line whose row is unticked or whose option changed is removed, a second
// line for one rubric is removed; lines whose code has no row are left alone.
//
// Refused with an error box, nothing written: a query code that is not 8
// characters or whose title record does not exist; a ticked row of a family
// with an option whose option is not "1" or "2". The code reads and writes
// through the project's own buffers (project_data.h). Nothing throws.
#ifndef VZ_PROJECT_RUBRIC_CHOICE_H_
#define VZ_PROJECT_RUBRIC_CHOICE_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/code_registry.h"
#include "project/project_data.h"

namespace vz::project {

// One rubric line of a query: the rubric code and the option character (the
// 12th character of the criteria key: "1", "2", or "*" without option).
struct RubricLine {
  std::string code;
  char option = '*';
  bool operator==(const RubricLine&) const = default;
};

// The criteria key of a rubric line: "RUBRIQUE***" followed by the option.
std::string RubricLineKey(char option);

// True when the family (2-character prefix) takes an option.
bool FamilyHasOption(std::string_view family);

// The rubric lines stored for a query (8-character code), in key order.
std::vector<RubricLine> ReadRubricLines(db::RecordSession& data, std::string_view query_code);

// Makes the query's rubric lines those of `wanted` for the codes in `shown`
// (the codes the window offers); lines of other codes are kept. Returns false
// when the engine refused a write. REQUIRES: the query's title record exists.
bool WriteRubricLines(db::RecordSession& data, std::string_view query_code,
                      const std::vector<std::string>& shown, const std::vector<RubricLine>& wanted);

// Rubrique.Rubrique.OUVERTURE, Rubrique.B_REQUETE.CLIC, Rubrique.B_VALIDER.CLIC.
void FillRubricChoice(runtime::CodeContext& context, runtime::Window& window);
void LoadRubricChoice(runtime::CodeContext& context, runtime::Window& window);
void SaveRubricChoice(runtime::CodeContext& context, runtime::Window& window);

}  // namespace vz::project

#endif  // VZ_PROJECT_RUBRIC_CHOICE_H_
