#include "project/letter_run.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "platform/os/whole_file.h"
#include "platform/runtime/field_values.h"
#include "platform/runtime/session_objects.h"
#include "project/letter_merge.h"
#include "project/letter_pass.h"
#include "project/project_data.h"
#include "src/config/program_settings.h"
#include "src/db/file_error_report.h"
#include "src/db/layouts/interfa.h"
#include "src/db/layouts/selectes.h"
#include "src/outputs/letter_package.h"
#include "src/outputs/split_keywords.h"
#include "src/util/leftover_files.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using db::FileId;
using runtime::CodeContext;
using runtime::MessageKind;
using runtime::Window;

constexpr std::string_view kRunObject = "RESULTAT.lettres";
constexpr std::string_view kWindow = "RESULTAT";
constexpr std::string_view kProgressWindow = "EX_LETTRES";
constexpr std::string_view kTemplateField = "Nom_Lettre";
constexpr std::string_view kQueryField = "REQUETE";
constexpr std::string_view kNamedClient = "CODCLI";  // the program's client, when it says
constexpr std::string_view kLettersTotal = "NBTOTAL";
constexpr std::string_view kReadingTable = "VALEURS";
constexpr std::string_view kLettersFolder = "LETTRES";
constexpr std::string_view kPostcodeKey = "CODPTT";
constexpr std::string_view kKeywordKey = "MOTCLEF";
constexpr std::string_view kLetterRecordMark = "EX**";
constexpr size_t kTemplateLimit = 64 * 1024 * 1024;

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\0", std::string_view::npos, 3);
  return std::string(text.substr(first, last - first + 1));
}

// A part of a file name that stays inside its folder on every system.
std::string SafeNamePart(std::string_view text) {
  std::string safe;
  for (char c : text) {
    const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '-';
    safe.push_back(kept ? c : '_');
  }
  return safe.empty() ? std::string("_") : safe;
}

fs::path DataDirectory() {
  const std::string directory = os::ToNativePath(config::DataDirectory());
  return directory.empty() ? fs::path(".") : fs::path(directory);
}

// The field's value as the program reads it: a list gives its selected entry.
std::string FieldText(const Window& window, std::string_view name) {
  return runtime::ReadFieldValue(window, name).value;
}

// Moves forward in SELECTES to the record of client `named`; out of the file
// when it is not further on.
void PassOverTo(db::RecordSession& data, std::string_view named) {
  const db::SelectedRecord record{data.Buffer(FileId::SELECTES)};
  while (!data.Hendehors() && Trimmed(record.ClientCode()) != named) {
    data.Hlitsuivant(FileId::SELECTES, kPostcodeKey);
  }
}

// The letters a pass will write: the total the program shows in the
// progress window (fewer than the selected clients with one mail per
// household), else one per SELECTES record.
int LettersOfThePass(const Window& window, db::RecordSession& data) {
  const std::string total = Trimmed(FieldText(window, kLettersTotal));
  if (!total.empty() && total.size() < 10 &&
      total.find_first_not_of("0123456789") == std::string::npos && std::stoi(total) > 0) {
    return std::stoi(total);
  }
  data.Hinfogene("SELECTES");
  return data.Hnbenr();
}

class LetterRun final : public runtime::SessionObject {
 public:
  // A session that ends in the middle of a pass still puts it in place; it
  // can no longer tell anyone.
  ~LetterRun() override {
    if (pass_) pass_->Finish();
  }
  void Click(CodeContext& context, Window& window);
  // Ends the pass, if one is under way: its letters are put in place (or
  // dropped when it failed) and the outcome is shown. `tell_success`: also
  // when all went well (the end of the letters), not only on a problem (a
  // window closed in the middle of a pass).
  void FinishPass(CodeContext& context, bool tell_success);
  // Drops the pass under way, writing nothing: the program met a fault of a
  // data file and tells the adviser itself.
  void AbandonPass();
  // A damaged or unreadable SELECTES or INTERFA met by the window code's
  // session: the pass fails (told when it ends) and true is returned.
  bool FailedOnFileError(CodeContext& context, db::RecordSession& data);

