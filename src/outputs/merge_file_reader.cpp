// Reading a merge file back (merge_file_reader.h).
#include "src/outputs/merge_file_reader.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace vz::outputs {
namespace {

constexpr size_t kLengthDigits = 4;
constexpr size_t kColumnGroup = 8;  // code (5), width (2), TAB
constexpr size_t kCodeWidth = 5;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view NextLine(std::string_view& rest) {
  const size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool ParseHeader(std::string_view header, std::vector<std::string>& codes) {
  if (header.size() < kLengthDigits) return false;
  for (size_t i = 0; i < kLengthDigits; ++i) {
    if (!IsDigit(header[i])) return false;
  }
  std::string_view groups = header.substr(kLengthDigits);
  while (!groups.empty() && groups.front() != ' ') {
    if (groups.size() < kColumnGroup || groups[kColumnGroup - 1] != '\t' ||
        !IsDigit(groups[kCodeWidth]) || !IsDigit(groups[kCodeWidth + 1])) {
      return false;
    }
    std::string code(groups.substr(0, kCodeWidth));
    while (!code.empty() && code.back() == ' ') code.pop_back();
    codes.push_back(std::move(code));
    groups.remove_prefix(kColumnGroup);
  }
  return groups.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

MergeFileContents ParseMergeFile(std::string_view bytes) {
  MergeFileContents contents;
  contents.readable = true;
  if (bytes.empty()) return contents;
  std::string_view rest = bytes;
  if (!ParseHeader(NextLine(rest), contents.codes)) {
    contents.codes.clear();
    contents.malformed = true;
    return contents;
  }
  const size_t columns = contents.codes.size();
  while (!rest.empty()) {
    std::string_view line = NextLine(rest);
    std::vector<std::string> values;
    values.reserve(columns);
    while (values.size() < columns && !line.empty()) {
      const size_t tab = line.find('\t');
      values.emplace_back(line.substr(0, tab));
      line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
    }
    values.resize(columns);
    contents.lines.push_back(std::move(values));
  }
  return contents;
}

MergeFileContents ReadMergeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::ostringstream bytes;
  bytes << file.rdbuf();
  if (file.bad()) return {};
  return ParseMergeFile(bytes.view());
}

}  // namespace vz::outputs
