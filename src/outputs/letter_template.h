// A letter template read once: its format by the file name, whether the name
// may be used at all, and the template cut into an ordered list of pieces,
// literal text and "#keyword" fields. The program lists the keywords of the
// pieces (letter_fields.h, the INTERFA records); the result window's code
// merges the pieces with one client's values (project/letter_merge.h). Both
// read the template through this one parser.
//
// A keyword is "#", the character right after it, then the run of letters
// A-Z a-z, digits and "_" that follows; a keyword of 1 to 7 characters is a
// field ("#0000A," gives "0000A"), a longer one is plain text ("#0000AB12").
// A "#" right after a "#" starts a keyword of its own ("##0000A": the first
// "#" is plain text, then the keyword "0000A"); a "#" at the very end is
// plain text. The character right after "#" is taken whatever it is
// ("# 4000" gives " 4000"): such a keyword is listed but never merged, since
// no value can name it (NamesValue). The template is cut as a whole: a
// keyword is found wherever it stands, on either side of any byte count.
//
// In HTML and XML templates (flat ODF, the main part of .docx and .odt)
// only the document's text holds fields: never markup (a tag with its attributes, a comment, a
// CDATA section, the content of a style or script block) nor a character reference ("&#35;",
// "&#233;"), so a colour such as "#FF0000" is never a field. There, the
// character right after "#" is not taken when it opens markup or a character
// reference ("<" starting a tag, "&"). RTF and text templates are read as
// plain bytes. At most 64 keywords are listed (letter_fields.h); the merge
// replaces every keyword that has a value.
//
// Nothing fails: any bytes give some pieces. The template owns its bytes;
// the pieces are positions in them.
#ifndef VZ_SRC_OUTPUTS_LETTER_TEMPLATE_H_
#define VZ_SRC_OUTPUTS_LETTER_TEMPLATE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vz::outputs {

// kDocx and kOdt templates are zip packages (letter_package.h): the parser
// reads their main XML part, as it reads a flat ODF document.
enum class LetterFormat { kRtf, kHtml, kText, kFlatOdf, kDocx, kOdt };

// By the file name's extension, without regard to ASCII case: ".rtf", ".htm",
// ".html", ".txt", ".fodt", ".docx", ".odt"; nullopt for any other.
std::optional<LetterFormat> LetterFormatOf(std::string_view file_name);

// True when a template name would reach outside the data directory: an
// absolute name (a leading "/" or "\"), a drive or other prefix "X:" (any
// character, then a colon), a name holding ".." or a path separator ("/" or
// "\"). The empty name is not refused: it names no template.
bool IsRefusedTemplateName(std::string_view name);

inline constexpr size_t kMaxKeywordLength = 7;

struct TemplatePiece {
  bool keyword = false;  // a "#keyword" field; otherwise literal text
  size_t offset = 0;     // where the piece starts in the template, "#" included
  size_t length = 0;     // its bytes, "#" included
};

class LetterTemplate {
 public:
  LetterTemplate() = default;
  LetterTemplate(std::string bytes, LetterFormat format);

  LetterFormat format() const { return format_; }
  std::string_view bytes() const { return bytes_; }
  const std::vector<TemplatePiece>& pieces() const { return pieces_; }

  // The piece as written in the template.
  std::string_view Text(const TemplatePiece& piece) const {
    return std::string_view(bytes_).substr(piece.offset, piece.length);
  }
  // A keyword piece's keyword, without its "#".
  std::string_view Keyword(const TemplatePiece& piece) const { return Text(piece).substr(1); }
  // True when a value can replace the keyword piece: its keyword starts with
  // a letter, a digit or "_".
  bool NamesValue(const TemplatePiece& piece) const;
  // HTML: the deepest nesting of tables ("<table" tags not yet closed by
  // "</table"), counted on markup only; 0 for the other formats.
  size_t deepest_tables() const { return deepest_tables_; }

 private:
  std::string bytes_;
  LetterFormat format_ = LetterFormat::kText;
  std::vector<TemplatePiece> pieces_;
  size_t deepest_tables_ = 0;
};

// The cost of laying a letter out on pages (the HTML and text letters of the
// letters PDF) is bounded: the time to lay out nested tables grows
// exponentially with their depth (20 levels take tens of seconds per letter),
// and the time for any letter with its size. A template beyond either limit
// is refused before any letter is made.
inline constexpr size_t kMaxTableNesting = 8;
inline constexpr size_t kMaxLaidOutBytes = 2 * 1024 * 1024;

// Why `parsed` may not be laid out (a French message, UTF-8, ending with "no
// letter is made"), or "" when it may. RTF and flat ODF letters are never
// laid out by the program: always "".
std::string LayoutCostRefusal(const LetterTemplate& parsed);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTER_TEMPLATE_H_
