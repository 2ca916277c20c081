// A file written under a temporary name beside its final one ("<final>.tmp")
// and renamed over the final name only when Commit() succeeds, so that an
// interrupted run never leaves a half-written file under the final name.
//
// Destroying a file that was not committed removes its temporary file. A
// write or a commit that fails removes both the temporary file and any earlier
// file under the final name (a stale file must not pass for the new one), and
// Commit() returns false. An empty final path opens nothing (ok() is false;
// Commit() returns false). Writes are buffered; one object owns its file.
#ifndef VZ_SRC_UTIL_REPLACING_FILE_H_
#define VZ_SRC_UTIL_REPLACING_FILE_H_

#include <cstdio>
#include <string>
#include <string_view>

namespace vz::util {

inline constexpr std::string_view kTemporarySuffix = ".tmp";

class ReplacingFile {
 public:
  explicit ReplacingFile(std::string final_path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool ok() const { return file_ != nullptr && !failed_; }
  // Appends bytes; a short write marks the file failed.
  void Put(std::string_view bytes);
  // Closes the file and renames it to the final name. False on any failure.
  bool Commit();

 private:
  void Discard();

  std::string final_path_;
  std::string temporary_path_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_REPLACING_FILE_H_
