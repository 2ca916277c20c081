#include "platform/runtime/text_encoding.h"

#include "platform/os/accents.h"

namespace vz::runtime {

std::string FoldName(std::string_view cp1252) {
  std::string out(cp1252.size(), ' ');
  for (size_t i = 0; i < cp1252.size(); ++i) out[i] = os::UpperPlainLetter(cp1252[i]);
  return out;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (os::UpperPlainLetter(a[i]) != os::UpperPlainLetter(b[i])) return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  // A plain loop: this runs on every name of every command.
  size_t first = 0;
  while (first < text.size() && (text[first] == ' ' || text[first] == '\t')) ++first;
  if (first == text.size()) return {};
  size_t last = text.size() - 1;
  while (text[last] == ' ' || text[last] == '\t') --last;
  return text.substr(first, last - first + 1);
}

}  // namespace vz::runtime
