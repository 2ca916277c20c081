#include "project/letter_run.h"

#include <QString>
#include <filesystem>
#include <fstream>
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
#include "project/letter_pdf.h"
#include "project/project_data.h"
#include "src/config/program_settings.h"
#include "src/db/layouts/interfa.h"
#include "src/db/layouts/selectes.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using db::FileId;
using runtime::CodeContext;
using runtime::MessageKind;
using runtime::Window;

constexpr std::string_view kRunObject = "RESULTAT.lettres";
constexpr std::string_view kWindow = "RESULTAT";
constexpr std::string_view kTemplateField = "Nom_Lettre";
constexpr std::string_view kQueryField = "REQUETE";
constexpr std::string_view kLettersFolder = "LETTRES";
constexpr std::string_view kPdfName = "lettres.pdf";
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

// Earlier letters of the folder (numbered letters and the PDF), replaced by a
// new pass over the same query and template.
bool IsEarlierLetter(const fs::path& file) {
  const std::string name = file.filename().string();
  if (name == kPdfName) return true;
  // <nnnn>-<code>.<ext>, nnnn of 4 digits or more (past 9999 letters).
  size_t digits = 0;
  while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') ++digits;
  return digits >= 4 && digits < name.size() && name[digits] == '-' &&
         LetterFormatOf(name).has_value();
}

class LetterRun final : public runtime::SessionObject {
 public:
  void Click(CodeContext& context, Window& window);

 private:
  void BeginPass(CodeContext& context, const std::string& pass_key, Window& window);
  std::optional<std::string> NextClientCode(db::RecordSession& data);
  void WriteLetter(CodeContext& context, const std::string& client_code,
                   const LetterValues& values);
  void NoteOnce(CodeContext& context, const std::string& problem);

 public:
  // Completes the PDF of the pass, if one is open; a PDF that cannot be
  // written is noted and the adviser told (the letters themselves are kept).
  void FinishPdf(CodeContext& context);

 private:
  std::string pass_key_;
  bool in_pass_ = false;
  // The template of the pass, read once, and its folder; none, or no folder,
  // when nothing is written.
  fs::path folder_;
  std::optional<LetterMerge> merge_;
  std::string extension_;
  bool problem_noted_ = false;
  int walked_ = 0;  // SELECTES records read in this pass
  int64_t last_record_ = 0;
  LetterPdf pdf_;
  bool pdf_failed_ = false;
};

void LetterRun::NoteOnce(CodeContext& context, const std::string& problem) {
  if (problem_noted_) return;
  problem_noted_ = true;
  context.Note(std::string(kWindow) + ".BOUTON1: " + problem);
}

void LetterRun::FinishPdf(CodeContext& context) {
  if (!pdf_.is_open() || pdf_.Finish()) return;
  const fs::path pdf = folder_ / std::string(kPdfName);
  context.Note(std::string(kWindow) + ": " + pdf.string() + " cannot be written");
  // The folder is shown as written: cp1252 when its name is UTF-8, else its bytes.
  const std::string native = pdf.string();
  const std::string shown = os::Utf8(os::Cp1252(native)) == native ? os::Cp1252(native) : native;
  context.Front().ShowMessage(
      MessageKind::kError,
      os::Cp1252("Le PDF des lettres n'a pas pu être écrit : ") + shown +
          os::Cp1252(". Les lettres elles-mêmes sont dans le dossier ; vérifiez que vous pouvez y "
                     "écrire, puis relancez les lettres."));
}

void LetterRun::BeginPass(CodeContext& context, const std::string& pass_key, Window& window) {
  FinishPdf(context);
  pass_key_ = pass_key;
  in_pass_ = true;
  folder_.clear();
  merge_.reset();
  problem_noted_ = false;
  walked_ = 0;
  last_record_ = 0;
  pdf_failed_ = false;

  const std::string name = Trimmed(FieldText(window, kTemplateField));
  if (name.empty()) return NoteOnce(context, "no letter template is chosen: no letter written");
  if (outputs::IsRefusedTemplateName(name)) {
    return NoteOnce(context, "template \"" + name +
                                 "\" is not a file of the data directory: no letter written");
  }
  const std::optional<LetterFormat> format = LetterFormatOf(name);
  if (!format) {
    return NoteOnce(context, "template \"" + name +
                                 "\" is neither RTF, HTML, text nor flat ODF: no letter written");
  }
  fs::path path = DataDirectory() / name;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) path = DataDirectory() / os::Utf8(name);
  std::string bytes;
  if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) > kTemplateLimit ||
      !os::ReadWholeFile(path.string(), &bytes)) {
    return NoteOnce(context, "template \"" + name + "\" cannot be read: no letter written");
  }
  merge_.emplace(LetterTemplate(std::move(bytes), *format));
  const size_t dot = name.rfind('.');
  extension_ = name.substr(dot + 1);
  const std::string query = Trimmed(FieldText(window, kQueryField));
  folder_ = DataDirectory() / std::string(kLettersFolder) /
            (SafeNamePart(query) + "-" + SafeNamePart(name.substr(0, dot)));
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (it->is_regular_file(ignored) && IsEarlierLetter(it->path()))
      fs::remove(it->path(), ignored);
  }
}

