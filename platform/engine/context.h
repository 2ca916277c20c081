// A context of the record engine: the program's record descriptions and
// buffers, its position in each file, its out-of-file state, the file last
// named by LE_Hinfogene and its settings. Files, analysis and substitutions
// live in the shared Store (several contexts may share one).
//
// Reads and writes never fail loudly: a read that finds nothing (or meets an
// unknown file, an unknown key, a missing or damaged data file) sets the
// out-of-file state and leaves the buffer as it is; a write that cannot be
// done returns false. Causes worth knowing are written to the call log, and
// faults of data files (file_error.h) are kept in file_error() while the
// context's calls run (le_api.cpp names the context as their target), so that
// a damaged file is never taken for an empty one.
//
// Read next follows the current record in the order of the key it is given:
// the first record after the current one (its key value in that key, then
// its record number), which also works after the current record was deleted
// or rewritten and when the key changes. Records come through the storage
// interface only (DataFile, storage.h); how a store gets there (a cursor
// stepped on, a seek) is its own business.
//
// Names are looked up once per spelling: the last few file names and, per
// file, the last few key names a program used are kept exactly as it spelled
// them and compared byte for byte before the case-blind lookup. A file state
// never moves or goes away once described, and a key's index only changes
// when the file is bound again (its entries are dropped then), so an entry
// never outlives what it names; closing, renaming or substituting a file acts
// on the data file behind the state, never on the name.
//
// Single-threaded, as the whole engine.
#ifndef VZ_PLATFORM_ENGINE_CONTEXT_H_
#define VZ_PLATFORM_ENGINE_CONTEXT_H_

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/engine/file_error.h"
#include "platform/engine/record_layout.h"
#include "platform/engine/storage.h"
#include "platform/engine/store.h"

namespace vz::engine {

struct Settings {
  int32_t personal_mode = 0;
  int32_t security = 0;
  int32_t attempts = 10;  // tries on a locked file
  int32_t attempts_message = 0;
  int32_t ignore_errors = 0;
  bool no_duplicate_management = false;
  bool no_transactions = false;
  bool no_journal = false;
  bool no_replication = false;
};

// A few names as a program spelled them, each with what it names; the
// oldest entry gives way. Misses are never kept.
template <typename Target>
class SpellingCache {
 public:
  static constexpr std::size_t kSize = 16;
  // What `name` was last stored with, or `missing`.
  Target Get(const char* name, Target missing) const {
    // Read loops ask for the same few names in turn: the entry found last is
    // tried first.
    if (Matches(last_found_, name)) return entries_[last_found_].target;
    for (std::size_t i = 0; i < used_; ++i) {
      if (Matches(i, name)) {
        last_found_ = i;
        return entries_[i].target;
      }
    }
    return missing;
  }
  void Put(const char* name, Target target) {
    Entry& entry = entries_[next_];
    entry.spelling.assign(name);
    entry.target = target;
    next_ = (next_ + 1) % kSize;
    if (used_ < kSize) ++used_;
  }
  void Clear() { used_ = next_ = last_found_ = 0; }

 private:
  bool Matches(std::size_t i, const char* name) const {
    if (i >= used_) return false;
    const std::string& spelling = entries_[i].spelling;
    return spelling[0] == name[0] && std::strcmp(spelling.c_str(), name) == 0;
  }

  struct Entry {
    std::string spelling;
    Target target{};
  };
  std::array<Entry, kSize> entries_;
  std::size_t used_ = 0;
  std::size_t next_ = 0;
  mutable std::size_t last_found_ = 0;
};

class Context {
 public:
  Context(int id, std::shared_ptr<Store> store);
  ~Context();
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  int id() const { return id_; }
  Store& store() { return *store_; }
  const std::shared_ptr<Store>& shared_store() const { return store_; }
  Settings& settings() { return settings_; }
  bool out_of_file() const { return out_of_file_; }
  // The last fault of a data file met by this context's calls since cleared.
  FileError& file_error() { return file_error_; }

  // Leaves the current store for `other` (LE_Hinitpartage).
  void Share(std::shared_ptr<Store> other);
  // Describing a file again replaces its description and forgets its position.
  void Describe(RecordDescription description);

  void ReadFirst(const char* file, const char* key);
  void Search(const char* file, const char* key, const char* value);
  void ReadNext(const char* file, const char* key);

  bool Add(const char* file);
  bool Modify(const char* file);
  bool Remove(const char* file);
  bool Create(const char* file);
  // "" closes every file of the store.
  void Close(const char* file);
  // The store's substitution of a physical name; positions in the file end.
  void ForgetPosition(const std::string& upper_file);

  void SetInfoFile(const char* file);
  int64_t RecordCount();
  int64_t CurrentRecord();

 private:
  struct FileState {
    RecordDescription description;
    RecordLayout layout;
    const FileEntry* entry = nullptr;
    bool bound = false;
    uint64_t bound_generation = 0;
    DataFile* data = nullptr;
    Cursor* cursor = nullptr;
    uint64_t data_generation = 0;
    int64_t recno = 0;
    bool has_current = false;   // a record is current (read or written)
    bool has_position = false;  // read next has a place to continue from
    std::vector<std::string> position_keys;
    RecordView found;    // scratch for reads (made once: it is large)
    std::string record;  // scratch for writes
    std::vector<std::string> keys;
    SpellingCache<int> key_names;  // spelling -> key index, for this binding
  };

  FileState* Find(const char* file);
  bool Bind(FileState& state);
  DataFile* Resolve(FileState& state, bool create);
  int KeyIndex(FileState& state, const char* key);
  // The reads: `request` without its key, which `key` names.
  void Read(const char* file, const char* key, ReadRequest request);
  void Deliver(FileState& state, const RecordView& record);
  void EndOfFile(FileState& state);
  bool Write(const char* file, int kind);
  Attempts attempts() const { return Attempts{settings_.attempts, 20}; }

  int id_;
  std::shared_ptr<Store> store_;
  std::unordered_map<std::string, FileState> files_;
  // The files named last (states never move: the map keeps its nodes).
  SpellingCache<FileState*> file_names_;
  bool out_of_file_ = true;
  FileError file_error_;
  std::string info_file_;
  Settings settings_;
};

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_CONTEXT_H_
