// The catalogue of label products: A4 sheets of rectangular labels, each
// known by its brand and part number, read at run time from the XML label
// templates of the Debian package glabels-data
// (/usr/share/libglabels-3.0/templates, files "*-templates.xml", plain or
// gzipped). The environment variable VZ_LABEL_TEMPLATES names another folder.
//
// A product is kept when its template is for the paper size "A4", has one
// rectangular label with one layout, and that layout fits the page by the
// label sheet's own check (label_sheet.h). A template that only names an
// equivalent ("equiv") takes the label and layout of that part of the same
// brand. The eight layout fields of a product are its template's values in
// millimetres: x0 and y0 the margins, dx - width and dy - height the gaps.
//
// Failure: never throws. An absent folder or a folder without templates
// gives no product and a French note (cp1252) saying the catalogue is not
// installed; a file that cannot be read or parsed is left out and named in
// the note; the products of the other files stay.
#ifndef VZ_PROJECT_LABEL_PRODUCTS_H_
#define VZ_PROJECT_LABEL_PRODUCTS_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/label_sheet.h"

namespace vz::project {

struct LabelProduct {
  std::string brand;        // "Avery"
  std::string part;         // "L7160"
  std::string description;  // as the template gives it (English), may be empty
  LabelLayout layout;
};

struct LabelCatalogue {
  std::vector<LabelProduct> products;  // sorted by brand, then part number
  std::string note;                    // cp1252; empty when all went well
};

// The folder the catalogue is read from.
std::filesystem::path LabelTemplatesFolder();

LabelCatalogue ReadLabelCatalogue(const std::filesystem::path& folder);

// A length of a template: a number followed by "mm", "cm", "in", "pt" or
// "pc" (no unit: points), in millimetres.
std::optional<double> TemplateLengthMm(std::string_view text);

// The eight layout fields of a product as the adviser would type them:
// millimetres with a decimal comma and at most four decimals, counts whole.
TypedLabelLayout ProductFields(const LabelProduct& product);

// The line of a product in a list (cp1252), two columns: "Avery L7160", TAB,
// "3 x 7 de 63,5 x 38,1 mm".
std::string ProductEntry(const LabelProduct& product);

// The product of a list line made by ProductEntry, or of its first column
// "brand part"; nullptr when the catalogue has none.
const LabelProduct* FindProduct(const LabelCatalogue& catalogue, std::string_view entry);

// A millimetre value written as typed: "63,5", "12", "4,7625".
std::string MillimetreText(double mm);

}  // namespace vz::project

#endif  // VZ_PROJECT_LABEL_PRODUCTS_H_
