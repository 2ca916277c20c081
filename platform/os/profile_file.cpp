#include "platform/os/profile_file.h"

#include <sys/stat.h>

#include "platform/os/ascii_case.h"
#include "platform/os/whole_file.h"

namespace vz::os {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsNameBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimName(std::string_view s) {
  while (!s.empty() && IsNameBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsNameBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

enum class LineKind { kSection, kKey, kOther };

struct Line {
  size_t begin = 0;        // first byte of the line
  size_t content_end = 0;  // end of the content, before CR LF or LF
  size_t next = 0;         // first byte of the next line
  bool has_newline = false;
  LineKind kind = LineKind::kOther;
  std::string_view name;   // section name or key
  std::string_view value;  // key lines only
  size_t value_begin = 0;  // key lines: first byte after '='
  bool blank = true;       // nothing but blanks
};

Line ClassifyLine(std::string_view text, size_t begin) {
  Line line;
  line.begin = begin;
  const size_t newline = text.find('\n', begin);
  line.has_newline = newline != std::string_view::npos;
  size_t end = line.has_newline ? newline : text.size();
  line.next = line.has_newline ? newline + 1 : text.size();
  if (end > begin && text[end - 1] == '\r') --end;
  line.content_end = end;

  std::string_view content = text.substr(begin, end - begin);
  size_t skipped = 0;
  if (begin == 0 && content.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    skipped = kByteOrderMark.size();
  }
  std::string_view body = content.substr(skipped);
  const std::string_view trimmed = TrimName(body);
  line.blank = trimmed.empty();
  if (trimmed.empty() || trimmed.front() == ';') return line;
  if (trimmed.front() == '[') {
    const size_t close = trimmed.find(']');
    if (close != std::string_view::npos) {
      line.kind = LineKind::kSection;
      line.name = TrimName(trimmed.substr(1, close - 1));
    }
    return line;
  }
  const size_t equals = body.find('=');
  if (equals == std::string_view::npos) return line;
  line.kind = LineKind::kKey;
  line.name = TrimName(body.substr(0, equals));
  line.value = TrimSpaces(body.substr(equals + 1));
  line.value_begin = begin + skipped + equals + 1;
  return line;
}

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    lines.push_back(ClassifyLine(text, pos));
    pos = lines.back().next;
  }
  return lines;
}

// Index of the first section line named `section`, or lines.size().
size_t FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == LineKind::kSection && EqualsIgnoringAsciiCase(lines[i].name, section))
      return i;
  }
  return lines.size();
}

std::string_view LineEnding(std::string_view text) {
  const size_t newline = text.find('\n');
  if (newline == std::string_view::npos) return "\r\n";
  return (newline > 0 && text[newline - 1] == '\r') ? "\r\n" : "\n";
}

bool HasAny(std::string_view s, std::string_view chars) {
  return s.find_first_of(chars) != std::string_view::npos;
}

constexpr std::string_view kLineBreaks("\r\n\0", 3);

}  // namespace

std::vector<ProfileEntry> ParseProfileSection(std::string_view text, std::string_view section) {
  std::vector<ProfileEntry> entries;
  const std::vector<Line> lines = SplitLines(text);
  const std::string_view wanted = TrimName(section);
  for (size_t i = FindSection(lines, wanted) + 1; i < lines.size(); ++i) {
    if (lines[i].kind == LineKind::kSection) break;
    if (lines[i].kind == LineKind::kKey) {
      entries.push_back({std::string(lines[i].name), std::string(lines[i].value)});
    }
  }
  return entries;
}

bool IsWritableProfileEntry(std::string_view section, std::string_view key,
                            std::string_view value) {
  const std::string_view s = TrimName(section);
  const std::string_view k = TrimName(key);
  if (s.empty() || k.empty()) return false;
  if (HasAny(section, kLineBreaks) || HasAny(key, kLineBreaks)) return false;
  if (HasAny(s, "]") || HasAny(k, "=") || k.front() == '[' || k.front() == ';') return false;
  return !HasAny(value, "\r\n");
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  const std::string_view wanted_section = TrimName(section);
  const std::string_view wanted_key = TrimName(key);
  const std::string_view eol = LineEnding(text);
  const std::vector<Line> lines = SplitLines(text);
  std::string out;
  out.reserve(text.size() + key.size() + value.size() + section.size() + 8);

  const size_t start = FindSection(lines, wanted_section);
  if (start == lines.size()) {
    out.append(text);
    if (!out.empty() && out.back() != '\n') out.append(eol);
    out.append("[").append(wanted_section).append("]").append(eol);
    out.append(wanted_key).append("=").append(value).append(eol);
    return out;
  }

  size_t last_filled = start;
  for (size_t i = start + 1; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.kind == LineKind::kSection) break;
    if (line.kind == LineKind::kKey && EqualsIgnoringAsciiCase(line.name, wanted_key)) {
      // Keep the line up to its '=' and its line end; replace the value.
      out.append(text.substr(0, line.value_begin));
      out.append(value);
      out.append(text.substr(line.content_end));
      return out;
    }
    if (!line.blank) last_filled = i;
  }
  const Line& after = lines[last_filled];
  out.append(text.substr(0, after.next));
  if (!after.has_newline) out.append(eol);
  out.append(wanted_key).append("=").append(value).append(eol);
  out.append(text.substr(after.next));
  return out;
}

std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key) {
  const std::string_view wanted = TrimName(key);
  for (ProfileEntry& entry : ParseProfileSection(text, section)) {
    if (EqualsIgnoringAsciiCase(entry.key, wanted)) return std::move(entry.value);
  }
  return {};
}

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key) {
  std::string text;
  if (!ReadWholeFile(path, &text)) return {};
  return ProfileValue(text, section, key);
}

std::vector<ProfileEntry> ReadProfileSection(const std::string& path, std::string_view section) {
  std::string text;
  if (!ReadWholeFile(path, &text)) return {};
  return ParseProfileSection(text, section);
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  if (!IsWritableProfileEntry(section, key, value)) return false;
  std::string text;
  if (!ReadWholeFile(path, &text)) {
    // Only a file that is not there may start empty: never overwrite a file
    // (or a directory) that exists but could not be read.
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) return false;
  }
  return ReplaceFileContents(path, SetProfileValue(text, section, key, value));
}

}  // namespace vz::os
