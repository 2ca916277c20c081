#include "project/result_window.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/os/ascii_case.h"
#include "platform/os/contained_path.h"
#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "platform/runtime/field_values.h"
#include "project/chosen_template.h"
#include "project/gui_application.h"
#include "project/label_households.h"
#include "project/label_parameters_window.h"
#include "project/label_sheet.h"
#include "project/label_sheet_addresses.h"
#include "project/label_sheet_pdf.h"
#include "project/letter_keywords.h"
#include "project/letter_run.h"
#include "project/project_data.h"
#include "src/config/program_settings.h"
#include "src/db/file_error_report.h"
#include "src/db/query_code.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using runtime::CodeContext;
using runtime::MessageKind;
using runtime::Window;

constexpr char kWindow[] = "RESULTAT";
constexpr char kTemplateList[] = "Nom_Lettre";
constexpr char kFirstPosition[] = "PREMIERE";
constexpr char kQuery[] = "REQUETE";
constexpr char kLabelsFolder[] = "ETIQUETTES";
constexpr char kHouseholdSwitch[] = "FOYER";
constexpr std::array<std::string_view, 7> kTemplateExtensions = {".rtf",  ".htm",  ".html", ".txt",
                                                                 ".fodt", ".docx", ".odt"};

bool IsTemplateName(std::string_view name) {
  return std::any_of(
      kTemplateExtensions.begin(), kTemplateExtensions.end(), [name](std::string_view extension) {
        return name.size() > extension.size() && os::EndsWithIgnoringAsciiCase(name, extension);
      });
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

fs::path DataDirectory() {
  const std::string directory = os::ToNativePath(config::DataDirectory());
  return directory.empty() ? fs::path(".") : fs::path(directory);
}

std::string FieldText(const Window& window, std::string_view name) {
  return runtime::ReadFieldValue(window, name).value;
}

void SetField(CodeContext& context, Window& window, std::string_view name, std::string_view value) {
  const std::string problem = runtime::WriteFieldValue(window, name, value);
  if (!problem.empty()) context.Note(std::string(kWindow) + ": " + problem);
}

// A path for a message (cp1252): native names are UTF-8, but a data
// directory taken as written in the parameter file keeps its cp1252 bytes.
std::string ShownPath(const fs::path& path) {
  const std::string native = path.string();
  const std::string converted = os::Cp1252(native);
  return os::Utf8(converted) == native ? converted : native;
}

void OnOpen(CodeContext& context, Window& window) {
  runtime::Field* list = window.FindField(kTemplateList);
  if (list) {
    list->entries = LetterTemplates(DataDirectory());
    list->selected = list->entries.empty() ? 0 : 1;
    ReselectChosenTemplate(context, window);
  } else {
    context.Note("RESULTAT: the window has no list Nom_Lettre");
  }
  SetField(context, window, kFirstPosition, "1");
  StartLetterRun(context);
}

void Refuse(CodeContext& context, std::string_view utf8) {
  context.Front().ShowMessage(MessageKind::kError, os::Cp1252(utf8));
}

void OnPrintLabels(CodeContext& context, Window& window) {
  const std::string query = Trimmed(FieldText(window, kQuery));
  if (query.empty()) {
    return Refuse(context,
                  "Aucune requête n'est associée à cette fenêtre : rouvrez les résultats depuis "
                  "la liste des requêtes.");
  }
  // The code names the labels file; one that cannot name it alone is refused.
  if (!db::IsUsableQueryCode(query)) {
    return context.Front().ShowMessage(
        MessageKind::kError, db::QueryCodeRefusal(query, "aucune étiquette n'est imprimée"));
  }
  db::RecordSession& data = ProjectDataOf(context);
  data.ClearFileError();
  std::vector<LabelAddress> addresses = ReadLabelAddresses(data);
  if (OneMailPerHousehold(window)) {
    addresses = OneLabelPerHousehold(data, std::move(addresses));
  }
  if (data.HasFileError()) {
    // A damaged SELECTES, CLIENT or ADRESSES is never printed as fewer labels.
    const std::string message =
        db::FileErrorMessage(data.LastFileError(), os::Cp1252("aucune étiquette n'est imprimée"));
    data.ClearFileError();
    config::LogRunFailure(message);
    return context.Front().ShowMessage(MessageKind::kError, message);
  }
  if (addresses.empty()) {
    return Refuse(context,
                  "Aucune personne extraite pour cette requête. Lancez d'abord la requête.");
  }
  const LayoutCheck layout = WindowLabelLayout(window);
  if (!layout.layout) {
    return context.Front().ShowMessage(MessageKind::kError, layout.error);
  }
  const FirstPositionCheck first =
      CheckFirstPosition(FieldText(window, kFirstPosition), *layout.layout);
  if (!first.error.empty()) return context.Front().ShowMessage(MessageKind::kError, first.error);

  const fs::path folder = DataDirectory() / kLabelsFolder;
  const fs::path pdf = folder / (query + ".pdf");
  const std::string shown = ShownPath(pdf);
  // A labels folder or file planted as a link to somewhere else would be
  // written outside the data directory.
  if (!os::StaysInside(DataDirectory().string(), pdf.string())) {
    return context.Front().ShowMessage(
        MessageKind::kError,
        os::Cp1252("Le fichier des étiquettes ") + shown +
            os::Cp1252(" mène hors du répertoire des données (lien symbolique) : aucune "
                       "étiquette n'est imprimée."));
  }
  if (!EnsureGuiApplication()) {
    return Refuse(context, "L'impression des étiquettes n'est pas disponible sur ce poste.");
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!WriteLabelSheets(pdf, *layout.layout, first.position, addresses)) {
    context.Note("RESULTAT: the labels could not be written to " + pdf.string());
    const std::string message =
        os::Cp1252("Le fichier des étiquettes n'a pas pu être écrit : ") + shown +
        os::Cp1252(
            ". Vérifiez la place libre sur le disque, que le dossier existe, que vous "
            "pouvez y écrire et que le fichier n'est pas ouvert dans un autre logiciel.");
    config::LogRunFailure(message);
    return context.Front().ShowMessage(MessageKind::kError, message);
  }
  const size_t sheets = SheetCount(*layout.layout, first.position, addresses.size());
  const std::string count = std::to_string(addresses.size()) +
                            (addresses.size() > 1 ? " étiquettes" : " étiquette") + " sur " +
                            std::to_string(sheets) + (sheets > 1 ? " feuilles" : " feuille");
  context.Front().ShowMessage(MessageKind::kInfo,
                              os::Cp1252(count + " dans le fichier ") + shown + ".");
}

}  // namespace

