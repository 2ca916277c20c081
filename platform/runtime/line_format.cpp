#include "platform/runtime/line_format.h"

#include <charconv>

#include "platform/os/cp1252.h"
#include "platform/runtime/text_encoding.h"

namespace vz::runtime {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsAttributeName(std::string_view text) {
  if (text.empty()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool letter = (c >= 'a' && c <= 'z') || c == '_';
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !(digit && i > 0)) return false;
  }
  return true;
}

// Reads a quoted text starting at line[pos] == '"'. On success pos is past the
// closing quote.
bool ReadQuoted(std::string_view line, size_t& pos, std::string& out, std::string& error) {
  ++pos;
  while (pos < line.size()) {
    const char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\') {
      if (pos + 1 >= line.size()) break;
      const char e = line[pos + 1];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case 't':
          out += '\t';
          break;
        case 'n':
          out += '\n';
          break;
        default:
          error = std::string("unknown escape \"\\") + e + "\" in a quoted text";
          return false;
      }
      pos += 2;
      continue;
    }
    out += c;
    ++pos;
  }
  error = "quoted text is not closed";
  return false;
}

}  // namespace

SourceLines SplitSourceLines(std::string_view utf8_content) {
  SourceLines result;
  int number = 0;
  size_t start = 0;
  while (start < utf8_content.size()) {
    size_t end = utf8_content.find('\n', start);
    if (end == std::string_view::npos) end = utf8_content.size();
    std::string_view raw = utf8_content.substr(start, end - start);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    ++number;
    auto converted = os::Cp1252Exactly(raw);
    if (!converted) {
      result.lines.clear();
      result.error = "text is not UTF-8 or holds a character outside code page 1252";
      result.error_line = number;
      return result;
    }
    if (converted->find('\0') != std::string::npos) {
      result.lines.clear();
      result.error = "line holds a NUL byte";
      result.error_line = number;
      return result;
    }
    result.lines.push_back({number, std::move(*converted)});
    start = end + 1;
  }
  return result;
}

TokenizedLine TokenizeLine(std::string_view line) {
  TokenizedLine result;
  size_t pos = 0;
  while (pos < line.size()) {
    if (IsBlank(line[pos])) {
      ++pos;
      continue;
    }
    if (line[pos] == '#') break;
    Word word;
    if (line[pos] == '"') {
      word.quoted = true;
      if (!ReadQuoted(line, pos, word.value, result.error)) return result;
    } else {
      const size_t begin = pos;
      while (pos < line.size() && !IsBlank(line[pos]) && line[pos] != '"') ++pos;
      std::string_view bare = line.substr(begin, pos - begin);
      const size_t eq = bare.find('=');
      const bool attribute = eq != std::string_view::npos && IsAttributeName(bare.substr(0, eq));
      if (pos < line.size() && line[pos] == '"') {
        if (!attribute || eq + 1 != bare.size()) {
          result.error = "a quote may only start a word or follow \"name=\"";
          return result;
        }
        word.key = std::string(bare.substr(0, eq));
        word.quoted = true;
        if (!ReadQuoted(line, pos, word.value, result.error)) return result;
      } else if (attribute) {
        word.key = std::string(bare.substr(0, eq));
        word.value = std::string(bare.substr(eq + 1));
      } else {
        word.value = std::string(bare);
      }
    }
    if (pos < line.size() && !IsBlank(line[pos])) {
      result.error = "a quoted text must be followed by a blank";
      return result;
    }
    result.words.push_back(std::move(word));
  }
  return result;
}

std::string WhereAndWhy(std::string_view file, int line, std::string_view message) {
  return std::string(file) + ":" + std::to_string(line) + ": " + std::string(message);
}

bool ParseWholeNumber(std::string_view text, int& value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') return false;
  auto [ptr, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && ptr == last;
}

}  // namespace vz::runtime
