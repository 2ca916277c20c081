#include "project/label_products.h"

#include <zlib.h>

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <system_error>

#include "platform/os/ascii_case.h"
#include "platform/os/cp1252.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;

constexpr char kDefaultFolder[] = "/usr/share/libglabels-3.0/templates";
constexpr char kFolderVariable[] = "VZ_LABEL_TEMPLATES";
constexpr std::string_view kTemplateSuffix = "-templates.xml";
constexpr std::string_view kGzipSuffix = ".gz";

// A template as read, before equivalents are resolved.
struct ReadTemplate {
  std::string brand;
  std::string part;
  std::string description;
  std::string equivalent;  // part number this one is equal to, or empty
  bool a4 = false;
  int labels = 0;   // rectangular labels
  int layouts = 0;  // layouts of those labels
  bool other_shape = false;
  double width = 0, height = 0;
  double x0 = 0, y0 = 0, dx = 0, dy = 0;
  int nx = 0, ny = 0;
};

// The whole file, gunzipped when its name ends ".gz". False when unreadable.
bool ReadWholeFile(const fs::path& file, QByteArray& bytes) {
  gzFile in = gzopen(file.c_str(), "rb");  // reads plain files as they are too
  if (!in) return false;
  char buffer[1 << 15];
  int got = 0;
  while ((got = gzread(in, buffer, sizeof buffer)) > 0) bytes.append(buffer, got);
  const bool ok = got == 0;
  gzclose(in);
  return ok;
}

std::string Attribute(const QXmlStreamReader& xml, const char* name) {
  return xml.attributes().value(QString::fromLatin1(name)).toString().toStdString();
}

double Length(const QXmlStreamReader& xml, const char* name, bool& ok) {
  const std::optional<double> mm = TemplateLengthMm(Attribute(xml, name));
  if (!mm) ok = false;
  return mm.value_or(0);
}

int Count(const QXmlStreamReader& xml, const char* name, bool& ok) {
  bool number = false;
  const int value = xml.attributes().value(QString::fromLatin1(name)).toInt(&number);
  if (!number) ok = false;
  return value;
}

// Reads every Template element of one file; false when the XML is malformed.
bool ParseTemplates(const QByteArray& bytes, std::vector<ReadTemplate>& out) {
  QXmlStreamReader xml(bytes);
  ReadTemplate* current = nullptr;
  bool values_ok = true;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isEndElement() && xml.name() == QLatin1String("Template")) {
      if (current && !values_ok) out.pop_back();
      current = nullptr;
      continue;
    }
    if (!xml.isStartElement()) continue;
    const auto name = xml.name();
    if (name == QLatin1String("Template")) {
      out.emplace_back();
      current = &out.back();
      values_ok = true;
      current->brand = Attribute(xml, "brand");
      current->part = Attribute(xml, "part");
      current->description = Attribute(xml, "_description");
      if (current->description.empty()) current->description = Attribute(xml, "description");
      current->equivalent = Attribute(xml, "equiv");
      current->a4 = Attribute(xml, "size") == "A4";
    } else if (!current) {
      continue;
    } else if (name == QLatin1String("Label-rectangle")) {
      ++current->labels;
      current->width = Length(xml, "width", values_ok);
      current->height = Length(xml, "height", values_ok);
    } else if (name.startsWith(QLatin1String("Label-"))) {
      current->other_shape = true;
    } else if (name == QLatin1String("Layout")) {
      ++current->layouts;
      current->nx = Count(xml, "nx", values_ok);
      current->ny = Count(xml, "ny", values_ok);
      current->x0 = Length(xml, "x0", values_ok);
      current->y0 = Length(xml, "y0", values_ok);
      current->dx = current->nx > 1 ? Length(xml, "dx", values_ok) : 0;
      current->dy = current->ny > 1 ? Length(xml, "dy", values_ok) : 0;
    }
  }
  return !xml.hasError();
}

// The product of a resolved template, when it is an A4 sheet that fits.
std::optional<LabelProduct> ProductOf(const ReadTemplate& shape, const ReadTemplate& named) {
  if (!shape.a4 || shape.other_shape || shape.labels != 1 || shape.layouts != 1) return {};
  LabelProduct product;
  product.brand = named.brand;
  product.part = named.part;
  product.description = named.description.empty() ? shape.description : named.description;
  LabelLayout& layout = product.layout;
  layout.top_margin_mm = shape.y0;
  layout.left_margin_mm = shape.x0;
  layout.label_width_mm = shape.width;
  layout.label_height_mm = shape.height;
  layout.horizontal_spacing_mm = shape.nx > 1 ? shape.dx - shape.width : 0;
  layout.vertical_spacing_mm = shape.ny > 1 ? shape.dy - shape.height : 0;
  layout.across = shape.nx;
  layout.down = shape.ny;
  // The fields as they will be typed must pass the sheet's own check.
  if (!CheckLabelLayout(ProductFields(product)).layout) return {};
  return product;
}

bool IsTemplateFile(const fs::path& path) {
  std::string name = os::AsciiLower(path.filename().string());
  if (os::EndsWithIgnoringAsciiCase(name, kGzipSuffix)) name.resize(name.size() - 3);
  return os::EndsWithIgnoringAsciiCase(name, kTemplateSuffix);
}

}  // namespace

fs::path LabelTemplatesFolder() {
  const char* chosen = std::getenv(kFolderVariable);
  return fs::path(chosen && *chosen ? chosen : kDefaultFolder);
}

