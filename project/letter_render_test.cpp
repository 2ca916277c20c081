// The PDF of the shipped sample HTML letter looks as the template is written:
// page 1 rendered at 50 dpi by pdftoppm (poppler-utils) shows the address
// block and the signature in the right part of the page (margin-left: 55%)
// and the body at the left margin, and differs from the committed reference
// image (project/testdata/BILAN-page1.png) in at most 2 % of its pixels.
// VZ_WRITE_RENDER_REFERENCE=1 writes the reference instead, to look at and
// commit after a deliberate change of the layout.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/os/whole_file.h"
#include "project/letter_css.h"
#include "project/letter_pdf.h"

// Fontconfig keeps its caches for the life of the process, which the leak
// checker would otherwise report.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

namespace vz::project {
namespace {

namespace fs = std::filesystem;

bool Dark(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) < 128;
}

// The leftmost dark pixel of rows [from, to); -1 when none.
int LeftmostInk(const QImage& image, int from, int to) {
  int left = -1;
  for (int y = from; y < to && y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (Dark(image, x, y)) {
        if (left < 0 || x < left) left = x;
        break;
      }
    }
  }
  return left;
}

// The rows of the lines of text: [first row, last row] of each band of ink.
std::vector<std::pair<int, int>> TextLines(const QImage& image) {
  std::vector<std::pair<int, int>> lines;
  int start = -1;
  for (int y = 0; y < image.height(); ++y) {
    bool ink = false;
    for (int x = 0; x < image.width() && !ink; ++x) ink = Dark(image, x, y);
    if (ink && start < 0) start = y;
    if (!ink && start >= 0) {
      lines.emplace_back(start, y);
      start = -1;
    }
  }
  return lines;
}

TEST(LetterRenderTest, TheSampleHtmlLetterRendersAsWritten) {
  if (std::system("pdftoppm -v > /dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm not installed";
  const fs::path folder =
      fs::temp_directory_path() / ("letter_render_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::string html;
  ASSERT_TRUE(os::ReadWholeFile(std::string(VZ_PROJECT_DIR) + "/templates/BILAN.HTM", &html));
  {
    LetterPdf pdf;
    ASSERT_TRUE(pdf.Open(folder / "lettres.pdf", "Lettres"));
    ASSERT_TRUE(pdf.AddLetter(QString::fromStdString(html), true, folder.string()));
    ASSERT_TRUE(pdf.Finish());
  }
  const std::string command = "pdftoppm -r 50 -f 1 -l 1 -png -singlefile '" +
                              (folder / "lettres.pdf").string() + "' '" +
                              (folder / "page").string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  QImage page(QString::fromStdString((folder / "page.png").string()));
  ASSERT_FALSE(page.isNull());
  page = page.convertToFormat(QImage::Format_RGB32);
  EXPECT_NEAR(page.width(), 413, 2);  // 210 mm at 50 dpi

  // 20 mm margins; the text width is 170 mm: 55 % of it starts 113.5 mm in.
  const double px_per_mm = page.width() / kA4WidthMm;
  const std::vector<std::pair<int, int>> lines = TextLines(page);
  ASSERT_GE(lines.size(), 10u);
  const int address = LeftmostInk(page, lines[0].first, lines[3].second);
  EXPECT_NEAR(address / px_per_mm, 113.5, 4) << "the address block";
  const int signature = LeftmostInk(page, lines.back().first, lines.back().second);
  EXPECT_NEAR(signature / px_per_mm, 113.5, 4) << "the signature";
  const int body = LeftmostInk(page, lines[6].first, lines[lines.size() - 2].second);
  EXPECT_NEAR(body / px_per_mm, 20, 3) << "the body at the left margin";
  EXPECT_NEAR(lines[0].first / px_per_mm, 20, 4) << "the top margin";

  const std::string reference = std::string(VZ_PROJECT_DIR) + "/testdata/BILAN-page1.png";
  if (std::getenv("VZ_WRITE_RENDER_REFERENCE") != nullptr) {
    ASSERT_TRUE(page.save(QString::fromStdString(reference)));
  }
  QImage expected(QString::fromStdString(reference));
  ASSERT_FALSE(expected.isNull()) << reference;
  expected = expected.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(expected.size(), page.size());
  int64_t differing = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (std::abs(qGray(page.pixel(x, y)) - qGray(expected.pixel(x, y))) > 64) ++differing;
    }
  }
  EXPECT_LT(differing, int64_t{page.width()} * page.height() / 50) << differing << " pixels differ";
  fs::remove_all(folder);
}

}  // namespace
}  // namespace vz::project
