#include "project/letter_pdf.h"

#include <QAbstractTextDocumentLayout>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

#include "project/gui_application.h"

namespace vz::project {

struct LetterPdf::Writer {
  explicit Writer(const QString& path) : pdf(path) {}
  QPdfWriter pdf;
  QPainter painter;
};

LetterPdf::LetterPdf() = default;

LetterPdf::~LetterPdf() {
  Finish();
}

bool LetterPdf::Open(const std::string& path, const QString& title) {
  Finish();
  pages_ = 0;
  if (!EnsureGuiApplication()) return false;
  auto writer = std::make_unique<Writer>(QString::fromStdString(path));
  writer->pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
  writer->pdf.setResolution(300);
  writer->pdf.setTitle(title);
  if (!writer->painter.begin(&writer->pdf)) return false;
  writer_ = std::move(writer);
  return true;
}

bool LetterPdf::is_open() const {
  return writer_ != nullptr;
}

bool LetterPdf::AddLetter(const QString& content, bool html, const std::string& base_folder) {
  if (!writer_) return false;
  QPdfWriter& pdf = writer_->pdf;
  QPainter& painter = writer_->painter;
  QTextDocument document;
  document.documentLayout()->setPaintDevice(&pdf);
  document.setMetaInformation(
      QTextDocument::DocumentUrl,
      QUrl::fromLocalFile(QString::fromStdString(base_folder + "/")).toString());
  if (html) {
    document.setHtml(content);
  } else {
    QFont font("Monospace");
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(10);
    document.setDefaultFont(font);
    document.setPlainText(content);
  }
  const QSizeF page(pdf.width(), pdf.height());
  document.setPageSize(page);
  const int pages = std::max(1, document.pageCount());
  for (int p = 0; p < pages; ++p) {
    if (pages_ > 0) pdf.newPage();
    painter.save();
    painter.translate(0, -p * page.height());
    document.drawContents(&painter, QRectF(QPointF(0, p * page.height()), page));
    painter.restore();
    ++pages_;
  }
  return true;
}

void LetterPdf::Finish() {
  if (!writer_) return;
  if (writer_->painter.isActive()) writer_->painter.end();
  writer_.reset();
}

}  // namespace vz::project
