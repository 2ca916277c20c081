// The gathered document of a pass of letters (gathered_document.h).
#include "src/outputs/gathered_document.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vz::outputs {
namespace {

constexpr std::string_view kOdfBreakStyle =
    "<style:style style:name=\"LettresSautDePage\" style:family=\"paragraph\">"
    "<style:paragraph-properties fo:break-before=\"page\" fo:margin-top=\"0cm\" "
    "fo:margin-bottom=\"0cm\"/><style:text-properties fo:font-size=\"1pt\"/></style:style>";

// Groups of an RTF head: tables and other destinations before the text.
constexpr std::array<std::string_view, 9> kRtfHeadGroups = {
    "\\fonttbl",   "\\colortbl",          "\\stylesheet", "\\info",    "\\*",
    "\\listtable", "\\listoverridetable", "\\rsidtbl",    "\\pgdsctbl"};

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Where the RTF group opening at `at` closes (after its "}"); npos if never.
size_t GroupEnd(std::string_view rtf, size_t at) {
  int depth = 0;
  for (size_t i = at; i < rtf.size(); ++i) {
    const char c = rtf[i];
    if (c == '\\') {
      ++i;  // an escaped brace or backslash is text
    } else if (c == '{') {
      ++depth;
    } else if (c == '}' && --depth == 0) {
      return i + 1;
    }
  }
  return std::string_view::npos;
}

bool IsHeadGroup(std::string_view group) {
  for (const std::string_view name : kRtfHeadGroups) {
    if (group.substr(1).starts_with(name) &&
        (name == "\\*" || group.size() <= name.size() + 1 || !IsLetter(group[name.size() + 1]))) {
      return true;
    }
  }
  return false;
}

std::optional<BodyBounds> FindRtfBody(std::string_view rtf) {
  const size_t open = rtf.find("{\\rtf");
  if (open == std::string_view::npos) return std::nullopt;
  const size_t close = GroupEnd(rtf, open);
  if (close == std::string_view::npos) return std::nullopt;
  // Without head tables the body starts right after "\rtf1".
  size_t body = open + 5;
  while (body < rtf.size() && rtf[body] >= '0' && rtf[body] <= '9') ++body;
  if (body < rtf.size() && rtf[body] == ' ') ++body;
  size_t i = body;
  while (i < close - 1) {
    const char c = rtf[i];
    if (c == '{') {
      const size_t end = GroupEnd(rtf, i);
      if (end == std::string_view::npos || !IsHeadGroup(rtf.substr(i, end - i))) break;
      i = body = end;
    } else if (c == '\\' && i + 1 < rtf.size() && IsLetter(rtf[i + 1])) {
      size_t j = i + 1;
      while (j < rtf.size() && IsLetter(rtf[j])) ++j;
      const std::string_view word = rtf.substr(i + 1, j - i - 1);
      if (word == "u" || word == "par" || word == "pard" || word == "line" || word == "tab") {
        break;
      }
      if (j < rtf.size() && rtf[j] == '-') ++j;
      while (j < rtf.size() && rtf[j] >= '0' && rtf[j] <= '9') ++j;
      if (j < rtf.size() && rtf[j] == ' ') ++j;
      i = j;
    } else if (c == '\r' || c == '\n') {
      ++i;
    } else {
      break;  // text, or a control symbol: the body has begun
    }
  }
  return BodyBounds{body, close - 1};
}

// Where the element opening at `at` ends (after "/>" or its closing tag).
size_t ElementEnd(std::string_view xml, size_t at) {
  const size_t name_end = xml.find_first_of(" \t\r\n/>", at + 1);
  if (name_end == std::string_view::npos) return std::string_view::npos;
  const size_t tag_end = xml.find('>', at);
  if (tag_end == std::string_view::npos) return tag_end;
  if (xml[tag_end - 1] == '/') return tag_end + 1;
  const std::string closing = "</" + std::string(xml.substr(at + 1, name_end - at - 1)) + ">";
  const size_t close = xml.find(closing, tag_end);
  return close == std::string_view::npos ? close : close + closing.size();
}

std::optional<BodyBounds> FindXmlBody(std::string_view xml, std::string_view open_tag,
                                      std::string_view close_tag, bool odf) {
  const size_t open = xml.find(open_tag);
  const size_t close = xml.rfind(close_tag);
  if (open == std::string_view::npos || close == std::string_view::npos) return std::nullopt;
  const size_t after = xml.find('>', open);
  if (after == std::string_view::npos || after > close || xml[after - 1] == '/') {
    return std::nullopt;
  }
  BodyBounds bounds{after + 1, close};
  if (odf) {
    // The declarations that open <office:text> stay with the first letter.
    static constexpr std::array<std::string_view, 7> kDeclarations = {
        "<text:sequence-decls",       "<text:variable-decls", "<text:user-field-decls",
        "<text:dde-connection-decls", "<office:forms",        "<table:calculation-settings",
        "<text:tracked-changes"};
    for (;;) {
      while (bounds.begin < close &&
             std::string_view(" \t\r\n").find(xml[bounds.begin]) != std::string_view::npos) {
        ++bounds.begin;
      }
      bool skipped = false;
      for (const std::string_view declaration : kDeclarations) {
        if (xml.substr(bounds.begin).starts_with(declaration)) {
          const size_t end = ElementEnd(xml, bounds.begin);
          if (end == std::string_view::npos || end > close) return std::nullopt;
          bounds.begin = end;
          skipped = true;
        }
      }
      if (!skipped) break;
    }
  } else {
    // Word: the section properties of the body stay once, at the end.
    const size_t section = xml.rfind("<w:sectPr", close);
    if (section != std::string_view::npos && section > bounds.begin &&
        xml.substr(section, close - section).find("</w:p>") == std::string_view::npos) {
      bounds.end = section;
    }
  }
  return bounds;
}

// The first letter's head with the page break style among its automatic styles.
std::string OdfHeadWithBreakStyle(std::string_view head) {
  std::string out(head);
  const size_t empty = out.find("<office:automatic-styles/>");
  if (empty != std::string::npos) {
    out.replace(
        empty, std::string_view("<office:automatic-styles/>").size(),
        "<office:automatic-styles>" + std::string(kOdfBreakStyle) + "</office:automatic-styles>");
    return out;
  }
  const size_t styles = out.find("<office:automatic-styles");
  const size_t styles_end = styles == std::string::npos ? styles : out.find('>', styles);
  if (styles_end != std::string::npos) {
    out.insert(styles_end + 1, kOdfBreakStyle);
    return out;
  }
  const size_t body = out.find("<office:body");
  if (body == std::string::npos) return out;
  out.insert(body, "<office:automatic-styles>" + std::string(kOdfBreakStyle) +
                       "</office:automatic-styles>");
  return out;
}

constexpr std::string_view kDrawingTag = "<wp:docPr";

// Where the value of the attribute `id` of the drawing tag opening at `tag`
// starts and ends, read attribute by attribute; false when it has none.
bool IdValueOf(std::string_view xml, size_t tag, size_t* begin, size_t* end) {
  size_t at = tag + kDrawingTag.size();
  if (at >= xml.size() || std::string_view(" \t\r\n").find(xml[at]) == std::string_view::npos) {
    return false;  // another element whose name begins the same
  }
  while (at < xml.size()) {
    at = xml.find_first_not_of(" \t\r\n", at);
    if (at == std::string_view::npos || xml[at] == '/' || xml[at] == '>') return false;
    const size_t equals = xml.find('=', at);
    if (equals == std::string_view::npos || equals + 1 >= xml.size()) return false;
    const char quote = xml[equals + 1];
    if (quote != '"' && quote != '\'') return false;
    const size_t value_end = xml.find(quote, equals + 2);
    if (value_end == std::string_view::npos) return false;
    if (xml.substr(at, equals - at) == "id") {
      *begin = equals + 2;
      *end = value_end;
      return true;
    }
    at = value_end + 1;
  }
  return false;
}

uint32_t DrawingIdNumber(std::string_view value) {
  uint32_t number = 0;
  for (const char c : value) {
    if (c < '0' || c > '9' || number > 100000000) return 0;
    number = number * 10 + static_cast<uint32_t>(c - '0');
  }
  return number;
}

// The largest drawing id ("<wp:docPr ... id=") of a Word part, 0 when none.
uint32_t LargestDrawingId(std::string_view xml) {
  uint32_t largest = 0;
  for (size_t at = xml.find(kDrawingTag); at != std::string_view::npos;
       at = xml.find(kDrawingTag, at + 1)) {
    size_t begin = 0;
    size_t end = 0;
    if (IdValueOf(xml, at, &begin, &end)) {
      largest = std::max(largest, DrawingIdNumber(xml.substr(begin, end - begin)));
    }
  }
  return largest;
}

// Word wants every drawing of a document to have its own id: the drawings of
// a letter after the first take the next numbers of the gathered document.
std::string WithDrawingIdsFrom(std::string_view body, uint32_t* next_id) {
  std::string out;
  size_t copied = 0;
  for (size_t at = body.find(kDrawingTag); at != std::string_view::npos;
       at = body.find(kDrawingTag, at + 1)) {
    size_t begin = 0;
    size_t end = 0;
    if (!IdValueOf(body, at, &begin, &end)) continue;
    out.append(body.substr(copied, begin - copied));
    out.append(std::to_string(++*next_id));
    copied = end;
  }
  out.append(body.substr(copied));
  return out;
}

}  // namespace

