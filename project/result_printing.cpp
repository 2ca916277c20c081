#include "project/result_printing.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/os/contained_path.h"
#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "platform/runtime/field_values.h"
#include "project/gui_application.h"
#include "project/label_sheet_pdf.h"
#include "project/letter_pass.h"
#include "project/letter_run.h"
#include "project/result_window.h"
#include "src/config/program_settings.h"
#include "src/db/query_code.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using runtime::CodeContext;
using runtime::MessageKind;
using runtime::PrintOutcome;
using runtime::Window;

constexpr char kLabelsFolder[] = "ETIQUETTES";

std::string Field(const Window& window, std::string_view name) {
  std::string text = runtime::ReadFieldValue(window, name).value;
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

fs::path DataDirectory() {
  const std::string directory = os::ToNativePath(config::DataDirectory());
  return directory.empty() ? fs::path(".") : fs::path(directory);
}

void Tell(CodeContext& context, MessageKind kind, std::string_view utf8) {
  context.Front().ShowMessage(kind, os::Cp1252(utf8));
}

// Writes the outline sheet; its path, or "" after telling why not.
fs::path WriteOutline(CodeContext& context, const Window& window) {
  const LayoutCheck layout = WindowLabelLayout(window);
  if (!layout.layout) {
    context.Front().ShowMessage(MessageKind::kError, layout.error);
    return {};
  }
  const fs::path folder = DataDirectory() / kLabelsFolder;
  const fs::path pdf = folder / kOutlineSheetName;
  if (!os::StaysInside(DataDirectory().string(), pdf.string())) {
    Tell(context, MessageKind::kError,
         "Le dossier des étiquettes mène hors du répertoire des données (lien symbolique) : "
         "aucune feuille de test n'est écrite.");
    return {};
  }
  if (!EnsureGuiApplication()) {
    Tell(context, MessageKind::kError, "La feuille de test n'est pas disponible sur ce poste.");
    return {};
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!WriteLabelOutlineSheet(pdf, *layout.layout)) {
    context.Note("RESULTAT: the outline sheet could not be written to " + pdf.string());
    Tell(context, MessageKind::kError,
         "La feuille de test n'a pas pu être écrite : " + os::Utf8(ShownPath(pdf)) +
             ". Vérifiez que vous pouvez écrire dans ce dossier.");
    return {};
  }
  return pdf;
}

void OnOutline(CodeContext& context, Window& window) {
  const fs::path pdf = WriteOutline(context, window);
  if (pdf.empty()) return;
  const int labels = WindowLabelLayout(window).layout->LabelsPerSheet();
  context.Front().ShowMessageWithFolder(
      MessageKind::kInfo,
      os::Cp1252("Feuille de test (contours des " + std::to_string(labels) +
                 " étiquettes, sans texte) dans le fichier ") +
          ShownPath(pdf) + os::Cp1252(" : imprimez-la et posez-la sur une planche d'étiquettes."),
      pdf.parent_path().string());
}

struct ChosenDocument {
  fs::path pdf;
  std::string title;    // UTF-8
  std::string refusal;  // UTF-8; set when there is nothing to print
};

ChosenDocument ChooseDocument(CodeContext& context, const Window& window) {
  const std::string choice = Field(window, "IMPRESSION");
  const std::string query = Field(window, "REQUETE");
  if (choice == "3") {
    const fs::path pdf = WriteOutline(context, window);
    return {pdf, "Feuille de test des étiquettes", pdf.empty() ? "-" : ""};
  }
  if (query.empty() || !db::IsUsableQueryCode(query)) {
    return {{},
            {},
            "Aucune requête n'est associée à cette fenêtre : rouvrez les résultats depuis la "
            "liste des requêtes."};
  }
  if (choice == "2") {
    const fs::path pdf = DataDirectory() / kLabelsFolder / (query + ".pdf");
    if (!fs::is_regular_file(pdf)) {
      return {{},
              {},
              "Les étiquettes de cette requête ne sont pas encore faites : cliquez d'abord sur "
              "« Imprimer les étiquettes »."};
    }
    return {pdf, "Étiquettes de la requête " + query, ""};
  }
  const std::string name = Field(window, "Nom_Lettre");
  const fs::path pdf = LettersFolderOf(query, name) / std::string(kLettersPdfName);
  if (name.empty() || !fs::is_regular_file(pdf)) {
    return {{},
            {},
            "Aucun document des lettres à imprimer pour ce modèle : cliquez d'abord sur "
            "« Lettres » (les modèles HTML et texte donnent un PDF)."};
  }
  return {pdf, "Lettres de la requête " + query + " (" + os::Utf8(name) + ")", ""};
}

void OnPrint(CodeContext& context, Window& window) {
  const ChosenDocument chosen = ChooseDocument(context, window);
  if (chosen.refusal == "-") return;  // already told
  if (!chosen.refusal.empty()) return Tell(context, MessageKind::kError, chosen.refusal);
  if (!os::StaysInside(DataDirectory().string(), chosen.pdf.string())) {
    return Tell(context, MessageKind::kError,
                "Le document mène hors du répertoire des données (lien symbolique) : rien n'est "
                "imprimé.");
  }
  const PrintOutcome outcome =
      context.Front().PrintPdf(chosen.pdf.string(), os::Cp1252(chosen.title));
  switch (outcome.result) {
    case PrintOutcome::Result::kPrinted:
      return context.Front().ShowMessage(
          MessageKind::kInfo,
          os::Cp1252(chosen.title + " : envoyé à l'impression (") + outcome.detail + ").");
    case PrintOutcome::Result::kCancelled:
      context.Note("RESULTAT: the adviser cancelled the print of " + chosen.pdf.string());
      return;
    case PrintOutcome::Result::kUnavailable:
      context.Note("RESULTAT: " + chosen.pdf.string() + " not printed: " + outcome.detail);
      return context.Front().ShowMessage(
          MessageKind::kError,
          os::Cp1252(chosen.title + " : l'impression n'a pas pu se faire (") + outcome.detail +
              os::Cp1252("). Le document reste dans le fichier ") + ShownPath(chosen.pdf) + ".");
  }
}

}  // namespace

void RegisterResultPrinting(runtime::CodeRegistry& registry) {
  registry.AddWindowCode("RESULTAT", "CONTOUR", "CLIC", OnOutline);
  registry.AddWindowCode("RESULTAT", "IMPRIMER", "CLIC", OnPrint);
}

}  // namespace vz::project