 private:
  void BeginPass(CodeContext& context, const std::string& pass_key, Window& window);
  // `named`: the client the program says it is writing ("" when it does not
  // say): records before it are passed over (the second persons of one mail
  // per household).
  std::optional<std::string> NextClientCode(db::RecordSession& data, std::string_view named);
  void NoteOnce(CodeContext& context, const std::string& problem);
  void Refuse(const std::string& utf8_message, CodeContext& context, const std::string& note);

  std::string pass_key_;
  bool in_pass_ = false;
  std::optional<LetterMerge> merge_;
  std::unique_ptr<LetterPass> pass_;
  std::string refusal_;  // cp1252: why this pass writes nothing, for the adviser
  bool problem_noted_ = false;
  int walked_ = 0;  // SELECTES records read in this pass
  int64_t last_record_ = 0;
};

void LetterRun::NoteOnce(CodeContext& context, const std::string& problem) {
  if (problem_noted_) return;
  problem_noted_ = true;
  context.Note(std::string(kWindow) + ".BOUTON1: " + problem);
}

void LetterRun::Refuse(const std::string& utf8_message, CodeContext& context,
                       const std::string& note) {
  refusal_ = os::Cp1252(utf8_message);
  NoteOnce(context, note);
}

void LetterRun::FinishPass(CodeContext& context, bool tell_success) {
  if (!in_pass_) return;
  in_pass_ = false;
  merge_.reset();
  if (!refusal_.empty()) {
    context.Front().ShowMessage(MessageKind::kError, refusal_);
    refusal_.clear();
    return;
  }
  if (!pass_) return;
  const std::unique_ptr<LetterPass> pass = std::move(pass_);
  const LetterPassOutcome outcome = pass->Finish();
  if (outcome.kind == MessageKind::kError) {
    context.Note(std::string(kWindow) + ": the letters of this pass could not be written");
    context.Front().ShowMessage(outcome.kind, outcome.text);
  } else if (tell_success) {
    context.Front().ShowMessageWithFolder(outcome.kind, outcome.text, outcome.folder);
  }
}

bool LetterRun::FailedOnFileError(CodeContext& context, db::RecordSession& data) {
  if (!data.HasFileError()) return false;
  if (refusal_.empty()) {
    refusal_ = db::FileErrorMessage(
        data.LastFileError(),
        os::Cp1252("les lettres sont arrêtées et les lettres précédentes sont conservées"));
    config::LogRunFailure(refusal_);
    NoteOnce(context, "a data file of the letters cannot be read: no letter written");
  }
  merge_.reset();
  pass_.reset();  // nothing of this pass is put in place
  return true;
}

void LetterRun::AbandonPass() {
  in_pass_ = false;
  merge_.reset();
  pass_.reset();  // its staging folder goes; the previous letters stay
  refusal_.clear();
}

