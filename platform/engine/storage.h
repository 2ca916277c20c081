// The storage interface of the record engine: where the records of each
// physical file are kept. The contexts (context.h) and the shared store
// (store.h) reach records only through Storage and DataFile; SQLite
// (sqlite_storage.h) is the one implementation today. Another store (a
// database server) is a new pair of classes beside it, chosen where
// le_api.cpp makes its Storage, without change to the contexts nor to the
// callers of the LE_ functions (docs/storage.md).
//
// What every implementation keeps:
// - A physical file holds records. A record has a number (given by the store
//   at add, positive, never given twice in the file, not even the highest
//   one after a delete; Clear starts numbering again at 1), its bytes as the
//   engine gave them, and one key value per key of the analysis (bytes the
//   engine computed; the store never computes keys, except in Reindex).
// - Key order is byte order: unsigned bytes compared as memcmp does, and a
//   value that is a prefix of another comes first. Records with equal key
//   values follow in record-number order, which is insertion order.
// - First: the first record in key order. Search: the first record whose key
//   value is greater than or equal to the value. Next: the first record after
//   a position (key value, record number) in the key's order: key value
//   greater, or equal with a greater record number. The position need not
//   exist any more: read next goes on after a deleted or rewritten record
//   the same way, and with another key than the last read.
// - A read sees every write made through the same DataFile at once, writes
//   of other DataFiles of the process on the same file at their commit, and
//   writes of other processes within a short time (docs/storage.md).
// - Failures: nothing throws and nothing is shown. An operation that fails
//   returns its failure value (false, 0 or -1 as said below, or no record for
//   a read) and calls DataFile::Report with the kind of fault (file_error.h:
//   damaged, full, locked, read-only, I/O error, unusable) and the reason:
//   it goes to the call log (LE_ERROR), to the error of the context whose
//   call met it, and stays in last_error(). A read that finds no record is
//   not a failure. A file locked by another process is tried
//   Attempts::count times (at least once), Attempts::sleep_ms apart.
// - A file keeps its identity: the name of the analysis's file whose records
//   it holds, written when the store makes it. Open refuses (kFailed) a file
//   whose identity names another file: a file copied over another one is
//   never adopted.
// - Single-threaded: one thread uses a Storage and the files it opened, as
//   the program does; nothing here locks.
//
// Ownership: Storage::Open gives the caller the DataFile; destroying it
// closes the physical file (an open batch is committed first). A DataFile
// owns the cursors it hands out; RecordView points into the DataFile's memory.
#ifndef VZ_PLATFORM_ENGINE_STORAGE_H_
#define VZ_PLATFORM_ENGINE_STORAGE_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/analysis.h"
#include "platform/engine/file_error.h"
#include "platform/engine/record_layout.h"
#include "platform/os/short_copy.h"

namespace vz::engine {

struct Attempts {
  int count = 10;  // tries on a locked file; below 1 counts as 1
  int sleep_ms = 20;
};

// Copies a key value into `to`, which mostly held a value of the same size
// already (the same key of the record before): a short copy in place then.
// The two must not overlap.
inline void AssignKey(std::string& to, std::string_view key) {
  if (to.size() == key.size()) {
    os::CopyShort(to.data(), key.data(), key.size());
  } else {
    to.assign(key.data(), key.size());
  }
}

// A record as a read found it. The views stay valid until the next call on
// the same DataFile; `keys` holds one value per key of the analysis.
struct RecordView {
  int64_t recno = 0;
  std::string_view data;
  std::array<std::string_view, kMaxKeysPerFile> keys;
};

enum class ReadKind { kFirst, kSearch, kNext };

enum class ReadResult {
  kFound,    // `record` holds the record
  kNone,     // no record answers the request, or the read failed (reported)
  kNoTable,  // the file was never written to: it holds no record at all
};

struct ReadRequest {
  ReadKind kind = ReadKind::kFirst;
  int key = 0;             // index of the key in the analysis's order
  std::string_view value;  // kSearch: the value; kNext: the position's key value
  int64_t recno = 0;       // kNext: the position's record number
  // True when the reader's position is still where this cursor's last read
  // left it (for kNext: the position given). A store may then step that
  // cursor on instead of seeking, provided nothing was written to the file
  // since; the record found must be the same either way.
  bool at_cursor = false;
};

// One reader's place in one data file (a context is a reader). Made and
// owned by the DataFile; valid until ForgetReader or until the file closes.
class Cursor {
 protected:
  Cursor() = default;
  ~Cursor() = default;
};

inline constexpr int kMostIntegrityProblems = 100;

// One open physical file.
class DataFile {
 public:
  DataFile(std::string path, std::string file) : path_(std::move(path)), file_(std::move(file)) {}
  virtual ~DataFile() = default;
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  const std::string& path() const { return path_; }  // as given to Storage::Open
  const std::string& file() const { return file_; }  // the analysis's file name
  // The reason of the last failure reported on this file, "" before any.
  const std::string& last_error() const { return last_error_; }

