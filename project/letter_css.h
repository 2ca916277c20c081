// The CSS lengths of an HTML letter put into the terms the PDF's layout
// (QTextDocument) honours, before layout: it knows lengths in pixels (a
// 96th of an inch) for margins, padding and indents, and ignores %, cm, mm,
// in, pt and em there. HonouredLengths rewrites, in the <style> blocks and in
// the style="" attributes, every length of the margin, padding and
// text-indent properties into pixels: % of the page's text width, cm, mm, in
// and pt exactly, em at the letter's body font size (12 pt unless the body's
// font-size says otherwise in pt or px). Widths are left as written (the
// layout honours % widths of tables and cells).
//
// Page margins come from an "@page { margin... }" rule, else from the
// body's margins in the <style> block, else 20 mm on every side; the text
// width that % refers to is the A4 page's width less the left and right
// margins. Plain functions over text; nothing fails: a length that cannot be
// read is left as written.
#ifndef VZ_PROJECT_LETTER_CSS_H_
#define VZ_PROJECT_LETTER_CSS_H_

#include <string>
#include <string_view>

namespace vz::project {

// Page margins in millimetres.
struct PageMargins {
  double top = 20, right = 20, bottom = 20, left = 20;
};

inline constexpr double kA4WidthMm = 210;
inline constexpr double kA4HeightMm = 297;
inline constexpr double kCssPixelsPerMm = 96 / 25.4;

PageMargins LetterPageMargins(std::string_view html);

// `text_width_px`: the width that % refers to, in CSS pixels.
// `device_per_css_px`: the layout's pixels per CSS pixel (the PDF writer's
// resolution / 96: the layout takes horizontal margins and indents in its
// device's pixels, vertical ones in CSS pixels). The margin and padding
// shorthands are written out as their four sides.
std::string HonouredLengths(std::string_view html, double text_width_px,
                            double device_per_css_px = 1);

}  // namespace vz::project

#endif  // VZ_PROJECT_LETTER_CSS_H_
