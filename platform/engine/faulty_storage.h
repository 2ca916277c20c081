// Test support: a Storage that wraps another one (the SQLite storage) and
// makes its files fail the way a failing disk does, in the manner of a fault-
// injecting file-system wrapper. Installed with UseStorage
// (process_storage.h), it sees every file the engine opens afterwards.
//
// Every operation of a wrapped file (read, add, modify, delete, clear, count,
// batch commit) is counted, from 1, across all files, since Arm. An armed
// plan makes the operations of the files it names fail from a given count on:
// the operation does nothing and reports the fault (DataFile::Report), as
// the real store does for a full disk, a read-only file, an I/O error or a
// damaged page; reads fail only for faults a read can meet (damaged, I/O
// error). A plan may instead kill the process with SIGKILL at a given count
// (before the operation runs; a commit also counts once after it ran), for
// crash tests run in a child process.
//
// Owned by the test; it must outlive the files it opened (close them with
// LE_Hferme("") before it goes). Single-threaded, as the engine.
#ifndef VZ_PLATFORM_ENGINE_FAULTY_STORAGE_H_
#define VZ_PLATFORM_ENGINE_FAULTY_STORAGE_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/engine/storage.h"

namespace vz::engine::testing {

struct FaultPlan {
  FileFault fault = FileFault::kNone;
  std::string file;         // the analysis's file name; "" for every file
  int64_t from = 1;         // the first failing operation (counted over all files)
  bool fail_opens = false;  // opening the file fails too (kFailed)
  int64_t kill_at = 0;      // > 0: SIGKILL at this operation instead
};

class FaultyStorage final : public Storage {
 public:
  explicit FaultyStorage(Storage& inner) : inner_(inner) {}

  void Arm(FaultPlan plan) {
    plan_ = std::move(plan);
    operations_ = 0;
  }
  void Disarm() { Arm(FaultPlan()); }
  int64_t operations() const { return operations_; }

  std::string Locate(const std::string& directory, std::string_view physical_name) const override;
  OpenResult Open(const std::string& path, const FileEntry& entry, bool create,
                  const Attempts& attempts, std::unique_ptr<DataFile>* out,
                  std::string* why) override;

  // Counts one operation on `file` (kills when the plan says so); true when
  // it must fail. `read`: reads fail only for damage and I/O errors.
  bool Operation(const std::string& file, bool read);
  const FaultPlan& plan() const { return plan_; }

 private:
  Storage& inner_;
  FaultPlan plan_;
  int64_t operations_ = 0;
};

// The kind of fault as a reason text ("injected: disk full").
std::string InjectedReason(FileFault fault);

}  // namespace vz::engine::testing

#endif  // VZ_PLATFORM_ENGINE_FAULTY_STORAGE_H_
