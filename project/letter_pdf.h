// One PDF gathering the letters of a run, written as the letters come: each
// letter is laid out on A4 pages (20 mm margins, or the HTML letter's own:
// letter_css.h, which also puts its lengths in terms the layout honours) and
// starts on a new page; a
// long letter takes as many pages as it needs. Only the PDF writer's state is
// kept between letters, never the letters themselves.
//
// The PDF is made in memory and written by Finish() (or when the object is
// destroyed) under the file name's own bytes, so a data directory with cp1252
// accents gets its PDF; it goes through a temporary file renamed over the
// previous PDF only when complete.
// Failure: Open() returns false when no GUI application can exist or the
// folder does not exist or cannot be written; AddLetter() on a PDF that is
// not open does nothing and returns false, and so does AddLetter() on a
// letter whose layout would cost too much (src/outputs/letter_template.h:
// LayoutCostRefusal; it is left out of the PDF); Finish() returns false when the
// file cannot be written (the previous PDF, if any, is left as it was).
// REQUIRES: used from the thread that runs the screen runtime.
#ifndef VZ_PROJECT_LETTER_PDF_H_
#define VZ_PROJECT_LETTER_PDF_H_

#include <filesystem>
#include <memory>
#include <string>

class QString;

namespace vz::project {

class LetterPdf {
 public:
  LetterPdf();
  ~LetterPdf();
  LetterPdf(const LetterPdf&) = delete;
  LetterPdf& operator=(const LetterPdf&) = delete;

  // Starts the PDF that Finish() writes at `path`, replacing any file.
  bool Open(const std::filesystem::path& path, const QString& title);
  bool is_open() const;

  // Adds one letter: HTML, or plain text when `html` is false. `base_folder`
  // (bytes as the file system holds them, cp1252 accents included) is where
  // images named by the HTML are looked for; an image not found is left out.
  bool AddLetter(const QString& content, bool html, const std::string& base_folder);

  int page_count() const { return pages_; }
  // Ends the PDF and writes it; true when there was nothing to write.
  bool Finish();

 private:
  struct Writer;
  std::unique_ptr<Writer> writer_;
  int pages_ = 0;
};

}  // namespace vz::project

#endif  // VZ_PROJECT_LETTER_PDF_H_
