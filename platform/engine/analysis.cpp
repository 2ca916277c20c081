#include "platform/engine/analysis.h"

#include <charconv>
#include <iterator>

#include "platform/os/ascii_case.h"
#include "platform/os/whole_file.h"

namespace vz::engine {
namespace {

std::vector<std::string_view> SplitWords(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// Parses a whole decimal number in [min, max]; anything else fails.
bool ParseNumber(std::string_view text, int min, int max, int* out) {
  if (text.empty() || text.size() > 6) return false;
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  if (value < min || value > max) return false;
  *out = value;
  return true;
}

bool IsPlainWord(std::string_view word) {
  for (char c : word) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\t') || u == 0x7F) return false;
  }
  return true;
}

class Parser {
 public:
  explicit Parser(AnalysisError* error) : error_(error) {}

  std::optional<Analysis> Run(std::string_view text) {
    if (text.size() > kMaxAnalysisBytes) return Fail(0, "analysis file too large");
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (text.find('\0') != std::string_view::npos) return Fail(0, "NUL byte in analysis file");
    int line_number = 0;
    bool seen_header = false;
    std::size_t pos = 0;
    while (pos <= text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(pos, end - pos);
      pos = end + 1;
      ++line_number;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      std::vector<std::string_view> words = SplitWords(line);
      if (words.empty() || words[0][0] == '#') {
        if (end == text.size()) break;
        continue;
      }
      if (!IsPlainWord(line)) return Fail(line_number, "control character in line");
      if (!seen_header) {
        if (words.size() != 2 || words[0] != "VZANALYSIS") {
          return Fail(line_number, "first line must be \"VZANALYSIS 1\"");
        }
        if (words[1] != "1") return Fail(line_number, "unsupported analysis version");
        seen_header = true;
      } else if (words[0] == "FILE") {
        if (!ParseFile(words, line_number)) return std::nullopt;
      } else if (words[0] == "KEY") {
        if (!ParseKey(words, line_number)) return std::nullopt;
      } else {
        return Fail(line_number, "unknown line \"" + std::string(words[0]) + "\"");
      }
      if (end == text.size()) break;
    }
    if (!seen_header) return Fail(0, "no \"VZANALYSIS 1\" line");
    return std::move(analysis_);
  }

 private:
  std::nullopt_t Fail(int line, std::string message) {
    if (error_ != nullptr) {
      error_->line = line;
      error_->message = std::move(message);
    }
    return std::nullopt;
  }

  bool Reject(int line, std::string message) {
    Fail(line, std::move(message));
    return false;
  }

