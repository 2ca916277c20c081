// One PDF gathering the letters of a run, written as the letters come: each
// letter is laid out on A4 pages (20 mm margins) and starts on a new page; a
// long letter takes as many pages as it needs. Only the PDF writer's state is
// kept between letters, never the letters themselves.
//
// The PDF is complete once Finish() has run or the object is destroyed.
// Failure: Open() returns false when no GUI application can exist or the
// file cannot be written; AddLetter() on a PDF that is not open does
// nothing and returns false.
// REQUIRES: used from the thread that runs the screen runtime.
#ifndef VZ_PROJECT_LETTER_PDF_H_
#define VZ_PROJECT_LETTER_PDF_H_

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

  // Starts the PDF at `path` (UTF-8 file system name), replacing any file.
  bool Open(const std::string& path, const QString& title);
  bool is_open() const;

  // Adds one letter: HTML, or plain text when `html` is false. `base_folder`
  // is where images named by the HTML are looked for.
  bool AddLetter(const QString& content, bool html, const std::string& base_folder);

  int page_count() const { return pages_; }
  void Finish();

 private:
  struct Writer;
  std::unique_ptr<Writer> writer_;
  int pages_ = 0;
};

}  // namespace vz::project

#endif  // VZ_PROJECT_LETTER_PDF_H_
