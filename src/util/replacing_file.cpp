// Files replaced whole through a temporary name (replacing_file.h).
#include "src/util/replacing_file.h"

#include <utility>

namespace vz::util {
namespace {

constexpr size_t kStreamBuffer = 1 << 16;

}  // namespace

ReplacingFile::ReplacingFile(std::string final_path) : final_path_(std::move(final_path)) {
  if (final_path_.empty()) return;
  temporary_path_ = final_path_ + std::string(kTemporarySuffix);
  file_ = std::fopen(temporary_path_.c_str(), "wb");
  if (file_) std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
}

ReplacingFile::~ReplacingFile() {
  if (file_) Discard();
}

void ReplacingFile::Put(std::string_view bytes) {
  if (!ok()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
}

bool ReplacingFile::Commit() {
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

void ReplacingFile::Discard() {
  std::fclose(file_);
  file_ = nullptr;
  std::remove(temporary_path_.c_str());
}

}  // namespace vz::util
