#include "project/label_parameters_window.h"

#include <QImage>
#include <QString>
#include <array>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/os/cp1252.h"
#include "platform/runtime/field_values.h"
#include "platform/runtime/made_pictures.h"
#include "project/gui_application.h"
#include "project/label_products.h"
#include "project/label_sheet_pdf.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using runtime::CodeContext;
using runtime::Window;

constexpr char kWindow[] = "PARETI";
constexpr char kProducts[] = "PRODUIT";
constexpr char kProductsNote[] = "L_PRODUITS";
constexpr char kPreviewWords[] = "L_APERCU";
constexpr char kPreviewPicture[] = "APERCU";
constexpr char kCatalogueObject[] = "label catalogue";
constexpr int kPreviewHeightPx = 160;
constexpr std::array<const char*, 8> kLayoutFields = {"MHAUTE",  "MGAUCHE", "ESPV",   "ESPH",
                                                      "HAUTEUR", "LARGEUR", "NBETIH", "NBETIV"};

// The catalogue is read once per session: some forty files.
struct KeptCatalogue : runtime::SessionObject {
  LabelCatalogue catalogue;
};

const LabelCatalogue& Catalogue(CodeContext& context) {
  if (auto* kept = dynamic_cast<KeptCatalogue*>(context.Objects().Find(kCatalogueObject))) {
    return kept->catalogue;
  }
  auto fresh = std::make_unique<KeptCatalogue>();
  fresh->catalogue = ReadLabelCatalogue(LabelTemplatesFolder());
  return static_cast<KeptCatalogue&>(context.Objects().Keep(kCatalogueObject, std::move(fresh)))
      .catalogue;
}

void SetField(CodeContext& context, Window& window, std::string_view name, std::string_view value) {
  const std::string problem = runtime::WriteFieldValue(window, name, value);
  if (!problem.empty()) context.Note(std::string(kWindow) + ": " + problem);
}

bool AllEmpty(const TypedLabelLayout& typed) {
  for (const std::string& value : typed) {
    if (value.find_first_not_of(' ') != std::string::npos) return false;
  }
  return true;
}

// Writes the picture of the sheet under a new name; "" when it cannot.
std::string WritePreviewPicture(const LabelLayout& layout, const std::string& previous) {
  static int made = 0;
  if (!EnsureGuiApplication()) return {};
  const fs::path folder = runtime::MadePicturesFolder();
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!previous.empty()) fs::remove(folder / previous, ec);
  const std::string name = "APERCU" + std::to_string(++made) + ".PNG";
  const QImage picture = LabelSheetPreview(layout, kPreviewHeightPx);
  if (!picture.save(QString::fromStdString((folder / name).string()), "PNG")) return {};
  return name;
}

// Redraws the preview from the eight fields; returns the refusal, "" when
// the layout is usable or not typed yet.
std::string ShowPreview(CodeContext& context, Window& window) {
  const TypedLabelLayout typed = TypedLayoutOf(window);
  const std::string previous = runtime::ReadFieldValue(window, kPreviewPicture).value;
  if (AllEmpty(typed)) {
    SetField(context, window, kPreviewWords,
             os::Cp1252("Choisissez une référence ou saisissez les dimensions."));
    SetField(context, window, kPreviewPicture, "");
    return {};
  }
  const LayoutCheck check = CheckLabelLayout(typed);
  if (!check.layout) {
    SetField(context, window, kPreviewWords, check.error);
    SetField(context, window, kPreviewPicture, "");
    return check.error;
  }
  SetField(context, window, kPreviewWords, DescribeLabelSheet(*check.layout));
  SetField(context, window, kPreviewPicture, WritePreviewPicture(*check.layout, previous));
  return {};
}

void OnOpen(CodeContext& context, Window& window) {
  const LabelCatalogue& catalogue = Catalogue(context);
  if (runtime::Field* list = window.FindField(kProducts)) {
    list->entries.clear();
    for (const LabelProduct& product : catalogue.products) {
      list->entries.push_back(ProductEntry(product));
    }
    list->selected = 0;
  }
  std::string note = catalogue.note;
  if (note.empty()) {
    note = os::Cp1252(std::to_string(catalogue.products.size()) +
                      " références de planches A4 : choisir l'une remplit les dimensions.");
  }
  SetField(context, window, kProductsNote, note);
}

void OnProductPicked(CodeContext& context, Window& window) {
  const std::string entry = runtime::ReadFieldValue(window, kProducts).value;
  const LabelProduct* product = FindProduct(Catalogue(context), entry);
  if (!product) return;
  const TypedLabelLayout fields = ProductFields(*product);
  for (size_t i = 0; i < fields.size(); ++i) SetField(context, window, kLayoutFields[i], fields[i]);
  ShowPreview(context, window);
}

runtime::ProcedureResult CheckBeforeStoring(CodeContext& context, const std::vector<std::string>&) {
  Window* window = context.CurrentWindow();
  if (!window || window->name != kWindow) return {0, {}};
  const std::string refusal = ShowPreview(context, *window);
  if (refusal.empty()) return {0, {}};
  context.Front().ShowMessage(runtime::MessageKind::kError, refusal);
  return {1, {}};
}

}  // namespace

TypedLabelLayout TypedLayoutOf(const Window& window) {
  TypedLabelLayout typed;
  for (size_t i = 0; i < typed.size(); ++i) {
    typed[i] = runtime::ReadFieldValue(window, kLayoutFields[i]).value;
  }
  return typed;
}

std::string DescribeLabelSheet(const LabelLayout& layout) {
  const double right = kPageWidthMm - layout.left_margin_mm -
                       layout.across * layout.label_width_mm -
                       (layout.across - 1) * layout.horizontal_spacing_mm;
  const double bottom = kPageHeightMm - layout.top_margin_mm -
                        layout.down * layout.label_height_mm -
                        (layout.down - 1) * layout.vertical_spacing_mm;
  return os::Cp1252(std::to_string(layout.LabelsPerSheet()) + " étiquettes par feuille A4 (" +
                    std::to_string(layout.across) + " x " + std::to_string(layout.down) + ") de " +
                    MillimetreText(layout.label_width_mm) + " x " +
                    MillimetreText(layout.label_height_mm) + " mm ; reste " +
                    MillimetreText(right) + " mm à droite et " + MillimetreText(bottom) +
                    " mm en bas.");
}

void RegisterLabelParametersWindow(runtime::CodeRegistry& registry) {
  registry.AddWindowCode(kWindow, kWindow, "OUVERTURE", OnOpen);
  registry.AddWindowCode(kWindow, kProducts, "MODIFICATION", OnProductPicked);
  registry.AddWindowCode(kWindow, "BT_APERCU", "CLIC", [](CodeContext& context, Window& window) {
    const std::string refusal = ShowPreview(context, window);
    if (!refusal.empty()) context.Front().ShowMessage(runtime::MessageKind::kError, refusal);
  });
  registry.AddWindowCode(
      kWindow, kPreviewPicture, "REMPLIR",
      [](CodeContext& context, Window& window) { ShowPreview(context, window); });
  registry.AddProcedure("VerifieEtiquettes", CheckBeforeStoring);
}

}  // namespace vz::project
