#include "project/label_sheet_pdf.h"

#include <QBuffer>
#include <QImage>
#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/os/cp1252.h"
#include "src/util/replacing_file.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;

constexpr int kResolution = 1200;  // dots per inch of the PDF's coordinates
constexpr double kMillimetresPerInch = 25.4;
constexpr double kPaddingMm = 2.0;
constexpr double kLargestPoints = 10.0;
constexpr double kSmallestPoints = 7.0;  // below it a label is hard to read

QString ToQString(const std::string& cp1252) {
  const std::string utf8 = os::Utf8(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The type size at which `lines` lines fit `height` dots.
QFont FittingFont(QPaintDevice& device, size_t lines, double height) {
  QFont font;
  font.setStyleHint(QFont::SansSerif);
  for (double points = kLargestPoints;; points -= 0.5) {
    font.setPointSizeF(points);
    const QFontMetricsF metrics(font, &device);
    if (points <= kSmallestPoints || metrics.lineSpacing() * static_cast<double>(lines) <= height)
      return font;
  }
}

// Every label of a print has the same size: the type for each number of
// lines is worked out once.
class LabelTypes {
 public:
  LabelTypes(QPaintDevice& device, double height) : device_(device), height_(height) {}
  const std::pair<QFont, QFontMetricsF>& For(size_t lines) {
    auto it = types_.find(lines);
    if (it == types_.end()) {
      const QFont font = FittingFont(device_, lines, height_);
      it = types_.emplace(lines, std::make_pair(font, QFontMetricsF(font, &device_))).first;
    }
    return it->second;
  }

 private:
  QPaintDevice& device_;
  double height_;
  std::map<size_t, std::pair<QFont, QFontMetricsF>> types_;
};

double Padding(const LabelLayout& layout) {
  return std::min({kPaddingMm, layout.label_width_mm / 10, layout.label_height_mm / 10});
}

void DrawLabel(QPainter& painter, LabelTypes& types, double dots_per_mm, double padding,
               const LabelBox& box, const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const QRectF inside((box.x_mm + padding) * dots_per_mm, (box.y_mm + padding) * dots_per_mm,
                      (box.width_mm - 2 * padding) * dots_per_mm,
                      (box.height_mm - 2 * padding) * dots_per_mm);
  const auto& [font, metrics] = types.For(lines.size());
  painter.setFont(font);
  double y = inside.top();
  for (const std::string& line : lines) {
    if (y + metrics.height() > inside.bottom() + 0.5 && y > inside.top()) break;
    const QString text = metrics.elidedText(ToQString(line), Qt::ElideRight, inside.width());
    painter.drawText(QPointF(inside.left(), y + metrics.ascent()), text);
    y += metrics.lineSpacing();
  }
}

// The PDF is made in memory: file names are bytes as the data directory
// holds them, which Qt's text file names could not always reproduce.
using SheetDrawing = std::function<void(QPainter&, double dots_per_mm, size_t sheet)>;

bool DrawSheets(QIODevice& output, size_t sheets, const QString& title,
                const SheetDrawing& draw) {
  QPdfWriter writer(&output);
  writer.setResolution(kResolution);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
  writer.setCreator(QStringLiteral("Sélection et publipostage"));
  writer.setTitle(title);
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  for (size_t sheet = 0; sheet < sheets; ++sheet) {
    if (sheet > 0 && !writer.newPage()) return false;
    draw(painter, kResolution / kMillimetresPerInch, sheet);
  }
  return painter.end();
}

bool WriteSheets(const fs::path& pdf, size_t sheets, const QString& title,
                 const SheetDrawing& draw) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return false;
  if (!DrawSheets(buffer, sheets, title, draw) || bytes.isEmpty()) return false;
  buffer.close();
  return util::ReplaceFileWithBytes(
      pdf.string(), std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace

void DrawLabelSheet(QPainter& painter, double dots_per_mm, const LabelLayout& layout,
                    int first_position, const std::vector<LabelAddress>& addresses, size_t sheet) {
  QPaintDevice* device = painter.device();
  if (!device) return;
  painter.setPen(Qt::black);
  const double padding = Padding(layout);
  LabelTypes types(*device, (layout.label_height_mm - 2 * padding) * dots_per_mm);
  // Labels of this sheet: positions sheet * per_sheet onwards, counted from
  // the first position of the print.
  const size_t per_sheet = static_cast<size_t>(layout.LabelsPerSheet());
  const size_t skipped = static_cast<size_t>(first_position - 1);
  const size_t begin = sheet == 0 ? 0 : sheet * per_sheet - skipped;
  const size_t end = std::min(addresses.size(), (sheet + 1) * per_sheet - skipped);
  for (size_t i = begin; i < end; ++i) {
    DrawLabel(painter, types, dots_per_mm, padding, PlaceLabel(layout, first_position, i),
              LabelLines(addresses[i]));
  }
}

bool WriteLabelSheets(const fs::path& pdf, const LabelLayout& layout, int first_position,
                      const std::vector<LabelAddress>& addresses) {
  return WriteSheets(pdf, SheetCount(layout, first_position, addresses.size()),
                     QStringLiteral("Étiquettes d'adresse"),
                     [&](QPainter& painter, double dots_per_mm, size_t sheet) {
                       DrawLabelSheet(painter, dots_per_mm, layout, first_position, addresses,
                                      sheet);
                     });
}

void DrawLabelOutlines(QPainter& painter, double dots_per_mm, const LabelLayout& layout) {
  painter.setPen(QPen(Qt::black, std::max(1.0, 0.2 * dots_per_mm)));  // 0,2 mm
  painter.setBrush(Qt::NoBrush);
  for (int i = 0; i < layout.LabelsPerSheet(); ++i) {
    const LabelBox box = PlaceLabel(layout, 1, static_cast<size_t>(i));
    painter.drawRect(QRectF(box.x_mm * dots_per_mm, box.y_mm * dots_per_mm,
                            box.width_mm * dots_per_mm, box.height_mm * dots_per_mm));
  }
}

bool WriteLabelOutlineSheet(const fs::path& pdf, const LabelLayout& layout) {
  return WriteSheets(pdf, 1, QStringLiteral("Feuille de contrôle des étiquettes"),
                     [&](QPainter& painter, double dots_per_mm, size_t) {
                       DrawLabelOutlines(painter, dots_per_mm, layout);
                     });
}

QImage LabelSheetPreview(const LabelLayout& layout, int height_px) {
  const double dots_per_mm = static_cast<double>(std::max(height_px, 10)) / kPageHeightMm;
  QImage image(static_cast<int>(kPageWidthMm * dots_per_mm + 0.5),
               static_cast<int>(kPageHeightMm * dots_per_mm + 0.5), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::darkGray, 1));
  painter.drawRect(0, 0, image.width() - 1, image.height() - 1);
  painter.setBrush(QColor(225, 235, 250));
  painter.setPen(QPen(Qt::darkBlue, 1));
  for (int i = 0; i < layout.LabelsPerSheet(); ++i) {
    const LabelBox box = PlaceLabel(layout, 1, static_cast<size_t>(i));
    painter.drawRect(QRectF(box.x_mm * dots_per_mm, box.y_mm * dots_per_mm,
                            box.width_mm * dots_per_mm, box.height_mm * dots_per_mm));
  }
  painter.end();
  return image;
}

}  // namespace vz::project
