// The one document to print of a pass of RTF, OpenDocument and Word letters:
// every letter of the pass one after the other, each starting on a new page.
// All letters of a pass come from one template, so the first letter gives
// the document's head (RTF font and colour tables, XML declarations and
// styles) and its tail; every letter gives its body:
//   RTF            what follows the head's tables inside "{\rtf1 ... }";
//                  letters are parted by "\page"
//   OpenDocument   the content of <office:text> after its declarations;
//                  parted by an empty paragraph of the automatic style
//                  "LettresSautDePage" (break before: page), added to the
//                  document's automatic styles
//   Word           the content of <w:body> before its last <w:sectPr>;
//                  parted by a paragraph holding a page break; the drawings
//                  ("<wp:docPr id=") of the letters after the first are
//                  numbered on from the first letter's largest id, so that
//                  every drawing of the document has its own id
// The XML is the one this program writes (split_keywords.h), with the
// usual prefixes "office:", "text:", "style:", "fo:" and "w:".
//
// The document is written as the letters come (never kept whole in memory)
// into a file the caller names: for .odt and .docx that file is the main
// part, zipped afterwards (letter_package.h).
//
// Failure: Add() returns false when the file cannot be written (write_failed()
// then says so) or when a letter cannot be cut (cut_failed(): the document is
// not made, the letters are); nothing more is written after a failure.
#ifndef VZ_SRC_OUTPUTS_GATHERED_DOCUMENT_H_
#define VZ_SRC_OUTPUTS_GATHERED_DOCUMENT_H_

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "src/outputs/letter_template.h"

namespace vz::outputs {

// Where a letter's body starts and ends in its bytes.
struct BodyBounds {
  size_t begin = 0;
  size_t end = 0;
};

// The body of one letter of the format (kRtf, kFlatOdf, kOdt's content.xml,
// kDocx's document.xml); nullopt when the document has no body to find.
std::optional<BodyBounds> FindBody(std::string_view letter, LetterFormat format);

// What parts two letters in the gathered document of the format.
std::string_view PageBreak(LetterFormat format);

// True for the formats gathered into one document: RTF, OpenDocument, Word.
bool HasGatheredDocument(LetterFormat format);

class GatheredDocument {
 public:
  GatheredDocument(std::string path, LetterFormat format);

  bool Add(std::string_view letter);
  // Writes the tail and closes the file; false when it cannot be written.
  bool Finish();

  int letters() const { return letters_; }
  bool cut_failed() const { return cut_failed_; }
  bool write_failed() const { return write_failed_; }

 private:
  std::string path_;
  LetterFormat format_;
  std::ofstream out_;
  std::string tail_;
  uint32_t last_drawing_id_ = 0;  // Word: the drawing ids given so far
  int letters_ = 0;
  bool cut_failed_ = false;
  bool write_failed_ = false;
};

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_GATHERED_DOCUMENT_H_
