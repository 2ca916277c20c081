// The drawing of a label sheet, onto an image of an A4 page: ink only inside
// the labels printed, every printed label inked, nothing where a label is
// skipped.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "project/gui_application.h"
#include "project/label_sheet.h"
#include "project/label_sheet_pdf.h"

// The system's font configuration library keeps a cache for the whole
// process, which the leak checker would otherwise report.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

namespace vz::project {
namespace {

constexpr double kDotsPerMm = 6.0;

LabelAddress Address(int i, size_t extra_lines = 0) {
  LabelAddress address;
  address.client_code = "01000" + std::to_string(1000 + i) + "1";
  address.civility = "Monsieur";
  address.name = "DUPONT-LONGUENOM-DE-LA-FAMILLE-" + std::to_string(i);
  address.lines = {"12 rue de la Grande Avenue du Marechal", "", "Residence " + std::to_string(i)};
  for (size_t e = 0; e < extra_lines; ++e) address.lines[1] += " suite";
  address.postcode = "75011";
  address.city = "PARIS";
  return address;
}

struct Ink {
  int left = 0, top = 0, right = 0, bottom = 0;  // dots, inclusive
  bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

Ink BoxInDots(const LabelBox& box) {
  return {static_cast<int>(box.x_mm * kDotsPerMm), static_cast<int>(box.y_mm * kDotsPerMm),
          static_cast<int>((box.x_mm + box.width_mm) * kDotsPerMm),
          static_cast<int>((box.y_mm + box.height_mm) * kDotsPerMm)};
}

QImage DrawSheet(const LabelLayout& layout, int first, const std::vector<LabelAddress>& addresses,
                 size_t sheet) {
  QImage image(static_cast<int>(kPageWidthMm * kDotsPerMm),
               static_cast<int>(kPageHeightMm * kDotsPerMm), QImage::Format_RGB32);
  image.setDotsPerMeterX(static_cast<int>(kDotsPerMm * 1000));
  image.setDotsPerMeterY(static_cast<int>(kDotsPerMm * 1000));
  image.fill(Qt::white);
  QPainter painter(&image);
  DrawLabelSheet(painter, kDotsPerMm, layout, first, addresses, sheet);
  painter.end();
  return image;
}

TEST(LabelDrawingTest, TextStaysInsideTheLabelsItBelongsTo) {
  ASSERT_TRUE(EnsureGuiApplication());
  struct Case {
    const char* name;
    TypedLabelLayout layout;
    int first;
    size_t count;
    size_t extra_lines;
  };
  const Case cases[] = {
      {"3 by 8 with margins, from label 5", {"10", "5", "2", "4", "30", "62", "3", "8"}, 5, 10, 0},
      {"small labels, long lines", {"5", "5", "1", "1", "12", "25", "7", "20"}, 1, 30, 8},
      {"one big label", {"20", "20", "0", "0", "100", "150", "1", "1"}, 1, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LayoutCheck check = CheckLabelLayout(c.layout);
    ASSERT_TRUE(check.layout);
    std::vector<LabelAddress> addresses;
    for (size_t i = 0; i < c.count; ++i)
      addresses.push_back(Address(static_cast<int>(i), c.extra_lines));
    const QImage image = DrawSheet(*check.layout, c.first, addresses, 0);

    std::vector<Ink> printed;
    for (size_t i = 0; i < c.count; ++i) {
      const LabelBox box = PlaceLabel(*check.layout, c.first, i);
      if (box.sheet == 0) printed.push_back(BoxInDots(box));
    }
    std::vector<int> inked(printed.size(), 0);
    int stray = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (QColor(image.pixel(x, y)).lightness() > 128) continue;
        bool inside = false;
        for (size_t b = 0; b < printed.size(); ++b) {
          if (printed[b].Contains(x, y)) {
            ++inked[b];
            inside = true;
          }
        }
        if (!inside) ++stray;
      }
    }
    EXPECT_EQ(stray, 0) << "dark dots outside every printed label";
    for (size_t b = 0; b < printed.size(); ++b) EXPECT_GT(inked[b], 0) << "label " << b;
  }
}

TEST(LabelDrawingTest, EachSheetDrawsOnlyItsOwnLabels) {
  ASSERT_TRUE(EnsureGuiApplication());
  const LayoutCheck check = CheckLabelLayout({"0", "0", "0", "0", "37", "70", "3", "8"});
  ASSERT_TRUE(check.layout);
  std::vector<LabelAddress> addresses;
  for (int i = 0; i < 30; ++i) addresses.push_back(Address(i));
  auto dark_dots = [](const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) dark += QColor(image.pixel(x, y)).lightness() <= 128;
    }
    return dark;
  };
  // The second sheet holds the last 6 labels: its first two rows.
  const QImage second = DrawSheet(*check.layout, 1, addresses, 1);
  EXPECT_GT(dark_dots(second), 0);
  const QImage second_row = second.copy(0, static_cast<int>(37 * kDotsPerMm) + 1, second.width(),
                                        static_cast<int>(37 * kDotsPerMm) - 2);
  const QImage below = second.copy(0, static_cast<int>(74 * kDotsPerMm) + 1, second.width(),
                                   second.height() - static_cast<int>(74 * kDotsPerMm) - 1);
  EXPECT_GT(dark_dots(second_row), 0);
  EXPECT_EQ(dark_dots(below), 0);
  EXPECT_EQ(dark_dots(DrawSheet(*check.layout, 1, addresses, 2)), 0) << "no third sheet";
}

}  // namespace
}  // namespace vz::project