  bool ParseFile(const std::vector<std::string_view>& words, int line) {
    if (words.size() != 4) {
      return Reject(line, "FILE needs a name, a directory and a physical name");
    }
    std::string_view name = words[1];
    if (name.size() > static_cast<std::size_t>(kMaxFileNameLength)) {
      return Reject(line, "file name longer than 8 characters");
    }
    for (char c : name) {
      bool ok =
          (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
      if (!ok) {
        return Reject(line, "file name must be letters, digits or '_'");
      }
    }
    if (analysis_.FindFile(name) != nullptr) {
      return Reject(line, "file " + std::string(name) + " named twice");
    }
    if (!IsValidPhysicalName(words[3])) {
      return Reject(line, "physical name is not a plain file name");
    }
    FileEntry entry;
    entry.name = os::AsciiUpper(name);
    entry.directory = std::string(words[2]);
    entry.physical_name = std::string(words[3]);
    analysis_.files.push_back(std::move(entry));
    return true;
  }

  bool ParseKey(const std::vector<std::string_view>& words, int line) {
    if (analysis_.files.empty()) {
      return Reject(line, "KEY before any FILE");
    }
    FileEntry& file = analysis_.files.back();
    if (words.size() < 3) {
      return Reject(line, "KEY needs a name and at least one component");
    }
    if (file.keys.size() >= static_cast<std::size_t>(kMaxKeysPerFile)) {
      return Reject(line, "too many keys for one file");
    }
    KeyRule rule;
    rule.name = std::string(words[1]);
    if (rule.name.size() > 32 || rule.name.find_first_of(":\"") != std::string::npos) {
      return Reject(line, "bad key name");
    }
    if (file.FindKey(rule.name) >= 0) {
      return Reject(line, "key " + rule.name + " named twice in file " + file.name);
    }
    for (std::size_t i = 2; i < words.size(); ++i) {
      std::string_view word = words[i];
      if (word == "NOPAD") {
        if (rule.no_pad) return Reject(line, "NOPAD written twice");
        rule.no_pad = true;
      } else if (word == "SLOT") {
        if (rule.slot_field != 0) return Reject(line, "SLOT written twice");
        if (i + 1 >= words.size() ||
            !ParseNumber(words[i + 1], 1, kMaxFieldNumber, &rule.slot_field)) {
          return Reject(line, "SLOT needs a field number");
        }
        ++i;
      } else {
        if (rule.no_pad || rule.slot_field != 0) {
          return Reject(line, "components must come before SLOT and NOPAD");
        }
        std::size_t colon = word.find(':');
        KeyComponent component;
        if (colon == std::string_view::npos ||
            !ParseNumber(word.substr(0, colon), 1, kMaxFieldNumber, &component.field) ||
            !ParseNumber(word.substr(colon + 1), 0, kMaxComponentWidth, &component.width)) {
          return Reject(line, "bad component \"" + std::string(word) + "\" (field:width)");
        }
        if (rule.components.size() >= static_cast<std::size_t>(kMaxComponentsPerKey)) {
          return Reject(line, "too many components");
        }
        rule.components.push_back(component);
      }
    }
    if (rule.components.empty()) return Reject(line, "KEY without components");
    for (const KeyComponent& c : rule.components) {
      if (c.field == rule.slot_field) {
        return Reject(line, "SLOT field is also a key component");
      }
    }
    file.keys.push_back(std::move(rule));
    return true;
  }

  AnalysisError* error_;
  Analysis analysis_;
};

}  // namespace

std::string Numbered(std::string_view prefix, long long number) {
  std::string text(prefix);
  text += std::to_string(number);
  return text;
}

std::string KeyRule::Signature() const {
  std::string text = os::AsciiUpper(name);
  for (const KeyComponent& c : components) {
    text += ' ';
    text += std::to_string(c.field);
    text += ':';
    text += std::to_string(c.width);
  }
  if (slot_field != 0) text += Numbered(" SLOT ", slot_field);
  if (no_pad) text += " NOPAD";
  return text;
}

int FileEntry::FindKey(std::string_view key_name) const {
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (os::EqualsIgnoringAsciiCase(keys[i].name, key_name)) return static_cast<int>(i);
  }
  return -1;
}

const FileEntry* Analysis::FindFile(std::string_view name) const {
  for (const FileEntry& file : files) {
    if (os::EqualsIgnoringAsciiCase(file.name, name)) return &file;
  }
  return nullptr;
}

bool IsValidPhysicalName(std::string_view name) {
  if (name.empty() || name.size() > 64 || name == "." || name == "..") return false;
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':' || c == '"') return false;
  }
  return true;
}

std::optional<Analysis> ParseAnalysis(std::string_view text, AnalysisError* error) {
  return Parser(error).Run(text);
}

std::optional<Analysis> LoadAnalysis(const std::string& path, AnalysisError* error) {
  // Read without waiting: a pipe or a device in place of the analysis file is
  // refused at once instead of holding start-up.
  std::string text;
  if (!os::ReadWholeFile(path, &text)) {
    if (error != nullptr) {
      *error =
          AnalysisError{0, "cannot open " + path + " (missing, unreadable or not a regular file)"};
    }
    return std::nullopt;
  }
  if (text.size() > kMaxAnalysisBytes + 1) text.resize(kMaxAnalysisBytes + 1);
  return ParseAnalysis(text, error);
}

}  // namespace vz::engine
