// The shared store: what contexts joined by LE_Hinitpartage have in common.
//
// A store holds the analysis, the directory and physical-name substitutions,
// the open data files and the batch flag. It opens files through a Storage
// (storage.h), which outlives it; what it knows of a file is only the
// DataFile interface. Each context keeps its own record descriptions, buffers
// and positions and holds the store through a shared pointer; the store
// closes its files when the last context leaves it.
//
// `generation` changes whenever a data file closes or where files live may
// have changed (analysis, substitutions): contexts cache DataFile pointers and
// drop them when the generation they saw is no longer current.
//
// A file that cannot be opened (damaged, not ours) is failed: it is not
// tried again, and stays failed until that file (or every file) is closed,
// so that a file repaired or restored meanwhile is used again after
// LE_Hferme. Every use of a failed file reports its fault again
// (file_error.h), so that each context that meets it knows.
// Single-threaded, as the whole engine.
#ifndef VZ_PLATFORM_ENGINE_STORE_H_
#define VZ_PLATFORM_ENGINE_STORE_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/engine/analysis.h"
#include "platform/engine/paths.h"
#include "platform/engine/storage.h"

namespace vz::engine {

class Store {
 public:
  explicit Store(Storage& storage) : storage_(storage) {}
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  const Analysis* analysis() const { return analysis_ ? &*analysis_ : nullptr; }
  uint64_t generation() const { return generation_; }
  uint64_t analysis_generation() const { return analysis_generation_; }
  bool batch() const { return batch_; }

  // Replaces the analysis; every open file is closed first.
  void SetAnalysis(Analysis analysis);
  // Substitutions close every open file (where files live changes).
  void SubstituteDirectory(const std::string& directory, const std::string& new_directory);
  // An empty name goes back to the analysis's physical name.
  void SubstituteName(const std::string& file, const std::string& physical_name);

  // Where a file of the analysis lives, substitutions applied.
  std::string PathOf(const FileEntry& entry) const;

  // The open data file of `entry`, opening it (and creating it when `create`)
  // on first use. Null when it does not exist (and !create) or cannot be used;
  // a file that failed stays failed until it is closed. `layout` (may be null)
  // is used to rebuild stored keys when the analysis's key rules changed.
  DataFile* Acquire(const FileEntry& entry, const RecordLayout* layout, bool create,
                    const Attempts& attempts);

  // Closes the data files of one file (upper-case name), or of every file.
  void Close(const std::string& file);
  void CloseAll();

  // Drops a context's cursors from every open file.
  void ForgetContext(int context_id);

  void BeginBatch() { batch_ = true; }
  // Commits every open batch transaction; false if one commit failed.
  bool EndBatch(const Attempts& attempts);
  // Rolls every open batch transaction back and ends the batch.
  void CancelBatch();

 private:
  Storage& storage_;
  std::optional<Analysis> analysis_;
  DirectorySubstitutions directories_;
  std::map<std::string, std::string> physical_names_;      // upper file name -> physical name
  std::map<std::string, std::unique_ptr<DataFile>> open_;  // by path
  struct Failure {
    std::string file;
    std::string why;
  };
  std::map<std::string, Failure> failed_;  // by path
  uint64_t generation_ = 1;
  uint64_t analysis_generation_ = 1;
  bool batch_ = false;
};

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_STORE_H_
