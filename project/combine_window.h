// Window code of the combination window COMBINE: on opening the window fills
// its tables TABLE1 (columns REQUETE1, texte1) and TABLE2 (REQUETE2, texte2)
// with the saved queries, one row per title record of REQUETES (query code,
// title), in query code order; a change of OPTION shows the picture of the
// operation in ENSEMBLE ("UNION.BMP" for choice 1, "INTERSEC.BMP" for any
// other); a change of row in a table shows the chosen title in titre1 or
// titre2.
//
// Title records are those whose criteria key is "TITRE*******" and whose
// prefix is "01"; the title is the second TAB-separated element of the text
// (empty when missing). Reads go through the project's own buffers. Without
// data the tables stay empty. Nothing throws.
#ifndef VZ_PROJECT_COMBINE_WINDOW_H_
#define VZ_PROJECT_COMBINE_WINDOW_H_

#include <string>
#include <vector>

#include "platform/runtime/code_registry.h"
#include "project/project_data.h"

namespace vz::project {

struct SavedQuery {
  std::string code;   // 8 characters: prefix + number
  std::string title;  // element 2 of the title text
  bool operator==(const SavedQuery&) const = default;
};

// The saved queries, in query code order.
std::vector<SavedQuery> ReadSavedQueries(db::RecordSession& data);

// The picture of the operation for an OPTION value.
std::string OperationPicture(std::string_view option);

// COMBINE.COMBINE.OUVERTURE, COMBINE.OPTION.MODIFICATION,
// COMBINE.TABLE1.MODIFICATION, COMBINE.TABLE2.MODIFICATION.
void FillCombineTables(runtime::CodeContext& context, runtime::Window& window);
void ShowOperationPicture(runtime::CodeContext& context, runtime::Window& window);
void ShowFirstTitle(runtime::CodeContext& context, runtime::Window& window);
void ShowSecondTitle(runtime::CodeContext& context, runtime::Window& window);

}  // namespace vz::project

#endif  // VZ_PROJECT_COMBINE_WINDOW_H_