std::optional<std::string> LetterRun::NextClientCode(db::RecordSession& data) {
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

void LetterRun::WriteLetter(CodeContext& context, const std::string& client_code,
                            const LetterValues& values) {
  const std::string merged = merge_->Merge(values);
  std::string number = std::to_string(walked_);
  if (number.size() < 4) number.insert(0, 4 - number.size(), '0');
  const fs::path file = folder_ / (number + "-" + SafeNamePart(client_code) + "." + extension_);
  std::error_code ec;
  fs::create_directories(folder_, ec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(merged.data(), static_cast<std::streamsize>(merged.size()));
  out.close();
  if (!out) {
    context.Note(std::string(kWindow) + ".BOUTON1: " + file.string() + " cannot be written");
    return;
  }
  if (!HasPdfCopy(merge_->format()) || pdf_failed_) return;
  // The folder's name is cp1252 bytes unless it is already UTF-8.
  const std::string folder_name = folder_.filename().string();
  const std::string title =
      "Lettres " + (IsUtf8WithNonAscii(folder_name) ? folder_name : os::Utf8(folder_name));
  if (!pdf_.is_open() &&
      !pdf_.Open((folder_ / std::string(kPdfName)).string(), QString::fromStdString(title))) {
    pdf_failed_ = true;
    context.Note(std::string(kWindow) + ".BOUTON1: the PDF of the letters cannot be written in " +
                 folder_.string());
    return;
  }
  const QString text =
      QString::fromStdString(IsUtf8WithNonAscii(merged) ? merged : os::Utf8(merged));
  pdf_.AddLetter(text, merge_->format() == LetterFormat::kHtml, DataDirectory().string());
}

void LetterRun::Click(CodeContext& context, Window& window) {
  const std::string pass_key =
      FieldText(window, kTemplateField) + '\n' + FieldText(window, kQueryField);
  if (!in_pass_ || pass_key != pass_key_) BeginPass(context, pass_key, window);
  db::RecordSession& data = ProjectDataOf(context);
  std::optional<std::string> client_code = NextClientCode(data);
  if (!client_code && walked_ > 0) {
    // Every selected client has had a letter: the program starts over.
    BeginPass(context, pass_key, window);
    client_code = NextClientCode(data);
  }
  if (!client_code) {
    context.Note(std::string(kWindow) + ".BOUTON1: no selected client is left for this letter");
    return;
  }
  if (!merge_ || folder_.empty()) return;
  WriteLetter(context, *client_code, ReadLetterValues(data));
}

LetterRun& RunOf(CodeContext& context) {
  runtime::SessionObjects& objects = context.Objects();
  if (auto* run = dynamic_cast<LetterRun*>(objects.Find(kRunObject))) return *run;
  return static_cast<LetterRun&>(objects.Keep(kRunObject, std::make_unique<LetterRun>()));
}

}  // namespace

void StartLetterRun(CodeContext& context) {
  context.Objects().Keep(kRunObject, std::make_unique<LetterRun>());
}

void FinishLetterRun(CodeContext& context) {
  if (auto* run = dynamic_cast<LetterRun*>(context.Objects().Find(kRunObject))) {
    run->FinishPdf(context);
  }
  context.Objects().Drop(kRunObject);
}

void RegisterLetterRun(runtime::CodeRegistry& registry) {
  registry.AddWindowCode(kWindow, "BOUTON1", "CLIC", [](CodeContext& context, Window& window) {
    RunOf(context).Click(context, window);
  });
  registry.AddWindowCode(kWindow, kWindow, "FERMETURE",
                         [](CodeContext& context, Window&) { FinishLetterRun(context); });
}

}  // namespace vz::project