bool HasGatheredDocument(LetterFormat format) {
  return format == LetterFormat::kRtf || format == LetterFormat::kFlatOdf ||
         format == LetterFormat::kOdt || format == LetterFormat::kDocx;
}

std::optional<BodyBounds> FindBody(std::string_view letter, LetterFormat format) {
  switch (format) {
    case LetterFormat::kRtf:
      return FindRtfBody(letter);
    case LetterFormat::kFlatOdf:
    case LetterFormat::kOdt:
      return FindXmlBody(letter, "<office:text", "</office:text>", true);
    case LetterFormat::kDocx:
      return FindXmlBody(letter, "<w:body", "</w:body>", false);
    case LetterFormat::kHtml:
    case LetterFormat::kText:
      break;
  }
  return std::nullopt;
}

std::string_view PageBreak(LetterFormat format) {
  switch (format) {
    case LetterFormat::kRtf:
      return "\r\n\\page\r\n";
    case LetterFormat::kFlatOdf:
    case LetterFormat::kOdt:
      return "<text:p text:style-name=\"LettresSautDePage\"/>";
    case LetterFormat::kDocx:
      return "<w:p><w:pPr><w:spacing w:before=\"0\" w:after=\"0\"/><w:rPr><w:sz w:val=\"2\"/>"
             "</w:rPr></w:pPr><w:r><w:br w:type=\"page\"/></w:r></w:p>";
    case LetterFormat::kHtml:
    case LetterFormat::kText:
      break;
  }
  return {};
}

