// The one way the program replaces an output file: the new contents go to a
// temporary file beside the final one, which is renamed over the final name
// only when Commit() succeeds, so that an interrupted or failed write never
// leaves half a file under the final name.
//
// Temporary names are unique to one writer: "<final>.<host>.<pid>.<n>.tmp",
// where <host> is this machine's name (its first label, reduced to letters,
// digits and '-'), <pid> the writing process and <n> a count of the writers
// of that process. The file is created exclusively, so two processes (or two
// workstations sharing a data directory) never write into one temporary file;
// when both replace one final name, each rename puts a whole file there and
// the last one stays. Commit() flushes the file to the disk (fsync) before the
// rename, and the folder after it, so that a crash just after a run leaves the
// new file or the old one, never an empty one.
//
// Failure: a write, flush or rename that fails removes this writer's own
// temporary file and nothing else; the file under the final name (the
// previous output, or another process's newer one) stays whole and Commit()
// returns false: the caller must tell the adviser that the output was not
// replaced. A temporary file that cannot be created makes ok() false and
// Commit() false. An empty final path opens nothing. The folder is synced on a
// best-effort basis (a file system that cannot sync folders still commits).
// Writes are buffered; one object owns its file; a destroyed uncommitted
// writer removes its temporary file. A process killed while writing leaves
// its temporary file behind: RemoveLeftoverTemporaryFiles
// (leftover_files.h) removes those of ended processes.
// REQUIRES: the final path names a file in an existing folder.
#ifndef VZ_SRC_UTIL_REPLACING_FILE_H_
#define VZ_SRC_UTIL_REPLACING_FILE_H_

#include <sys/types.h>

#include <cstdio>
#include <optional>
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
  // Syncs and closes the file and renames it to the final name. False on any
  // failure (the final name then keeps what it held).
  bool Commit();

  // The temporary file being written; empty when none could be created.
  const std::string& temporary_path() const { return temporary_path_; }

 private:
  void Discard();

  std::string final_path_;
  std::string temporary_path_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

// Replaces the file `final_path` with `bytes` through a ReplacingFile.
bool ReplaceFileWithBytes(const std::string& final_path, std::string_view bytes);

// The writer of a temporary file, read from its name.
struct TemporaryFileOwner {
  std::string host;
  pid_t pid = 0;
};

// The owner named by `file_name` (a name without folder) when it has the form
// of a ReplacingFile temporary name; nullopt otherwise.
std::optional<TemporaryFileOwner> TemporaryFileOwnerOf(std::string_view file_name);

// The <host> part of the temporary names this machine's processes write.
const std::string& ThisHostPart();

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_REPLACING_FILE_H_
