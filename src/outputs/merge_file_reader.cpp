// Reading a merge file back (merge_file_reader.h).
#include "src/outputs/merge_file_reader.h"

#include <algorithm>
#include <utility>

#include "platform/os/whole_file.h"
#include "src/util/text_lines.h"

namespace vz::outputs {
namespace {

constexpr size_t kLengthDigits = 4;
constexpr size_t kColumnGroup = 8;  // code (5), width (2), TAB
constexpr size_t kCodeWidth = 5;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
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
  if (!ParseHeader(util::TakeLine(rest), contents.codes)) {
    contents.codes.clear();
    contents.malformed = true;
    return contents;
  }
  contents.client_lines = rest;
  contents.line_count = static_cast<size_t>(std::count(rest.begin(), rest.end(), '\n'));
  if (!rest.empty() && rest.back() != '\n') ++contents.line_count;  // the last has no end
  return contents;
}

void TakeMergeLine(std::string_view& client_lines, size_t columns,
                   std::vector<std::string_view>& values) {
  std::string_view line = util::TakeLine(client_lines);
  values.clear();
  while (values.size() < columns && !line.empty()) {
    const size_t tab = line.find('\t');
    values.push_back(line.substr(0, tab));
    line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
  }
  values.resize(columns);
}

MergeFileContents ReadMergeFile(const std::string& path) {
  auto bytes = std::make_shared<std::string>();
  if (!os::ReadWholeFile(path, bytes.get())) return {};
  MergeFileContents contents = ParseMergeFile(*bytes);
  contents.bytes = std::move(bytes);
  return contents;
}

}  // namespace vz::outputs
