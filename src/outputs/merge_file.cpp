// The merge file (merge_file.h).
#include "src/outputs/merge_file.h"

#include <array>
#include <utility>

#include "src/selection/merge_io.h"
#include "src/util/number_text.h"

namespace vz::outputs {
namespace {

constexpr size_t kStreamBuffer = 1 << 16;
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

MergeFileWriter::MergeFileWriter(std::string final_path) : final_path_(std::move(final_path)) {
  if (final_path_.empty()) return;
  temporary_path_ = final_path_ + std::string(selection::kTemporarySuffix);
  file_ = std::fopen(temporary_path_.c_str(), "wb");
  if (file_) std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
}

MergeFileWriter::~MergeFileWriter() {
  if (file_) Discard();
}

void MergeFileWriter::Put(std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
}

void MergeFileWriter::WriteClient(const ColumnTables& columns) {
  if (!ok()) return;
  if (!header_written_) {
    header_written_ = true;
    Put(MergeFileHeader(columns));
    Put("\r\n");
  }
  for (int i = 0; i < columns.count(); ++i) {
    Put(columns.at(i).value.view());
    Put("\t");
  }
  Put("\r\n");
}

bool MergeFileWriter::Commit() {
  if (!file_) {
    if (!final_path_.empty()) std::remove(final_path_.c_str());
    return false;
  }
  const bool written = !failed_ && std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (written && closed && std::rename(temporary_path_.c_str(), final_path_.c_str()) == 0) {
    return true;
  }
  std::remove(temporary_path_.c_str());
  std::remove(final_path_.c_str());
  return false;
}

void MergeFileWriter::Discard() {
  std::fclose(file_);
  file_ = nullptr;
  std::remove(temporary_path_.c_str());
}

}  // namespace vz::outputs
