// The pages of a PDF drawn on a printer: a PDF printer stands for the
// printer the adviser chooses in the print dialog.
#include "platform/runtime/qt/pdf_printing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <cstdio>
#include <filesystem>

#include "platform/runtime/qt/qt_test_support.h"

namespace vz::runtime {
namespace {

namespace fs = std::filesystem;

// A PDF of `pages` A4 pages, each with a black square at its top left.
void WritePdf(const fs::path& file, int pages) {
  QPdfWriter writer(QString::fromStdString(file.string()));
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setResolution(72);
  QPainter painter(&writer);
  for (int page = 0; page < pages; ++page) {
    if (page > 0) writer.newPage();
    painter.fillRect(QRect(0, 0, 100, 100), Qt::black);
  }
}

class PdfPrintingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    folder_ = fs::temp_directory_path() / ("vz-pdf-printing-" + std::to_string(getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(PdfPrintingTest, EveryPageIsDrawnOnThePrinter) {
  WritePdf(folder_ / "lettres.pdf", 3);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((folder_ / "printed.pdf").string()));
  std::string problem;
  ASSERT_TRUE(RenderPdfPages(folder_ / "lettres.pdf", printer, problem)) << problem;
  QPdfDocument printed;
  ASSERT_EQ(printed.load(QString::fromStdString((folder_ / "printed.pdf").string())),
            QPdfDocument::Error::None);
  EXPECT_EQ(printed.pageCount(), 3);
  // The square is on the printed page, near its top left.
  const QImage page = printed.render(0, QSize(210, 297));
  // (The rendered page is transparent where nothing was drawn.)
  const QRgb corner = page.pixel(page.width() / 20, page.height() / 30);
  EXPECT_GT(qAlpha(corner), 200);
  EXPECT_LT(qGray(corner), 80);
  const QRgb middle = page.pixel(page.width() / 2, page.height() / 2);
  EXPECT_TRUE(qAlpha(middle) < 50 || qGray(middle) > 200);
}

TEST_F(PdfPrintingTest, AFileThatIsNotAPdfPrintsNothingAndSaysWhy) {
  std::FILE* file = std::fopen((folder_ / "broken.pdf").c_str(), "w");
  std::fputs("not a pdf", file);
  std::fclose(file);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((folder_ / "printed.pdf").string()));
  std::string problem;
  for (const fs::path& pdf : {folder_ / "broken.pdf", folder_ / "absent.pdf"}) {
    EXPECT_FALSE(RenderPdfPages(pdf, printer, problem));
    EXPECT_NE(problem.find("ne peut pas"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(folder_ / "printed.pdf"));
}

}  // namespace
}  // namespace vz::runtime
