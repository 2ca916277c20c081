// Case of the ASCII letters A-Z and a-z, for names of this system: file and
// key names, command verbs, file extensions, profile sections.
//
// Only the 26 ASCII letters change case; every other byte (digits, signs,
// cp1252 accented letters 0x80-0xFF) is kept as it is, whatever the locale.
// The cp1252-aware rules (accented letters upper-cased or folded to their
// plain letter) are another rule: platform/os/cp1252_letters.h.
//
// Pure functions, nothing owned, nothing fails.
#ifndef VZ_PLATFORM_OS_ASCII_CASE_H_
#define VZ_PLATFORM_OS_ASCII_CASE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vz::os {

constexpr bool IsAsciiUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
constexpr bool IsAsciiLower(char c) {
  return c >= 'a' && c <= 'z';
}
constexpr bool IsAsciiLetter(char c) {
  return IsAsciiUpper(c) || IsAsciiLower(c);
}
constexpr bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr char AsciiUpper(char c) {
  return IsAsciiLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char AsciiLower(char c) {
  return IsAsciiUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}
inline std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

constexpr bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

constexpr bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// The first position at or after `from` where `word` stands, without regard
// to ASCII case; npos when there is none.
constexpr size_t FindIgnoringAsciiCase(std::string_view text, std::string_view word,
                                       size_t from = 0) {
  if (word.empty()) return from <= text.size() ? from : std::string_view::npos;
  const char first = AsciiLower(word.front());
  for (size_t at = from; at + word.size() <= text.size(); ++at) {
    if (AsciiLower(text[at]) != first) continue;
    if (EqualsIgnoringAsciiCase(text.substr(at + 1, word.size() - 1), word.substr(1))) return at;
  }
  return std::string_view::npos;
}

}  // namespace vz::os

#endif  // VZ_PLATFORM_OS_ASCII_CASE_H_