void LetterRun::BeginPass(CodeContext& context, const std::string& pass_key, Window& window) {
  FinishPass(context, false);
  pass_key_ = pass_key;
  in_pass_ = true;
  merge_.reset();
  pass_.reset();
  refusal_.clear();
  problem_noted_ = false;
  walked_ = 0;
  last_record_ = 0;

  const std::string name = Trimmed(FieldText(window, kTemplateField));
  if (name.empty()) {
    return Refuse("Aucun modèle de lettre n'est choisi : aucune lettre n'est écrite.", context,
                  "no letter template is chosen: no letter written");
  }
  if (outputs::IsRefusedTemplateName(name)) {
    return Refuse(
        "Le modèle de lettre doit être un fichier du répertoire des données.", context,
        "template \"" + name + "\" is not a file of the data directory: no letter written");
  }
  const std::string shown_name = os::Utf8(name);
  const std::optional<LetterFormat> format = LetterFormatOf(name);
  if (!format) {
    return Refuse(
        "Le modèle « " + shown_name +
            " » n'est ni RTF, ni HTML, ni texte, ni OpenDocument, ni Word : aucune lettre "
            "n'est écrite.",
        context,
        "template \"" + name + "\" is neither RTF, HTML, text, ODF nor Word: no letter written");
  }
  fs::path path = DataDirectory() / name;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) path = DataDirectory() / shown_name;
  std::string bytes;
  if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) > kTemplateLimit ||
      !os::ReadWholeFile(path.string(), &bytes)) {
    return Refuse("Le modèle « " + shown_name +
                      " » ne peut pas être lu : aucune lettre n'est écrite. Vérifiez qu'il est "
                      "dans le répertoire des données et que vous pouvez le lire.",
                  context, "template \"" + name + "\" cannot be read: no letter written");
  }
  std::string package = outputs::IsPackageFormat(*format) ? bytes : std::string();
  std::optional<std::string> text = outputs::TemplateText(std::move(bytes), *format);
  if (!text) {
    return Refuse("Le modèle « " + shown_name +
                      " » n'est pas un document Word ou OpenDocument lisible : aucune lettre "
                      "n'est écrite. Ouvrez-le et enregistrez-le de nouveau avec votre "
                      "traitement de texte.",
                  context, "template \"" + name + "\" is no readable package: no letter written");
  }
  merge_.emplace(LetterTemplate(std::move(*text), *format));
  const size_t dot = name.rfind('.');
  const std::string query = Trimmed(FieldText(window, kQueryField));
  const fs::path letters = DataDirectory() / std::string(kLettersFolder);
  util::RemoveLeftoverTemporaryFolders(letters.string());
  db::RecordSession& data = ProjectDataOf(context);
  data.ClearFileError();
  const int selected = LettersOfThePass(window, data);
  pass_ = std::make_unique<LetterPass>(LettersFolderOf(query, name), *format,
                                       name.substr(dot + 1), selected, std::move(package));
  if (!pass_->ok()) NoteOnce(context, "the folder of the letters cannot be written");
}

std::optional<std::string> LetterRun::NextClientCode(db::RecordSession& data,
                                                    std::string_view named) {
  if (walked_ > 0 && data.Hnumenr(FileId::SELECTES) != last_record_) {
    // Something else moved the position: find our place again.
    data.Hlitpremier(FileId::SELECTES, kPostcodeKey);
    for (int i = 1; i < walked_ && !data.Hendehors(); ++i)
      data.Hlitsuivant(FileId::SELECTES, kPostcodeKey);
  }
  if (walked_ == 0) {
    data.Hlitpremier(FileId::SELECTES, kPostcodeKey);
  } else {
    data.Hlitsuivant(FileId::SELECTES, kPostcodeKey);
  }
  if (!named.empty()) PassOverTo(data, named);
  if (data.Hendehors()) return std::nullopt;
  ++walked_;
  last_record_ = data.Hnumenr(FileId::SELECTES);
  return Trimmed(db::SelectedRecord{data.Buffer(FileId::SELECTES)}.ClientCode());
}

LetterValues ReadLetterValues(db::RecordSession& data) {
  LetterValues values;
  const db::InterfaceRecord record{data.Buffer(FileId::INTERFA)};
  for (data.Hlitrecherche(FileId::INTERFA, kKeywordKey, kLetterRecordMark); !data.Hendehors();
       data.Hlitsuivant(FileId::INTERFA, kKeywordKey)) {
    const std::string_view keyword = record.Keyword();
    if (keyword.substr(0, kLetterRecordMark.size()) != kLetterRecordMark) break;
    std::string value(record.LineText());
    if (!value.empty() && value.back() == '\t') value.pop_back();
    values.emplace(Trimmed(keyword.substr(kLetterRecordMark.size())), std::move(value));
  }
  return values;
}

