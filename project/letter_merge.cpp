#include "project/letter_merge.h"

#include <QByteArrayView>
#include <algorithm>
#include <charconv>
#include <utility>

#include "platform/os/ascii_case.h"
#include "platform/os/cp1252.h"

namespace vz::project {
namespace {

// True when `out` ends with an RTF control word that has no delimiter yet
// ("\b", "\fs24", "\li-360").
bool EndsInControlWord(const std::string& out) {
  size_t k = out.size();
  while (k > 0 && os::IsAsciiDigit(out[k - 1])) --k;
  if (k < out.size() && k > 0 && out[k - 1] == '-') --k;
  const size_t letters_end = k;
  while (k > 0 && os::IsAsciiLetter(out[k - 1])) --k;
  if (k == letters_end || k == 0 || out[k - 1] != '\\') return false;
  size_t backslashes = 0;
  for (size_t j = k; j > 0 && out[j - 1] == '\\'; --j) ++backslashes;
  return backslashes % 2 == 1;
}

void AppendHex(std::string& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out.push_back(kDigits[byte >> 4]);
  out.push_back(kDigits[byte & 0x0F]);
}

// Calls `line_break` for "\r\n", "\r" or "\n", `each` for any other byte.
template <typename LineBreak, typename Each>
void WalkValue(std::string_view value, LineBreak line_break, Each each) {
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
      line_break();
    } else {
      each(static_cast<unsigned char>(c));
    }
  }
}

void AppendRtf(std::string& out, std::string_view value) {
  if (value.empty()) return;
  if (EndsInControlWord(out)) out.push_back(' ');
  WalkValue(
      value, [&] { out.append("\\line "); },
      [&](unsigned char c) {
        if (c == '\\' || c == '{' || c == '}') {
          out.push_back('\\');
          out.push_back(static_cast<char>(c));
        } else if (c == '\t') {
          out.append("\\tab ");
        } else if (c >= 0x80) {
          out.append("\\'");
          AppendHex(out, c);
        } else if (c >= 0x20) {
          out.push_back(static_cast<char>(c));
        }
      });
}

// How an XML or HTML document writes a line break and a TAB in its text.
struct MarkupBreaks {
  std::string_view line;
  std::string_view tab;
};
constexpr MarkupBreaks kHtmlBreaks = {"<br>", "\t"};
constexpr MarkupBreaks kOdfBreaks = {"<text:line-break/>", "<text:tab/>"};
// Word's text is in <w:t> elements: a break closes the text and opens it again.
constexpr MarkupBreaks kWordBreaks = {"</w:t><w:br/><w:t xml:space=\"preserve\">",
                                      "</w:t><w:tab/><w:t xml:space=\"preserve\">"};

void AppendMarkup(std::string& out, std::string_view value, bool utf8, MarkupBreaks breaks) {
  WalkValue(
      value, [&] { out.append(breaks.line); },
      [&](unsigned char c) {
        switch (c) {
          case '&':
            out.append("&amp;");
            return;
          case '<':
            out.append("&lt;");
            return;
          case '>':
            out.append("&gt;");
            return;
          case '"':
            out.append("&quot;");
            return;
          case '\'':
            out.append("&#39;");
            return;
          case '\t':
            out.append(breaks.tab);
            return;
          default:
            break;
        }
        if (c < 0x20 || c == 0x7F) return;  // no place in a document's text
        if (c < 0x80) {
          out.push_back(static_cast<char>(c));
        } else if (utf8) {
          const char byte = static_cast<char>(c);
          out.append(os::Utf8(std::string_view(&byte, 1)));
        } else {
          char digits[8];
          const auto written = std::to_chars(digits, digits + sizeof digits,
                                             static_cast<uint32_t>(os::Cp1252ToCodePoint(c)));
          out.append("&#").append(digits, written.ptr).push_back(';');
        }
      });
}

