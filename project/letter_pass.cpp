// A pass of letters written as a whole set (letter_pass.h).
#include "project/letter_pass.h"

#include <QString>
#include <fstream>
#include <system_error>
#include <utility>

#include "platform/os/cp1252.h"
#include "src/util/thousands.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using runtime::MessageKind;

std::string Letters(int count) {
  return util::ThousandsText(count) + (count > 1 ? " lettres" : " lettre");
}

}  // namespace

bool IsLetterOfAPass(std::string_view name) {
  if (name == kLettersPdfName) return true;
  for (const LetterFormat format :
       {LetterFormat::kRtf, LetterFormat::kFlatOdf, LetterFormat::kOdt, LetterFormat::kDocx}) {
    if (name == GatheredName(format)) return true;
  }
  size_t digits = 0;
  while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') ++digits;
  return digits >= 4 && digits < name.size() && name[digits] == '-' &&
         LetterFormatOf(name).has_value();
}

std::string ShownPath(const fs::path& path) {
  std::error_code error;
  const fs::path whole = fs::absolute(path, error).lexically_normal();
  const std::string native = (error ? path : whole).string();
  const std::string converted = os::Cp1252(native);
  return os::Utf8(converted) == native ? converted : native;
}

LetterPass::LetterPass(fs::path folder, LetterFormat format, std::string extension, int selected,
                       std::string package)
    : folder_(std::move(folder)),
      format_(format),
      extension_(std::move(extension)),
      selected_(selected),
      staging_(folder_.string()) {
  failed_ = !staging_.ok();
  gathered_ = std::make_unique<GatheredLetters>(format, std::move(package),
                                                fs::path(staging_.staging_path()));
}

void LetterPass::Add(int number, std::string_view client_code, const std::string& merged,
                     const std::string& base_folder) {
  if (failed_) return;
  std::string name = std::to_string(number);
  if (name.size() < 4) name.insert(0, 4 - name.size(), '0');
  name += '-';
  name += client_code;
  name += '.';
  name += extension_;
  const fs::path staging(staging_.staging_path());
  const std::optional<std::string> file = gathered_->LetterFile(merged);
  if (!file) {
    failed_ = true;
    return;
  }
  std::ofstream out(staging / name, std::ios::binary | std::ios::trunc);
  out.write(file->data(), static_cast<std::streamsize>(file->size()));
  out.close();
  if (!out || !gathered_->Add(merged)) {
    failed_ = true;
    return;
  }
  ++written_;
  if (!HasPdfCopy(format_)) return;
  if (!pdf_.is_open()) {
    // The folder's name is cp1252 bytes unless it is already UTF-8.
    const std::string folder_name = folder_.filename().string();
    const std::string title =
        "Lettres " + (IsUtf8WithNonAscii(folder_name) ? folder_name : os::Utf8(folder_name));
    if (!pdf_.Open(staging / std::string(kLettersPdfName), QString::fromStdString(title))) {
      failed_ = true;
      return;
    }
  }
  const QString text =
      QString::fromStdString(IsUtf8WithNonAscii(merged) ? merged : os::Utf8(merged));
  pdf_.AddLetter(text, format_ == LetterFormat::kHtml, base_folder);
}

LetterPassOutcome LetterPass::Failure() const {
  return {MessageKind::kError,
          os::Cp1252("Les lettres n'ont pas pu être écrites dans le dossier ") +
              ShownPath(folder_) +
              os::Cp1252(" : vérifiez la place libre sur le disque et que vous pouvez écrire "
                         "dans ce dossier, puis relancez les lettres. Les lettres précédentes de "
                         "ce dossier sont conservées."),
          {}};
}

LetterPassOutcome LetterPass::Finish() {
  if (!failed_ && (!pdf_.Finish() || !gathered_->Finish())) failed_ = true;
  if (failed_) {
    staging_.Discard();
    return Failure();
  }
  if (!staging_.Commit([](std::string_view name) { return IsLetterOfAPass(name); })) {
    failed_ = true;
    return Failure();
  }
  std::string text;
  if (written_ < selected_) {
    text = "Lettres arrêtées : " + Letters(written_) + " sur " + util::ThousandsText(selected_) +
           (written_ > 1 ? " ont été écrites" : " a été écrite") +
           " ; elles remplacent les lettres précédentes de ce modèle pour cette requête. ";
  } else {
    text = Letters(written_) + (written_ > 1 ? " écrites. " : " écrite. ");
  }
  const std::string gathered = gathered_->document();
  if (HasPdfCopy(format_) && written_ > 0) {
    text = os::Cp1252(text + "Le document à imprimer : ") +
           ShownPath(folder_ / std::string(kLettersPdfName)) + ".";
  } else if (!gathered.empty()) {
    text = os::Cp1252(text + "Le document à imprimer : ") + ShownPath(folder_ / gathered) +
           (gathered_->has_pdf()
                ? os::Cp1252(", et son PDF : ") + ShownPath(folder_ / std::string(kLettersPdfName))
                : std::string()) +
           ".";
  } else {
    text = os::Cp1252(text + "Les lettres sont dans le dossier ") + ShownPath(folder_) + ".";
  }
  if (!gathered_->remark().empty()) text += ' ' + os::Cp1252(gathered_->remark());
  std::error_code error;
  const fs::path whole = fs::absolute(folder_, error).lexically_normal();
  return {MessageKind::kInfo, std::move(text), (error ? folder_ : whole).string()};
}

}  // namespace vz::project
