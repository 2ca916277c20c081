#include "platform/runtime/qt/pdf_printing.h"

#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QPrintDialog>
#include <algorithm>

#include "platform/os/cp1252.h"

namespace vz::runtime {
namespace {

constexpr int kMostDotsPerInch = 300;

}  // namespace

bool RenderPdfPages(const std::filesystem::path& pdf, QPrinter& printer, std::string& problem) {
  QPdfDocument document;
  const QString name = QString::fromStdString(pdf.string());
  if (document.load(name) != QPdfDocument::Error::None || document.pageCount() < 1) {
    problem = os::Cp1252("Le document " + pdf.string() + " ne peut pas être lu.");
    return false;
  }
  QPainter painter;
  if (!painter.begin(&printer)) {
    problem = os::Cp1252("L'imprimante ne peut pas être utilisée.");
    return false;
  }
  const int dpi = std::min(printer.resolution(), kMostDotsPerInch);
  const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
  for (int page = 0; page < document.pageCount(); ++page) {
    if (page > 0 && !printer.newPage()) break;
    const QSizeF points = document.pagePointSize(page);
    const QSize dots(static_cast<int>(points.width() * dpi / 72.0),
                     static_cast<int>(points.height() * dpi / 72.0));
    const QImage image = document.render(page, dots);
    QSizeF drawn = QSizeF(image.size()).scaled(area.size() - QSizeF(1, 1), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(QPointF(0, 0), drawn), image);
  }
  return painter.end();
}

PrintOutcome PrintPdfWithDialog(QWidget* parent, const std::filesystem::path& pdf,
                                const QString& title) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(title);
  printer.setPageSize(QPageSize(QPageSize::A4));
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("Imprimer : ") + title);
  if (dialog.exec() != QDialog::Accepted) return {PrintOutcome::Result::kCancelled, {}};
  std::string problem;
  if (!RenderPdfPages(pdf, printer, problem)) {
    return {PrintOutcome::Result::kUnavailable, problem};
  }
  const QString where =
      printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
  return {PrintOutcome::Result::kPrinted, os::Cp1252(where.toStdString())};
}

}  // namespace vz::runtime
