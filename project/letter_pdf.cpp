#include "project/letter_pdf.h"

#include <unistd.h>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextFrameFormat>
#include <QUrl>
#include <QVariant>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/os/cp1252.h"
#include "platform/os/whole_file.h"
#include "project/gui_application.h"
#include "project/letter_css.h"
#include "src/outputs/letter_template.h"
#include "src/util/replacing_file.h"

namespace vz::project {

namespace fs = std::filesystem;

// The PDF is made in memory: file names are bytes as the data directory holds
// them, which Qt's text file names could not always reproduce.
struct LetterPdf::Writer {
  explicit Writer(const fs::path& target) : path(target), buffer(&bytes), pdf(&buffer) {}
  fs::path path;
  QByteArray bytes;
  QBuffer buffer;
  QPdfWriter pdf;
  QPainter painter;
};

namespace {

// The folder of `path` exists and this process may create files in it.
bool FolderIsWritable(const fs::path& path) {
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::error_code ec;
  return fs::is_directory(folder, ec) && access(folder.c_str(), W_OK | X_OK) == 0;
}

// An HTML letter whose images are read by this program rather than by Qt:
// the data directory's name and the image names are cp1252 bytes on disk,
// which Qt's file names (UTF-8) cannot always spell. A relative image name
// is looked for in the base folder, spelt first in cp1252 (as the template's
// text was), then in UTF-8; an absolute one as it stands. An image that is
// not found or not readable is left out; the letter is laid out without it.
class LetterDocument : public QTextDocument {
 public:
  explicit LetterDocument(std::string base_folder) : base_folder_(std::move(base_folder)) {}

 protected:
  QVariant loadResource(int type, const QUrl& name) override {
    if (type != QTextDocument::ImageResource) return QTextDocument::loadResource(type, name);
    if (!name.scheme().isEmpty() && !name.isLocalFile()) return QVariant();
    const QString written = name.isLocalFile() ? name.toLocalFile() : name.path();
    if (written.isEmpty()) return QVariant();
    const std::string utf8 = written.toStdString();
    std::vector<std::string> candidates;
    if (utf8.front() == '/') {
      candidates = {os::Cp1252(utf8), utf8};
    } else {
      candidates = {base_folder_ + "/" + os::Cp1252(utf8), base_folder_ + "/" + utf8};
    }
    for (const std::string& path : candidates) {
      std::string bytes;
      if (!os::ReadWholeFile(path, &bytes)) continue;
      QImage image;
      if (image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                             static_cast<int>(bytes.size()))) {
        return image;
      }
    }
    return QVariant();
  }

 private:
  std::string base_folder_;
};

}  // namespace

LetterPdf::LetterPdf() = default;

LetterPdf::~LetterPdf() {
  Finish();
}

bool LetterPdf::Open(const fs::path& path, const QString& title) {
  Finish();
  pages_ = 0;
  if (!EnsureGuiApplication() || !FolderIsWritable(path)) return false;
  auto writer = std::make_unique<Writer>(path);
  if (!writer->buffer.open(QIODevice::WriteOnly)) return false;
  writer->pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
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
  const outputs::LetterTemplate measured(
      content.toStdString(), html ? outputs::LetterFormat::kHtml : outputs::LetterFormat::kText);
  if (!outputs::LayoutCostRefusal(measured).empty()) return false;
  QPdfWriter& pdf = writer_->pdf;
  QPainter& painter = writer_->painter;
  LetterDocument document(base_folder);
  document.documentLayout()->setPaintDevice(&pdf);
  PageMargins margins;
  if (html) {
    // The template's page margins and its lengths in %, cm, mm, pt, em, in
    // the pixels the layout honours (letter_css.h).
    const std::string text = content.toStdString();
    margins = LetterPageMargins(text);
    const double text_width_px = (kA4WidthMm - margins.left - margins.right) * kCssPixelsPerMm;
    document.setHtml(
        QString::fromStdString(HonouredLengths(text, text_width_px, pdf.resolution() / 96.0)));
  } else {
    QFont font("Monospace");
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(10);
    document.setDefaultFont(font);
    document.setPlainText(content);
  }
  // The page's margins are the root frame's, repeated on every page.
  QTextFrameFormat frame = document.rootFrame()->frameFormat();
  frame.setTopMargin(margins.top * kCssPixelsPerMm);
  frame.setRightMargin(margins.right * kCssPixelsPerMm);
  frame.setBottomMargin(margins.bottom * kCssPixelsPerMm);
  frame.setLeftMargin(margins.left * kCssPixelsPerMm);
  document.rootFrame()->setFrameFormat(frame);
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

bool LetterPdf::Finish() {
  if (!writer_) return true;
  std::unique_ptr<Writer> writer = std::move(writer_);
  if (writer->painter.isActive() && !writer->painter.end()) return false;
  writer->buffer.close();
  if (writer->bytes.isEmpty()) return false;
  return util::ReplaceFileWithBytes(
      writer->path.string(),
      std::string_view(writer->bytes.constData(), static_cast<size_t>(writer->bytes.size())));
}

}  // namespace vz::project
