// The files of a pass of RTF, OpenDocument and Word letters beyond the
// merged text: each .docx and .odt letter is the template's package with the
// merged main part (src/outputs/letter_package.h), and all letters of the
// pass are gathered into one document to print, "lettres.<ext>" of the
// staging folder (src/outputs/gathered_document.h), each letter on a new
// page. Where LibreOffice is installed ("soffice" or "libreoffice" found on
// the PATH), Finish() also makes "lettres.pdf" of that document (headless
// conversion, at most kOfficeTimeoutMs); without it the remark says so once.
//
// Failure: LetterFile() gives nullopt when a package cannot be written;
// Add() and Finish() return false when the gathered document cannot be
// written (the pass fails). A letter whose document cannot be cut, or a
// conversion that fails, is no failure of the pass: the document (or its
// PDF) is not made and remark() tells it.
#ifndef VZ_PROJECT_GATHERED_LETTERS_H_
#define VZ_PROJECT_GATHERED_LETTERS_H_

#include <filesystem>
#include <optional>
#include <string>

#include "src/outputs/gathered_document.h"
#include "src/outputs/letter_template.h"

namespace vz::project {

inline constexpr int kOfficeTimeoutMs = 10 * 60 * 1000;

// "lettres.rtf", "lettres.fodt", "lettres.odt", "lettres.docx"; empty for
// the formats without a gathered document.
std::string GatheredName(outputs::LetterFormat format);

class GatheredLetters {
 public:
  // `package`: the template file's bytes (used for .docx and .odt).
  GatheredLetters(outputs::LetterFormat format, std::string package, std::filesystem::path staging);

  std::optional<std::string> LetterFile(const std::string& merged) const;
  bool Add(const std::string& merged);
  bool Finish();

  // The gathered document's file name, empty when it was not made.
  std::string document() const { return made_ ? GatheredName(format_) : std::string(); }
  bool has_pdf() const { return has_pdf_; }
  // What could not be made, one or two French sentences (UTF-8), or "".
  const std::string& remark() const { return remark_; }

 private:
  std::filesystem::path PartPath() const;
  void MakePdf();

  outputs::LetterFormat format_;
  std::string package_;
  std::filesystem::path staging_;
  outputs::GatheredDocument document_;
  bool made_ = false;
  bool has_pdf_ = false;
  std::string remark_;
};

}  // namespace vz::project

#endif  // VZ_PROJECT_GATHERED_LETTERS_H_