// The values written for reading that the program left in the window's table
// VALEURS ("keyword", "value" rows, one per field of the letter, as in
// INTERFA) are the letter's values; the table is emptied for the next client.
// False when the window has no such rows: the letter takes INTERFA's.
bool TakeReadingValues(Window& window, LetterValues& values) {
  runtime::Field* table = window.FindField(kReadingTable);
  if (!table || table->rows.empty()) return false;
  for (std::vector<std::string>& row : table->rows) {
    if (row.size() >= 2) values.emplace(Trimmed(row[0]), std::move(row[1]));
  }
  table->rows.clear();
  table->selected = 0;
  return true;
}

void LetterRun::Click(CodeContext& context, Window& window) {
  const std::string pass_key =
      FieldText(window, kTemplateField) + '\n' + FieldText(window, kQueryField);
  if (!in_pass_ || pass_key != pass_key_) BeginPass(context, pass_key, window);
  db::RecordSession& data = ProjectDataOf(context);
  const std::string named = Trimmed(FieldText(window, kNamedClient));
  std::optional<std::string> client_code = NextClientCode(data, named);
  if (FailedOnFileError(context, data)) return;
  if (!client_code && walked_ > 0) {
    // Every selected client has had a letter: the program starts over.
    FinishPass(context, false);
    BeginPass(context, pass_key, window);
    client_code = NextClientCode(data, named);
  }
  if (!client_code) {
    context.Note(std::string(kWindow) + ".BOUTON1: no selected client is left for this letter");
    return;
  }
  LetterValues values;
  if (!TakeReadingValues(window, values)) values = ReadLetterValues(data);
  if (FailedOnFileError(context, data)) return;
  if (!merge_ || !pass_ || !pass_->ok()) return;
  pass_->Add(walked_, SafeNamePart(*client_code), merge_->Merge(values), DataDirectory().string());
  if (!pass_->ok()) NoteOnce(context, "a letter of this pass cannot be written");
}

LetterRun& RunOf(CodeContext& context) {
  runtime::SessionObjects& objects = context.Objects();
  if (auto* run = dynamic_cast<LetterRun*>(objects.Find(kRunObject))) return *run;
  return static_cast<LetterRun&>(objects.Keep(kRunObject, std::make_unique<LetterRun>()));
}

}  // namespace

void StartLetterRun(CodeContext& context) {
  if (auto* run = dynamic_cast<LetterRun*>(context.Objects().Find(kRunObject))) {
    run->FinishPass(context, false);
  }
  context.Objects().Keep(kRunObject, std::make_unique<LetterRun>());
}

void FinishLetterRun(CodeContext& context) {
  if (auto* run = dynamic_cast<LetterRun*>(context.Objects().Find(kRunObject))) {
    run->FinishPass(context, false);
  }
  context.Objects().Drop(kRunObject);
}

fs::path LettersFolderOf(std::string_view query, std::string_view template_name) {
  const std::string_view stem = template_name.substr(0, template_name.rfind('.'));
  return DataDirectory() / std::string(kLettersFolder) /
         (SafeNamePart(query) + "-" + SafeNamePart(stem));
}

void RegisterLetterRun(runtime::CodeRegistry& registry) {
  const runtime::WindowCode click = [](CodeContext& context, Window& window) {
    RunOf(context).Click(context, window);
  };
  registry.AddWindowCode(kWindow, "BOUTON1", "CLIC", click);
  registry.AddWindowCode(kProgressWindow, "BOUTON1", "CLIC", click);
  registry.AddWindowCode(kWindow, "BOUTON1", "FIN", [](CodeContext& context, Window&) {
    RunOf(context).FinishPass(context, true);
  });
  registry.AddWindowCode(kWindow, "BOUTON1", "ABANDON",
                         [](CodeContext& context, Window&) { RunOf(context).AbandonPass(); });
}

}  // namespace vz::project
