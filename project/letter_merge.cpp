#include "project/letter_merge.h"

#include <array>

#include "platform/os/cp1252.h"

namespace vz::project {
namespace {

constexpr size_t kMaxKeywordLength = 7;

bool IsKeywordCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool StartsWithFolded(std::string_view text, size_t at, std::string_view lower_word) {
  if (text.size() - at < lower_word.size()) return false;
  for (size_t i = 0; i < lower_word.size(); ++i) {
    if (Lower(text[at + i]) != lower_word[i]) return false;
  }
  return true;
}
size_t FindFolded(std::string_view text, size_t from, std::string_view lower_word) {
  for (size_t at = from; at < text.size(); ++at) {
    if (StartsWithFolded(text, at, lower_word)) return at;
  }
  return std::string_view::npos;
}
size_t AfterOrEnd(std::string_view text, size_t from, std::string_view end_mark) {
  const size_t at = text.find(end_mark, from);
  return at == std::string_view::npos ? text.size() : at + end_mark.size();
}

// The index just after the markup that starts with the "<" at `at`; at + 1
// when the "<" is plain text (HTML written loosely: "a < b").
size_t EndOfMarkup(std::string_view text, size_t at, bool html) {
  const size_t next = at + 1;
  if (next >= text.size()) return text.size();
  const char first = text[next];
  if (!IsLetter(first) && first != '/' && first != '!' && first != '?') return next;
  if (text.compare(at, 4, "<!--") == 0) return AfterOrEnd(text, at + 4, "-->");
  if (text.compare(at, 9, "<![CDATA[") == 0) return AfterOrEnd(text, at + 9, "]]>");
  char quote = 0;
  size_t end = text.size();
  for (size_t i = next; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      end = i + 1;
      break;
    }
  }
  // The content of style and script blocks is code, never letter text.
  if (html) {
    for (std::string_view block : {std::string_view("style"), std::string_view("script")}) {
      if (StartsWithFolded(text, next, block) &&
          (next + block.size() >= text.size() || !IsLetter(text[next + block.size()]))) {
        const std::string closing = "</" + std::string(block);
        const size_t close = FindFolded(text, end, closing);
        if (close == std::string_view::npos) return text.size();
        return AfterOrEnd(text, close, ">");
      }
    }
  }
  return end;
}

// True when `out` ends with an RTF control word that has no delimiter yet
// ("\b", "\fs24", "\li-360").
bool EndsInControlWord(const std::string& out) {
  size_t k = out.size();
  while (k > 0 && IsDigit(out[k - 1])) --k;
  if (k < out.size() && k > 0 && out[k - 1] == '-') --k;
  const size_t letters_end = k;
  while (k > 0 && IsLetter(out[k - 1])) --k;
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

void AppendMarkup(std::string& out, std::string_view value, bool utf8, bool odf) {
  WalkValue(
      value, [&] { out.append(odf ? "<text:line-break/>" : "<br>"); },
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
            out.append(odf ? "<text:tab/>" : "\t");
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
          out.append("&#" + std::to_string(static_cast<uint32_t>(os::Cp1252ToCodePoint(c))) + ";");
        }
      });
}

void AppendText(std::string& out, std::string_view value, bool utf8) {
  out.append(utf8 ? os::Utf8(value) : std::string(value));
}

}  // namespace

std::optional<LetterFormat> LetterFormatOf(std::string_view file_name) {
  const size_t dot = file_name.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  std::string extension;
  for (char c : file_name.substr(dot + 1)) extension.push_back(Lower(c));
  if (extension == "rtf") return LetterFormat::kRtf;
  if (extension == "htm" || extension == "html") return LetterFormat::kHtml;
  if (extension == "txt") return LetterFormat::kText;
  if (extension == "fodt") return LetterFormat::kFlatOdf;
  return std::nullopt;
}

bool HasPdfCopy(LetterFormat format) {
  return format == LetterFormat::kHtml || format == LetterFormat::kText;
}

bool IsUtf8WithNonAscii(std::string_view bytes) {
  bool non_ascii = false;
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    non_ascii = true;
    size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (bytes.size() - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += length;
  }
  return non_ascii;
}

std::string MergeLetter(std::string_view text, LetterFormat format, const LetterValues& values) {
  const bool markup = format == LetterFormat::kHtml || format == LetterFormat::kFlatOdf;
  const bool utf8 = format != LetterFormat::kRtf && IsUtf8WithNonAscii(text);
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (markup && c == '<') {
      const size_t end = EndOfMarkup(text, i, format == LetterFormat::kHtml);
      out.append(text.substr(i, end - i));
      i = end;
      continue;
    }
    const bool character_reference = markup && i > 0 && text[i - 1] == '&';
    if (c == '#' && !character_reference) {
      size_t run = 0;
      while (i + 1 + run < text.size() && IsKeywordCharacter(text[i + 1 + run])) ++run;
      const auto found = run >= 1 && run <= kMaxKeywordLength ? values.find(text.substr(i + 1, run))
                                                              : values.end();
      if (found != values.end()) {
        switch (format) {
          case LetterFormat::kRtf:
            AppendRtf(out, found->second);
            break;
          case LetterFormat::kHtml:
            AppendMarkup(out, found->second, utf8, false);
            break;
          case LetterFormat::kFlatOdf:
            AppendMarkup(out, found->second, utf8, true);
            break;
          case LetterFormat::kText:
            AppendText(out, found->second, utf8);
            break;
        }
        i += 1 + run;
        continue;
      }
    }
    out.push_back(c);
    ++i;
  }
  return out;
}

}  // namespace vz::project
