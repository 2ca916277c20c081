// The window code of the label parameters window PARETI: the catalogue of
// label products, the preview of the sheet and the check of the layout.
//
//   PARETI.PARETI.OUVERTURE   fills the list PRODUIT with the label products
//                             of the catalogue (label_products.h); when there
//                             is none, the caption L_PRODUITS says why
//   PARETI.PRODUIT.MODIFICATION  the product picked fills the eight layout
//                             fields with its template's values, and the
//                             preview is redrawn
//   PARETI.APERCU.REMPLIR     (the program, once the stored layout is shown)
//                             draws the preview, without a message
//   PARETI.BT_APERCU.CLIC     redraws the preview of the layout as typed and
//                             says what is wrong with it
//   procedure "VerifieEtiquettes"  (the program, before storing the layout)
//                             checks the eight fields: returns 0 when the
//                             layout fits an A4 sheet (or all eight are
//                             empty: no layout yet), else shows the reason
//                             in an error box and returns 1
//
// The preview is the caption L_APERCU, which describes the sheet in words
// (or the reason it is refused), and the picture APERCU, a PNG of the sheet
// written in the runtime's folder of made pictures
// (platform/runtime/made_pictures.h) under a new name each time.
// A picture that cannot be written leaves the picture empty; the words stay.
// REQUIRES: registered through RegisterProjectCode.
#ifndef VZ_PROJECT_LABEL_PARAMETERS_WINDOW_H_
#define VZ_PROJECT_LABEL_PARAMETERS_WINDOW_H_

#include <string>

#include "platform/runtime/code_registry.h"
#include "platform/runtime/window_model.h"
#include "project/label_sheet.h"

namespace vz::project {

// The words of the preview for a usable layout (cp1252): labels and their
// size, margins, and what is left at the right and at the bottom.
std::string DescribeLabelSheet(const LabelLayout& layout);

// The eight layout fields of a window as typed, in TypedLabelLayout's order
// (MHAUTE, MGAUCHE, ESPV, ESPH, HAUTEUR, LARGEUR, NBETIH, NBETIV): the label
// parameters window and the result window name them alike.
TypedLabelLayout TypedLayoutOf(const runtime::Window& window);

void RegisterLabelParametersWindow(runtime::CodeRegistry& registry);

}  // namespace vz::project

#endif  // VZ_PROJECT_LABEL_PARAMETERS_WINDOW_H_
