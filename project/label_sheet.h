// The sheet of address labels, without drawing: the layout typed in the
// result window, checked, and where each label lands on an A4 page, in
// millimetres; and the lines printed on one label.
//
// The layout is the eight fields of the label layout (top margin, left
// margin, vertical and horizontal spacing, label height and width, labels
// across and down), as typed: sizes in millimetres with a decimal comma or
// point, counts whole. Labels are laid out across, then down; the first label
// of a print goes at a chosen position of the first sheet (1 = top left), the
// following sheets start at their top left.
//
// Failure: CheckLabelLayout never throws; a value that is empty, not a number,
// out of range, or a layout whose labels run off the page gives a French
// message (cp1252) naming the field as the window shows it.
// REQUIRES for the placement functions: a layout accepted by CheckLabelLayout
// and a first position accepted by CheckFirstPosition.
#ifndef VZ_PROJECT_LABEL_SHEET_H_
#define VZ_PROJECT_LABEL_SHEET_H_

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vz::project {

inline constexpr double kPageWidthMm = 210.0;
inline constexpr double kPageHeightMm = 297.0;
inline constexpr int kMostLabelsPerLine = 50;

struct LabelLayout {
  double top_margin_mm = 0;
  double left_margin_mm = 0;
  double vertical_spacing_mm = 0;    // between two rows
  double horizontal_spacing_mm = 0;  // between two columns
  double label_height_mm = 0;
  double label_width_mm = 0;
  int across = 0;
  int down = 0;

  int LabelsPerSheet() const { return across * down; }
};

// The typed texts of the eight layout fields, in the order above.
using TypedLabelLayout = std::array<std::string, 8>;

struct LayoutCheck {
  std::optional<LabelLayout> layout;  // set when the layout is usable
  std::string error;                  // otherwise the message, cp1252
};

LayoutCheck CheckLabelLayout(const TypedLabelLayout& typed);

struct FirstPositionCheck {
  int position = 1;   // 1-based, across then down
  std::string error;  // cp1252; empty when the position is usable
};

// An empty text is position 1; otherwise a whole number from 1 to the labels
// of one sheet.
FirstPositionCheck CheckFirstPosition(std::string_view typed, const LabelLayout& layout);

// A number as the adviser types it: blanks around, digits with at most one
// decimal comma or point; nothing else (no sign, no exponent).
std::optional<double> ParseTypedMillimetres(std::string_view typed);

// One label's rectangle on its sheet; sheet 0 is the first.
struct LabelBox {
  size_t sheet = 0;
  double x_mm = 0;
  double y_mm = 0;
  double width_mm = 0;
  double height_mm = 0;
};

// The place of the label number `index` (0-based) of a print starting at
// `first_position`.
LabelBox PlaceLabel(const LabelLayout& layout, int first_position, size_t index);

// The sheets a print of `count` labels takes (0 for none).
size_t SheetCount(const LabelLayout& layout, int first_position, size_t count);

// What one label says, cp1252 texts as read from the files.
struct LabelAddress {
  std::string client_code;
  std::string civility;  // written out: "Monsieur", "Madame", ...
  std::string name;
  std::array<std::string, 3> lines;
  std::string postcode;
  std::string city;
  std::string first_name;
  // When set, the whole first line instead of civility, first name and name:
  // the addressee of a household ("Monsieur et Madame DUPONT").
  std::string addressee;
};

// The civility written out for a label: "Mademoiselle" for code "3", else the
// written-out title when not blank, else "Monsieur" for "1", "Madame" for "2",
// empty otherwise. Trailing blanks removed.
std::string CivilityWords(std::string_view written_title, std::string_view code);

// The printed lines: civility, first name and name (or the addressee), the
// address lines that are not blank, postcode and city; each trimmed, blank
// lines left out.
std::vector<std::string> LabelLines(const LabelAddress& address);

}  // namespace vz::project

#endif  // VZ_PROJECT_LABEL_SHEET_H_