void AppendText(std::string& out, std::string_view value, bool utf8) {
  if (utf8) {
    out.append(os::Utf8(value));
  } else {
    out.append(value);
  }
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         os::EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// The length of the line break that starts `text` in the format ("\n",
// "<br>", "\par"), 0 when it starts with none.
size_t LineBreakAt(std::string_view text, LetterFormat format) {
  switch (format) {
    case LetterFormat::kText:
      if (text.starts_with("\r\n")) return 2;
      return !text.empty() && (text[0] == '\n' || text[0] == '\r') ? 1 : 0;
    case LetterFormat::kHtml: {
      if (!StartsWithIgnoringCase(text, "<br") || text.size() < 4) return 0;
      if (text[3] != '>' && text[3] != '/' && !IsBlank(text[3])) return 0;
      const size_t close = text.find('>');
      return close == std::string_view::npos ? 0 : close + 1;
    }
    case LetterFormat::kRtf: {
      if (!text.starts_with("\\par") || (text.size() > 4 && os::IsAsciiLetter(text[4]))) return 0;
      return text.size() > 4 && text[4] == ' ' ? 5 : 4;
    }
    case LetterFormat::kFlatOdf:
    case LetterFormat::kOdt:
    case LetterFormat::kDocx:
      return 0;  // a paragraph, not a break: kept
  }
  return 0;
}

// Where the line being written in `out` starts, when it holds only blanks
// since a line break; npos otherwise (text on the line, or no break before).
size_t BlankLineStart(const std::string& out, LetterFormat format) {
  size_t start = out.size();
  while (start > 0 && IsBlank(out[start - 1]) &&
         !(format == LetterFormat::kText && (out[start - 1] == '\n' || out[start - 1] == '\r'))) {
    --start;
  }
  for (size_t back = 1; back <= 8 && back <= start; ++back) {
    const size_t at = start - back;
    if (LineBreakAt(std::string_view(out).substr(at, start - at), format) == back) return start;
  }
  return std::string::npos;
}

// An address line of the address block, whose empty value leaves its line out.
bool IsAddressLine(std::string_view keyword) {
  return keyword.starts_with("0000C");
}

bool IsBlankValue(std::string_view value) {
  return std::all_of(value.begin(), value.end(), [](char c) { return c == ' '; });
}

}  // namespace

bool HasPdfCopy(LetterFormat format) {
  return format == LetterFormat::kHtml || format == LetterFormat::kText;
}

bool IsUtf8WithNonAscii(std::string_view bytes) {
  const bool non_ascii = std::any_of(bytes.begin(), bytes.end(),
                                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  return non_ascii &&
         QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8();
}

LetterMerge::LetterMerge(LetterTemplate parsed)
    : template_(std::move(parsed)),
      utf8_(template_.format() == LetterFormat::kDocx || template_.format() == LetterFormat::kOdt ||
            (template_.format() != LetterFormat::kRtf && IsUtf8WithNonAscii(template_.bytes()))) {}

std::string LetterMerge::Merge(const LetterValues& values) const {
  const std::string_view text = template_.bytes();
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  const std::vector<outputs::TemplatePiece>& pieces = template_.pieces();
  size_t skip = 0;  // bytes of the next literal piece left out with an empty line
  for (size_t i = 0; i < pieces.size(); ++i) {
    const outputs::TemplatePiece& piece = pieces[i];
    const auto found =
        template_.NamesValue(piece) ? values.find(template_.Keyword(piece)) : values.end();
    if (found == values.end()) {
      out.append(template_.Text(piece).substr(std::min(skip, piece.length)));
      skip = 0;
      continue;
    }
    skip = 0;
    if (IsAddressLine(found->first) && IsBlankValue(found->second) && i + 1 < pieces.size() &&
        !pieces[i + 1].keyword) {
      // An address line alone on its line, and empty: the line goes, as on a label.
      const std::string_view next = template_.Text(pieces[i + 1]);
      size_t blanks = 0;
      while (blanks < next.size() && (next[blanks] == ' ' || next[blanks] == '\t')) ++blanks;
      const size_t line_break = LineBreakAt(next.substr(blanks), template_.format());
      const size_t line_start =
          line_break > 0 ? BlankLineStart(out, template_.format()) : std::string::npos;
      if (line_start != std::string::npos) {
        // RTF keeps what ends the control word before the line.
        if (template_.format() != LetterFormat::kRtf) out.resize(line_start);
        skip = blanks + line_break;
        continue;
      }
    }
    switch (template_.format()) {
      case LetterFormat::kRtf:
        AppendRtf(out, found->second);
        break;
      case LetterFormat::kHtml:
        AppendMarkup(out, found->second, utf8_, kHtmlBreaks);
        break;
      case LetterFormat::kFlatOdf:
      case LetterFormat::kOdt:
        AppendMarkup(out, found->second, utf8_, kOdfBreaks);
        break;
      case LetterFormat::kDocx:
        AppendMarkup(out, found->second, utf8_, kWordBreaks);
        break;
      case LetterFormat::kText:
        AppendText(out, found->second, utf8_);
        break;
    }
  }
  return out;
}

std::string MergeLetter(std::string_view template_bytes, LetterFormat format,
                        const LetterValues& values) {
  return LetterMerge(LetterTemplate(std::string(template_bytes), format)).Merge(values);
}

}  // namespace vz::project