LayoutCheck WindowLabelLayout(const Window& window) {
  return CheckLabelLayout(TypedLayoutOf(window));
}

bool OneMailPerHousehold(const Window& window) {
  return FieldText(window, kHouseholdSwitch) == "1";
}

std::vector<std::string> LetterTemplates(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (!it->is_regular_file(ignored)) continue;
    const std::string native = it->path().filename().string();
    if (!IsTemplateName(native)) continue;
    const std::string shown = os::Cp1252(native);
    if (os::Utf8(shown) != native) continue;
    if (shown.find_first_of("\t\r\n") != std::string::npos) continue;
    names.push_back(shown);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = os::AsciiLower(a);
    const std::string lb = os::AsciiLower(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

void RegisterResultWindow(runtime::CodeRegistry& registry) {
  registry.AddWindowCode(kWindow, kWindow, "OUVERTURE", OnOpen);
  registry.AddWindowCode(kWindow, kWindow, "FERMETURE", [](CodeContext& context, Window& window) {
    RememberChosenTemplate(context, window);
    FinishLetterRun(context);
  });
  registry.AddWindowCode(kWindow, "ETIQUETTES", "CLIC", OnPrintLabels);
  registry.AddWindowCode(kWindow, "MOTSCLES", "CLIC", [](CodeContext& context, Window&) {
    context.Front().ShowMessage(MessageKind::kInfo, LetterKeywordsText());
  });
}

}  // namespace vz::project
