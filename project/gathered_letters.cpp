// Word and OpenDocument letter files and the gathered document of a pass
// (gathered_letters.h).
#include "project/gathered_letters.h"

#include <sys/wait.h>

#include <system_error>
#include <utility>

#include "platform/os/processes.h"
#include "src/outputs/letter_package.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using outputs::LetterFormat;

constexpr std::string_view kPartName = "lettres.part.xml";

}  // namespace

std::string GatheredName(LetterFormat format) {
  switch (format) {
    case LetterFormat::kRtf:
      return "lettres.rtf";
    case LetterFormat::kFlatOdf:
      return "lettres.fodt";
    case LetterFormat::kOdt:
      return "lettres.odt";
    case LetterFormat::kDocx:
      return "lettres.docx";
    case LetterFormat::kHtml:
    case LetterFormat::kText:
      break;
  }
  return {};
}

GatheredLetters::GatheredLetters(LetterFormat format, std::string package, fs::path staging)
    : format_(format),
      package_(std::move(package)),
      staging_(std::move(staging)),
      document_(outputs::IsPackageFormat(format) ? PartPath().string()
                                                 : (staging_ / GatheredName(format)).string(),
                format) {}

fs::path GatheredLetters::PartPath() const {
  return staging_ / std::string(kPartName);
}

std::optional<std::string> GatheredLetters::LetterFile(const std::string& merged) const {
  if (!outputs::IsPackageFormat(format_)) return merged;
  return outputs::PackageWithPart(package_, outputs::MainPartName(format_), merged);
}

bool GatheredLetters::Add(const std::string& merged) {
  if (!outputs::HasGatheredDocument(format_)) return true;
  document_.Add(merged);
  return !document_.write_failed();
}

bool GatheredLetters::Finish() {
  if (!outputs::HasGatheredDocument(format_) || document_.letters() == 0) return true;
  if (!document_.Finish()) return false;
  std::error_code error;
  if (document_.cut_failed()) {
    fs::remove(outputs::IsPackageFormat(format_) ? PartPath() : staging_ / GatheredName(format_),
               error);
    remark_ =
        "Les lettres n'ont pas pu être réunies en un seul document : le modèle n'a pas la "
        "structure attendue.";
    return true;
  }
  if (outputs::IsPackageFormat(format_)) {
    const bool zipped = outputs::WritePackageWithPartFile(
        package_, outputs::MainPartName(format_), PartPath().string(),
        (staging_ / GatheredName(format_)).string());
    fs::remove(PartPath(), error);
    if (!zipped) return false;
  }
  made_ = true;
  MakePdf();
  return true;
}

void GatheredLetters::MakePdf() {
  std::string program = os::ResolveProgram("soffice");
  if (program.empty()) program = os::ResolveProgram("libreoffice");
  if (program.empty()) {
    remark_ = "LibreOffice n'est pas installé : le PDF du document n'a pas été fait.";
    return;
  }
  const fs::path document = staging_ / GatheredName(format_);
  std::optional<os::ChildProcess> child =
      os::StartProcess("\"" + program + "\" --headless --convert-to pdf --outdir \"" +
                       staging_.string() + "\" \"" + document.string() + "\"");
  std::error_code error;
  const fs::path pdf = staging_ / "lettres.pdf";
  if (child && child->Wait(kOfficeTimeoutMs) == os::ChildProcess::WaitResult::kTimedOut) {
    os::EndProcess(child->pid());
    child->Wait(5000);
    child.reset();
  }
  if (child && child->exited() && WIFEXITED(child->wait_status()) &&
      WEXITSTATUS(child->wait_status()) == 0 && fs::is_regular_file(pdf, error)) {
    has_pdf_ = true;
    return;
  }
  fs::remove(pdf, error);
  remark_ = "LibreOffice n'a pas pu faire le PDF du document.";
}

}  // namespace vz::project
