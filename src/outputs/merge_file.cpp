// The merge file (merge_file.h).
#include "src/outputs/merge_file.h"

#include <array>
#include <cstring>

#include "src/selection/merge_io.h"
#include "src/util/number_text.h"

namespace vz::outputs {
namespace {

constexpr size_t kHeaderLengthDigits = 4;
constexpr int kHeaderPerColumn = 8;  // code, two digits, TAB

}  // namespace

std::string MergeFilePath(std::string_view query_code) {
  std::string path = selection::SelectionFilePath(query_code);
  if (path.empty()) return path;
  path.resize(path.size() - selection::kSelectionExtension.size());
  path += kMergeExtension;
  return path;
}

std::string MergeFileHeader(const ColumnTables& columns) {
  int data_width = 0;
  for (int i = 0; i < columns.count(); ++i) {
    data_width += static_cast<int>(columns.at(i).value.view().size()) + 1;
  }
  std::string header = util::IntToText(data_width + 2, static_cast<int>(kHeaderLengthDigits));
  for (int i = 0; i < columns.count(); ++i) {
    const Column& column = columns.at(i);
    std::string code(column.code.view());
    code.resize(kColumnCodeWidth, ' ');
    header += code;
    header += util::IntToText(static_cast<int32_t>(column.value.view().size()), 2);
    header += '\t';
  }
  const int filler =
      data_width - kHeaderPerColumn * columns.count() - static_cast<int>(kHeaderLengthDigits);
  if (filler > 0) header.append(static_cast<size_t>(filler), ' ');
  return header;
}

void MergeFileWriter::WriteClient(const ColumnTables& columns) {
  if (!ok()) return;
  if (!header_written_) {
    header_written_ = true;
    file_.Put(MergeFileHeader(columns));
    file_.Put("\r\n");
  }
  // The line is gathered in place and written at once: one buffered write
  // per client instead of two per column.
  std::array<char, kColumnCapacity*(kColumnValueWidth + 1) + 2> line;
  size_t size = 0;
  for (int i = 0; i < columns.count(); ++i) {
    const std::string_view value = columns.at(i).value.view();
    std::memcpy(line.data() + size, value.data(), value.size());
    size += value.size();
    line[size++] = '\t';
  }
  line[size++] = '\r';
  line[size++] = '\n';
  file_.Put(std::string_view(line.data(), size));
}

}  // namespace vz::outputs
