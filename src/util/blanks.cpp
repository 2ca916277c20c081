#include "src/util/blanks.h"

namespace vz::util {
namespace {

bool IsTrimBlank(char c) {
  return c == ' ' || c == '\xFF';
}

std::string_view TrimLeading(std::string_view s) {
  while (!s.empty() && IsTrimBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimTrailing(std::string_view s) {
  while (!s.empty() && IsTrimBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string ReduceRuns(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    out.push_back(s[i]);
    if (i >= 1 && s[i] == ' ') {
      while (i + 1 < s.size() && IsTrimBlank(s[i + 1])) ++i;
    }
  }
  return out;
}

}  // namespace

std::string TrimBlanks(std::string_view text, int mode) {
  switch (mode) {
    case kTrimLeading:
      return std::string(TrimLeading(text));
    case kTrimRuns:
      return ReduceRuns(text);
    case kTrimTrailing:
      return std::string(TrimTrailing(text));
    case kTrimAll:
      return std::string(TrimTrailing(ReduceRuns(TrimLeading(text))));
    default:
      return std::string(text);
  }
}

std::string FitToWidth(std::string_view text, int n) {
  if (n <= 0) return {};
  const size_t width = static_cast<size_t>(n);
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

bool IsBlank(std::string_view text) {
  return TrimBlanks(text, kTrimAll).empty();
}

std::string TrimRightBlanksAndNuls(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  return std::string(text);
}

}  // namespace vz::util