  // The cursor of reader `reader` (made on first use).
  virtual Cursor* CursorOf(int reader) = 0;
  virtual void ForgetReader(int reader) = 0;
  // The record that answers `request`, in `record`. One call per record:
  // the read loops of a run come through here millions of times.
  // REQUIRES: request.key < the analysis's key count.
  virtual ReadResult Read(Cursor& cursor, const ReadRequest& request, const Attempts& attempts,
                          RecordView* record) = 0;

  // Writes. With `batch` the writes to this file join one transaction,
  // committed by EndBatch (or at close); without, each write is committed.
  // Add returns the new record number, 0 on failure; Modify and Delete fail
  // when no record has that number. REQUIRES: `keys` holds one value per key
  // of the analysis.
  virtual int64_t Add(const std::string& data, const std::vector<std::string>& keys,
                      const Attempts& attempts, bool batch) = 0;
  virtual bool Modify(int64_t recno, const std::string& data, const std::vector<std::string>& keys,
                      const Attempts& attempts, bool batch) = 0;
  virtual bool Delete(int64_t recno, const Attempts& attempts, bool batch) = 0;
  // Removes every record; numbering starts again at 1.
  virtual bool Clear(const Attempts& attempts, bool batch) = 0;
  // Commits the batch transaction, if one is open.
  virtual bool EndBatch(const Attempts& attempts) = 0;
  // Rolls the batch transaction back, if one is open: none of its writes
  // (a Clear included) stay, and readers never saw them.
  virtual void CancelBatch() = 0;
  // Number of records, -1 on failure.
  virtual int64_t Count(const Attempts& attempts) = 0;

  // True when the stored key values were computed by other key rules than
  // the analysis's (or are missing): Reindex must run before the keys serve.
  virtual bool needs_reindex() const = 0;
  // Recomputes every record's key values with `layout` (null only when the
  // file holds no record); records themselves never change.
  virtual bool Reindex(const RecordLayout* layout, const Attempts& attempts) = 0;
  // True when the file is sound; otherwise false, with a line added to
  // `problems` for each problem found (at most kMostIntegrityProblems).
  // Changes nothing.
  virtual bool CheckIntegrity(std::vector<std::string>* problems) = 0;

 protected:
  // Keeps `reason` as last_error() and reports it (ReportFileError) as a
  // fault of this file; without a kind, the file is unusable.
  void Report(FileFault fault, std::string reason);
  void Report(std::string reason) { Report(FileFault::kUnusable, std::move(reason)); }

  // Whether the file keeps its records' bytes in the compact form
  // (record_codec.h); the store sets it from the file's stored format.
  bool compact() const { return compact_; }
  void set_compact(bool compact) { compact_ = compact; }
  // `data` as the file stores it: itself, or its compact form (valid until
  // the next call).
  std::string_view Stored(const std::string& data);
  // The record's bytes from what the file stores, into `out`; false with the
  // damage reported, naming record `recno`, when they do not expand.
  bool ExpandStored(int64_t recno, std::string_view stored, std::string* out);

 private:
  std::string path_;
  std::string file_;
  std::string last_error_;
  bool compact_ = false;
  std::string packed_;  // the last record compacted by Stored
};

// Opens physical files.
class Storage {
 public:
  enum class OpenResult { kOpen, kMissing, kFailed };

  virtual ~Storage() = default;

  // Where the physical file `physical_name` of `directory` (a directory of
  // this system, substitutions applied) lives: the `path` to open.
  virtual std::string Locate(const std::string& directory,
                             std::string_view physical_name) const = 0;

  // Opens the physical file at `path` for the analysis's file `entry`. With
  // `create` false a missing file gives kMissing and nothing is made; with
  // `create` an empty file is made. kFailed: the file is there but cannot be
  // used (damaged, not ours, unreadable, another format, another file's
  // identity); `why` says why.
  virtual OpenResult Open(const std::string& path, const FileEntry& entry, bool create,
                          const Attempts& attempts, std::unique_ptr<DataFile>* out,
                          std::string* why) = 0;
};

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_STORAGE_H_