std::optional<double> TemplateLengthMm(std::string_view text) {
  static const std::map<std::string, double, std::less<>> kUnits = {
      {"", 25.4 / 72}, {"pt", 25.4 / 72}, {"mm", 1.0},
      {"cm", 10.0},    {"in", 25.4},      {"pc", 25.4 / 6}};
  const size_t end = text.find_first_not_of("0123456789.");
  const std::string_view number = text.substr(0, end);
  const std::string_view unit = end == std::string_view::npos ? "" : text.substr(end);
  if (number.empty() || number.find('.') != number.rfind('.')) return {};
  const auto found = kUnits.find(unit);
  if (found == kUnits.end()) return {};
  return std::strtod(std::string(number).c_str(), nullptr) * found->second;
}

std::string MillimetreText(double mm) {
  // Four decimals at most keep an inch-based template exact (1/16 in =
  // 1,5875 mm); fewer are written when they stay within 0,0002 mm, so that a
  // length given in points reads as the millimetres it was meant to be
  // (198.425 pt is "70", not "69,9999").
  long long units = std::llround(mm * 10000.0);
  for (const long long step : {10000LL, 1000LL, 100LL, 10LL}) {
    const long long rounded = std::llround(mm * 10000.0 / static_cast<double>(step)) * step;
    if (std::fabs(static_cast<double>(rounded) / 10000.0 - mm) <= 0.0002) {
      units = rounded;
      break;
    }
  }
  std::string text = std::to_string(units / 10000);
  long long decimals = std::llabs(units % 10000);
  if (decimals != 0) {
    std::string digits = std::to_string(decimals);
    digits.insert(0, 4 - digits.size(), '0');
    while (digits.back() == '0') digits.pop_back();
    text += ',' + digits;
  }
  return text;
}

TypedLabelLayout ProductFields(const LabelProduct& product) {
  const LabelLayout& layout = product.layout;
  return {MillimetreText(layout.top_margin_mm),
          MillimetreText(layout.left_margin_mm),
          MillimetreText(layout.vertical_spacing_mm),
          MillimetreText(layout.horizontal_spacing_mm),
          MillimetreText(layout.label_height_mm),
          MillimetreText(layout.label_width_mm),
          std::to_string(layout.across),
          std::to_string(layout.down)};
}

std::string ProductEntry(const LabelProduct& product) {
  const LabelLayout& layout = product.layout;
  return os::Cp1252(product.brand + " " + product.part + "\t" + std::to_string(layout.across) +
                    " x " + std::to_string(layout.down) + " de " +
                    MillimetreText(layout.label_width_mm) + " x " +
                    MillimetreText(layout.label_height_mm) + " mm");
}

const LabelProduct* FindProduct(const LabelCatalogue& catalogue, std::string_view entry) {
  for (const LabelProduct& product : catalogue.products) {
    const std::string named = os::Cp1252(product.brand + " " + product.part);
    if (entry.substr(0, entry.find('\t')) == named) return &product;
  }
  return nullptr;
}

LabelCatalogue ReadLabelCatalogue(const fs::path& folder) {
  LabelCatalogue catalogue;
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (it->is_regular_file(ignored) && IsTemplateFile(it->path())) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    catalogue.note = os::Cp1252(
        "Le catalogue des étiquettes du commerce n'est pas installé (paquet glabels-data, "
        "dossier " +
        folder.string() + ") : saisissez les dimensions de vos étiquettes.");
    return catalogue;
  }
  std::vector<std::string> unreadable;
  for (const fs::path& file : files) {
    QByteArray bytes;
    std::vector<ReadTemplate> templates;
    if (!ReadWholeFile(file, bytes) || !ParseTemplates(bytes, templates)) {
      unreadable.push_back(file.filename().string());
      continue;
    }
    std::map<std::string, const ReadTemplate*> by_part;
    for (const ReadTemplate& t : templates) {
      if (t.equivalent.empty()) by_part.emplace(t.brand + '\n' + t.part, &t);
    }
    for (const ReadTemplate& t : templates) {
      if (t.brand.empty() || t.part.empty()) continue;
      const ReadTemplate* shape = &t;
      if (!t.equivalent.empty()) {
        const auto found = by_part.find(t.brand + '\n' + t.equivalent);
        if (found == by_part.end()) continue;
        shape = found->second;
      }
      if (auto product = ProductOf(*shape, t)) catalogue.products.push_back(std::move(*product));
    }
  }
  std::sort(catalogue.products.begin(), catalogue.products.end(),
            [](const LabelProduct& a, const LabelProduct& b) {
              const std::string la = os::AsciiLower(a.brand), lb = os::AsciiLower(b.brand);
              return la != lb ? la < lb : a.part < b.part;
            });
  catalogue.products.erase(std::unique(catalogue.products.begin(), catalogue.products.end(),
                                       [](const LabelProduct& a, const LabelProduct& b) {
                                         return a.brand == b.brand && a.part == b.part;
                                       }),
                           catalogue.products.end());
  if (!unreadable.empty()) {
    std::string names;
    for (const std::string& name : unreadable) names += (names.empty() ? "" : ", ") + name;
    catalogue.note =
        os::Cp1252("Fichiers du catalogue illisibles, laissés de côté : " + names + ".");
  }
  return catalogue;
}

}  // namespace vz::project
