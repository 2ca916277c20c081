// The merge of one letter: the "#keyword" fields of a template (cut into
// pieces by src/outputs/letter_template.h, which says what a field is)
// replaced by the client's values, with the escaping the template's format
// needs. A keyword with no value, or one that cannot name a value, is left
// as written; in HTML and flat ODF markup and character references hold no
// field, so colours and entities survive.
//
// Values are cp1252 (as INTERFA holds them). Escaping by format:
//   RTF       \ { } escaped, characters from 0x80 as \'xx (cp1252), line
//             breaks as \line, TAB as \tab; a space is put after a control
//             word the value would otherwise run into
//   HTML      & < > " ' as entities, line breaks as <br>
//   flat ODF  & < > " ' as entities, line breaks and TABs as ODF elements,
//             control characters dropped (the document stays well-formed XML)
//   .odt      as flat ODF (the main part, content.xml; always UTF-8)
//   .docx     as flat ODF, line breaks and TABs as <w:br/>, <w:tab/> between
//             two <w:t> (the main part, word/document.xml; always UTF-8)
//   text      the value as it is
// HTML, flat ODF and text templates that are UTF-8 (valid UTF-8 holding
// non-ASCII bytes) get values in UTF-8; other HTML and flat ODF templates get
// non-ASCII characters as numeric references, other text templates keep
// cp1252. An address line ("#0000C1", "#0000C2") whose value is empty and
// that stands alone on its line (blanks only, then the format's line break:
// a line feed, "<br>", "\par") leaves that line out, as the labels leave out
// an empty address line; flat ODF paragraphs are kept. Nothing fails: any
// bytes merge into some document.
#ifndef VZ_PROJECT_LETTER_MERGE_H_
#define VZ_PROJECT_LETTER_MERGE_H_

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "src/outputs/letter_template.h"

namespace vz::project {

using outputs::LetterFormat;
using outputs::LetterFormatOf;
using outputs::LetterTemplate;

// HTML and text letters are also gathered into one PDF.
bool HasPdfCopy(LetterFormat format);

// Keyword (without "#") -> cp1252 value.
using LetterValues = std::map<std::string, std::string, std::less<>>;

// True when the bytes are valid UTF-8 and hold at least one non-ASCII byte.
bool IsUtf8WithNonAscii(std::string_view bytes);

// A template read once for a pass of letters, merged once per client.
class LetterMerge {
 public:
  explicit LetterMerge(LetterTemplate parsed);

  LetterFormat format() const { return template_.format(); }
  std::string Merge(const LetterValues& values) const;

 private:
  LetterTemplate template_;
  bool utf8_ = false;  // values go in as UTF-8
};

// One letter from a template's bytes: LetterMerge for a single client.
std::string MergeLetter(std::string_view template_bytes, LetterFormat format,
                        const LetterValues& values);

}  // namespace vz::project

#endif  // VZ_PROJECT_LETTER_MERGE_H_
