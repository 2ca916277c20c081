// One pass of letters (one letter per selected client for one template and
// one query), written as a whole set: the letters and their PDF go into a
// staging folder beside <data>/LETTRES/<query>-<template> and are put in
// place by Finish() in one exchange (src/util/replacing_folder.h), so that
// until then the previous letters and PDF of that folder stay whole, and a
// kill leaves them as they were. RTF, OpenDocument and Word letters are
// also gathered into one document to print, with its PDF where LibreOffice
// is installed (gathered_letters.h); the end message names it.
//
// Finish() after every letter, or after the adviser stopped the letters
// (fewer letters than selected clients), puts the letters written so far in
// place as the pass's set: they replace the previous numbered letters and
// PDF; the folder's other files stay. A letter or PDF that cannot be written
// (full disk, unwritable folder) fails the pass: nothing more is written, the
// staging folder is removed and the previous set stays; Finish() says so.
// Finish() returns the message for the adviser (cp1252), never "written"
// when the files are not in place.
// REQUIRES: used from the thread that runs the screen runtime (the PDF).
#ifndef VZ_PROJECT_LETTER_PASS_H_
#define VZ_PROJECT_LETTER_PASS_H_

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/runtime/front_end.h"
#include "project/gathered_letters.h"
#include "project/letter_merge.h"
#include "project/letter_pdf.h"
#include "src/util/replacing_folder.h"

namespace vz::project {

// The name of the PDF gathering the HTML and text letters of a folder, or of
// the gathered document of RTF, OpenDocument and Word letters.
inline constexpr std::string_view kLettersPdfName = "lettres.pdf";

// True for a file of an earlier pass: a numbered letter "<nnnn>-<code>.<ext>"
// (4 digits or more) of a template format, the letters' PDF, or a gathered
// document "lettres.<ext>" (gathered_letters.h).
bool IsLetterOfAPass(std::string_view file_name);

struct LetterPassOutcome {
  runtime::MessageKind kind = runtime::MessageKind::kInfo;
  std::string text;    // cp1252
  std::string folder;  // where the letters are (file-system bytes); empty on failure
};

class LetterPass {
 public:
  // `folder`: the final folder; `selected`: the clients of the pass;
  // `package`: the template file's bytes for .docx and .odt letters.
  LetterPass(std::filesystem::path folder, LetterFormat format, std::string extension, int selected,
             std::string package = {});

  // False once the pass has failed: nothing more is written.
  bool ok() const { return !failed_; }

  // Writes letter `number` (from 1) of `client_code` (a safe name part) and
  // adds it to the PDF for HTML and text letters. `base_folder`: where the
  // HTML's images are found.
  void Add(int number, std::string_view client_code, const std::string& merged,
           const std::string& base_folder);

  int written() const { return written_; }

  // Puts the pass in place (see above) and says how it went.
  LetterPassOutcome Finish();

 private:
  LetterPassOutcome Failure() const;

  std::filesystem::path folder_;
  LetterFormat format_;
  std::string extension_;
  int selected_ = 0;
  util::ReplacingFolder staging_;
  LetterPdf pdf_;
  std::unique_ptr<GatheredLetters> gathered_;
  bool failed_ = false;
  int written_ = 0;
};

// A path as the adviser reads it in a message (cp1252), made absolute: native
// names are UTF-8, but a data directory taken as written keeps its cp1252 bytes.
std::string ShownPath(const std::filesystem::path& path);

}  // namespace vz::project

#endif  // VZ_PROJECT_LETTER_PASS_H_