GatheredDocument::GatheredDocument(std::string path, LetterFormat format)
    : path_(std::move(path)), format_(format) {}

bool GatheredDocument::Add(std::string_view letter) {
  if (cut_failed_ || write_failed_) return false;
  const std::optional<BodyBounds> body = FindBody(letter, format_);
  if (!body) {
    cut_failed_ = true;
    return false;
  }
  if (letters_ == 0) {
    out_.open(path_, std::ios::binary | std::ios::trunc);
    const std::string_view head = letter.substr(0, body->begin);
    if (format_ == LetterFormat::kFlatOdf || format_ == LetterFormat::kOdt) {
      out_ << OdfHeadWithBreakStyle(head);
    } else {
      out_ << head;
    }
    tail_ = std::string(letter.substr(body->end));
    if (format_ == LetterFormat::kDocx) last_drawing_id_ = LargestDrawingId(letter);
  } else {
    out_ << PageBreak(format_);
  }
  const std::string_view text = letter.substr(body->begin, body->end - body->begin);
  if (letters_ > 0 && format_ == LetterFormat::kDocx &&
      text.find(kDrawingTag) != std::string_view::npos) {
    out_ << WithDrawingIdsFrom(text, &last_drawing_id_);
  } else {
    out_ << text;
  }
  ++letters_;
  if (!out_) write_failed_ = true;
  return !write_failed_;
}

bool GatheredDocument::Finish() {
  if (letters_ == 0 || cut_failed_ || write_failed_) return !write_failed_;
  out_ << tail_;
  out_.close();
  if (!out_) write_failed_ = true;
  return !write_failed_;
}

}  // namespace vz::outputs
