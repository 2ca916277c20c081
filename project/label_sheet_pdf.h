// Drawing a sheet of address labels into a PDF file: A4 pages without
// margins of their own, each label's lines drawn inside the rectangle that
// the label sheet gives it (label_sheet.h), millimetres converted exactly at
// the writer's resolution.
//
// The text of a label starts 2 mm inside its rectangle (less on small
// labels); the type is 10 points, made smaller (down to 7 points, below which it reads badly) until every
// line fits the label's height; a line still wider than the label is cut with
// an ellipsis, and lines beyond the label's height are left out.
//
// The PDF is made in memory, so that a file name is used as the bytes the
// data directory holds (an accented directory from the parameter file keeps
// its cp1252 bytes). The file is written under a temporary name in the same
// folder (src/util/replacing_file.h) and renamed over `pdf` only when
// complete: a failed print never leaves a half-written file and never
// removes the previous one.
// Failure: returns false (nothing written, the temporary file removed).
// REQUIRES: a QGuiApplication exists (EnsureGuiApplication); layout and
// first_position accepted by the label sheet's checks.
#ifndef VZ_PROJECT_LABEL_SHEET_PDF_H_
#define VZ_PROJECT_LABEL_SHEET_PDF_H_

#include <QImage>
#include <QPainter>
#include <cstddef>
#include <filesystem>
#include <vector>

#include "project/label_sheet.h"

namespace vz::project {

bool WriteLabelSheets(const std::filesystem::path& pdf, const LabelLayout& layout,
                      int first_position, const std::vector<LabelAddress>& addresses);

// Draws the labels that fall on sheet `sheet` (0 for the first) with a
// painter already begun on a page whose top left is the sheet's top left and
// that has `dots_per_mm` device units per millimetre.
void DrawLabelSheet(QPainter& painter, double dots_per_mm, const LabelLayout& layout,
                    int first_position, const std::vector<LabelAddress>& addresses, size_t sheet);

// The outline test sheet: one A4 page with the borders of every label of the
// layout and nothing else, to hold against a sheet of labels. Written as
// WriteLabelSheets writes.
bool WriteLabelOutlineSheet(const std::filesystem::path& pdf, const LabelLayout& layout);

// Draws the borders of every label of one sheet (0,2 mm lines).
void DrawLabelOutlines(QPainter& painter, double dots_per_mm, const LabelLayout& layout);

// A small picture of the A4 sheet, `height_px` pixels high: the page and the
// labels of the layout, for the label parameters window.
QImage LabelSheetPreview(const LabelLayout& layout, int height_px);

}  // namespace vz::project

#endif  // VZ_PROJECT_LABEL_SHEET_PDF_H_
