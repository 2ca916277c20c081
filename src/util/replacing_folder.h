// The one way the program replaces a folder of outputs as a whole set (the
// letters of a pass): the new files are written into a staging folder beside
// the final one, "<final>.<host>.<pid>.<n>.tmp" (the temporary-name form of
// replacing_file.h), and Commit() exchanges the two folders in one rename, so
// that a reader, a kill or a crash finds either the whole previous set or the
// whole new one under the final name, never a mix or an empty folder.
//
// Commit() first carries into the staging folder the files of the final
// folder that the new set does not replace (the caller says which names it
// replaces), by hard link, or by copy where links are not possible; then
// syncs the staging folder's file system, exchanges the folders
// (renameat2 RENAME_EXCHANGE; on a file system without it, two renames, the
// previous folder kept under a temporary name until the second one is done),
// syncs the parent folder and removes the previous set. Folders found inside
// the final folder are moved into the new one after the exchange.
//
// Failure: a staging folder that cannot be created makes ok() false (the
// parent is created first if missing); Commit() returns false when the
// staging folder's files cannot be synced, carried or exchanged, and the
// final folder then keeps its previous contents; a destroyed uncommitted
// object removes its staging folder. A process killed before Commit leaves
// its staging folder: RemoveLeftoverTemporaryFolders (leftover_files.h)
// removes those of ended processes. One object owns one staging folder.
#ifndef VZ_SRC_UTIL_REPLACING_FOLDER_H_
#define VZ_SRC_UTIL_REPLACING_FOLDER_H_

#include <functional>
#include <string>
#include <string_view>

namespace vz::util {

class ReplacingFolder {
 public:
  explicit ReplacingFolder(std::string final_folder);
  ~ReplacingFolder();
  ReplacingFolder(const ReplacingFolder&) = delete;
  ReplacingFolder& operator=(const ReplacingFolder&) = delete;

  bool ok() const { return !staging_.empty(); }
  // Where the new files go; empty when no staging folder could be created.
  const std::string& staging_path() const { return staging_; }
  const std::string& final_path() const { return final_; }

  // Puts the staging folder in place of the final one. `replaced(name)` tells
  // which names of the final folder belong to the set being replaced (they are
  // not carried over). False on failure (see above); after a call, ok() is
  // false either way.
  bool Commit(const std::function<bool(std::string_view name)>& replaced);

  // Removes the staging folder and what it holds; the final folder is untouched.
  void Discard();

 private:
  std::string final_;
  std::string staging_;
};

}  // namespace vz::util

#endif  // VZ_SRC_UTIL_REPLACING_FOLDER_H_
