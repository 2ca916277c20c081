// The merge of one letter: a template's "#keyword" fields replaced by the
// client's values, with the escaping the template's format needs.
//
// A field is "#" followed by a run of letters A-Z a-z, digits and "_" of 1 to
// 7 characters ("#0000A," names "0000A"); a longer run, or a keyword with no
// value, is left as written. In HTML and flat ODF only the text is merged:
// "#" inside markup (tags, comments, style and script blocks) and "&#"
// character references are never fields, so colours and entities survive.
//
// Values are cp1252 (as INTERFA holds them). Escaping by format:
//   RTF       \ { } escaped, characters from 0x80 as \'xx (cp1252), line
//             breaks as \line, TAB as \tab; a space is put after a control
//             word the value would otherwise run into
//   HTML      & < > " ' as entities, line breaks as <br>
//   flat ODF  & < > " ' as entities, line breaks and TABs as ODF elements,
//             control characters dropped (the document stays well-formed XML)
//   text      the value as it is
// HTML, flat ODF and text templates that are UTF-8 (valid UTF-8 holding
// non-ASCII bytes) get values in UTF-8; other HTML and flat ODF templates get
// non-ASCII characters as numeric references, other text templates keep
// cp1252. Nothing fails: any bytes merge into some document.
#ifndef VZ_PROJECT_LETTER_MERGE_H_
#define VZ_PROJECT_LETTER_MERGE_H_

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vz::project {

enum class LetterFormat { kRtf, kHtml, kText, kFlatOdf };

// By the file name's extension, without regard to case: ".rtf", ".htm",
// ".html", ".txt", ".fodt"; nullopt for any other.
std::optional<LetterFormat> LetterFormatOf(std::string_view file_name);

// HTML and text letters are also gathered into one PDF.
bool HasPdfCopy(LetterFormat format);

// Keyword (without "#") -> cp1252 value.
using LetterValues = std::map<std::string, std::string, std::less<>>;

// True when the bytes are valid UTF-8 and hold at least one non-ASCII byte.
bool IsUtf8WithNonAscii(std::string_view bytes);

std::string MergeLetter(std::string_view template_bytes, LetterFormat format,
                        const LetterValues& values);

}  // namespace vz::project

#endif  // VZ_PROJECT_LETTER_MERGE_H_
