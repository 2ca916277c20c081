#include "src/outputs/letter_template.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/os/ascii_case.h"

namespace vz::outputs {
namespace {

bool IsKeywordCharacter(char c) {
  return os::IsAsciiLetter(c) || os::IsAsciiDigit(c) || c == '_';
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
  if (!os::IsAsciiLetter(first) && first != '/' && first != '!' && first != '?') return next;
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
      const size_t after_name = next + block.size();
      if (os::StartsWithIgnoringAsciiCase(text.substr(next), block) &&
          (after_name >= text.size() || !os::IsAsciiLetter(text[after_name]))) {
        const std::string closing = "</" + std::string(block);
        const size_t close = os::FindIgnoringAsciiCase(text, closing, end);
        if (close == std::string_view::npos) return text.size();
        return AfterOrEnd(text, close, ">");
      }
    }
  }
  return end;
}

// The end of the keyword that the "#" at `at` starts: the character right
// after it (not a "#", and in markup formats not one that opens markup or a
// character reference), then the run of keyword characters. at + 1 when the
// "#" starts nothing.
size_t EndOfKeyword(std::string_view text, size_t at, bool markup, bool html) {
  size_t end = at + 1;
  if (end >= text.size()) return end;
  const char first = text[end];
  if (first == '#') return end;
  if (markup && (first == '&' || (first == '<' && EndOfMarkup(text, end, html) > end + 1))) {
    return end;
  }
  ++end;
  while (end < text.size() && IsKeywordCharacter(text[end])) ++end;
  return end;
}

// A "<table" tag opens a table, a "</table" tag closes the innermost open one.
void CountTableNesting(std::string_view tag, size_t& open, size_t& deepest) {
  const bool closing = tag.size() > 1 && tag[1] == '/';
  const std::string_view name = tag.substr(closing ? 2 : 1);
  if (!os::StartsWithIgnoringAsciiCase(name, "table") ||
      (name.size() > 5 && (os::IsAsciiLetter(name[5]) || name[5] == '-' || name[5] == ':'))) {
    return;
  }
  if (closing) {
    if (open > 0) --open;
    return;
  }
  deepest = std::max(deepest, ++open);
}

}  // namespace

std::string LayoutCostRefusal(const LetterTemplate& parsed) {
  const bool laid_out =
      parsed.format() == LetterFormat::kHtml || parsed.format() == LetterFormat::kText;
  if (!laid_out) return "";
  if (parsed.bytes().size() > kMaxLaidOutBytes) {
    return "Le modèle de lettre est trop volumineux pour être mis en page (" +
           std::to_string(parsed.bytes().size() / 1024) + " Ko, au plus " +
           std::to_string(kMaxLaidOutBytes / 1024) + " Ko) : aucune lettre n'est produite.";
  }
  if (parsed.deepest_tables() > kMaxTableNesting) {
    return "Le modèle de lettre imbrique " + std::to_string(parsed.deepest_tables()) +
           " tableaux les uns dans les autres (au plus " + std::to_string(kMaxTableNesting) +
           ") : sa mise en page serait trop longue. Aucune lettre n'est produite.";
  }
  return "";
}

std::optional<LetterFormat> LetterFormatOf(std::string_view file_name) {
  const size_t dot = file_name.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string_view extension = file_name.substr(dot + 1);
  const auto is = [extension](std::string_view name) {
    return os::EqualsIgnoringAsciiCase(extension, name);
  };
  if (is("rtf")) return LetterFormat::kRtf;
  if (is("htm") || is("html")) return LetterFormat::kHtml;
  if (is("txt")) return LetterFormat::kText;
  if (is("fodt")) return LetterFormat::kFlatOdf;
  if (is("docx")) return LetterFormat::kDocx;
  if (is("odt")) return LetterFormat::kOdt;
  return std::nullopt;
}

bool IsRefusedTemplateName(std::string_view name) {
  if (name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos) {
    return true;
  }
  if (name.find("..") != std::string_view::npos) return true;
  return name.size() >= 2 && name[1] == ':';
}

LetterTemplate::LetterTemplate(std::string bytes, LetterFormat format)
    : bytes_(std::move(bytes)), format_(format) {
  const std::string_view text = bytes_;
  const bool markup = format != LetterFormat::kRtf && format != LetterFormat::kText;
  const bool html = format == LetterFormat::kHtml;
  size_t literal = 0;  // where the literal text being gathered starts
  size_t open_tables = 0;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (markup && c == '<') {
      const size_t end = EndOfMarkup(text, i, html);
      if (html) CountTableNesting(text.substr(i, end - i), open_tables, deepest_tables_);
      i = end;
      continue;
    }
    if (c != '#' || (markup && i > 0 && text[i - 1] == '&')) {
      ++i;
      continue;
    }
    const size_t end = EndOfKeyword(text, i, markup, html);
    const size_t length = end - (i + 1);
    if (length >= 1 && length <= kMaxKeywordLength) {
      if (i > literal) pieces_.push_back({false, literal, i - literal});
      pieces_.push_back({true, i, end - i});
      literal = end;
    }
    i = end;
  }
  if (text.size() > literal) pieces_.push_back({false, literal, text.size() - literal});
}

bool LetterTemplate::NamesValue(const TemplatePiece& piece) const {
  return piece.keyword && piece.length > 1 && IsKeywordCharacter(bytes_[piece.offset + 1]);
}

}  // namespace vz::outputs
