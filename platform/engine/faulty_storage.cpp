#include "platform/engine/faulty_storage.h"

#include <signal.h>
#include <unistd.h>

namespace vz::engine::testing {
namespace {

// A data file whose operations go to the real one unless the plan fails them.
class FaultyDataFile final : public DataFile {
 public:
  FaultyDataFile(FaultyStorage& storage, std::unique_ptr<DataFile> inner)
      : DataFile(inner->path(), inner->file()), storage_(storage), inner_(std::move(inner)) {}

  Cursor* CursorOf(int reader) override { return inner_->CursorOf(reader); }
  void ForgetReader(int reader) override { inner_->ForgetReader(reader); }
  ReadResult Read(Cursor& cursor, const ReadRequest& request, const Attempts& attempts,
                  RecordView* record) override {
    if (Fails(true)) return ReadResult::kNone;
    return inner_->Read(cursor, request, attempts, record);
  }
  int64_t Add(const std::string& data, const std::vector<std::string>& keys,
              const Attempts& attempts, bool batch) override {
    if (Fails(false)) return 0;
    return inner_->Add(data, keys, attempts, batch);
  }
  bool Modify(int64_t recno, const std::string& data, const std::vector<std::string>& keys,
              const Attempts& attempts, bool batch) override {
    if (Fails(false)) return false;
    return inner_->Modify(recno, data, keys, attempts, batch);
  }
  bool Delete(int64_t recno, const Attempts& attempts, bool batch) override {
    if (Fails(false)) return false;
    return inner_->Delete(recno, attempts, batch);
  }
  bool Clear(const Attempts& attempts, bool batch) override {
    if (Fails(false)) return false;
    return inner_->Clear(attempts, batch);
  }
  bool EndBatch(const Attempts& attempts) override {
    if (Fails(false)) {
      inner_->CancelBatch();  // a commit that fails keeps nothing
      return false;
    }
    const bool ok = inner_->EndBatch(attempts);
    storage_.Operation(file(), true);  // a kill just after the commit
    return ok;
  }
  void CancelBatch() override { inner_->CancelBatch(); }
  int64_t Count(const Attempts& attempts) override {
    if (Fails(true)) return -1;
    return inner_->Count(attempts);
  }
  bool needs_reindex() const override { return inner_->needs_reindex(); }
  bool Reindex(const RecordLayout* layout, const Attempts& attempts) override {
    return inner_->Reindex(layout, attempts);
  }
  bool CheckIntegrity(std::vector<std::string>* problems) override {
    return inner_->CheckIntegrity(problems);
  }

 private:
  bool Fails(bool read) {
    if (!storage_.Operation(file(), read)) return false;
    Report(storage_.plan().fault, InjectedReason(storage_.plan().fault));
    return true;
  }

  FaultyStorage& storage_;
  std::unique_ptr<DataFile> inner_;
};

}  // namespace

std::string InjectedReason(FileFault fault) {
  switch (fault) {
    case FileFault::kNone:
      break;
    case FileFault::kUnusable:
      return "injected: file unusable";
    case FileFault::kDamaged:
      return "injected: database disk image is malformed";
    case FileFault::kFull:
      return "injected: database or disk is full";
    case FileFault::kLocked:
      return "injected: database is locked";
    case FileFault::kReadOnly:
      return "injected: attempt to write a readonly database";
    case FileFault::kIoError:
      return "injected: disk I/O error";
    case FileFault::kServerLost:
      return "injected: server closed the connection unexpectedly";
  }
  return "injected";
}

std::string FaultyStorage::Locate(const std::string& directory,
                                  std::string_view physical_name) const {
  return inner_.Locate(directory, physical_name);
}

Storage::OpenResult FaultyStorage::Open(const std::string& path, const FileEntry& entry,
                                        bool create, const Attempts& attempts,
                                        std::unique_ptr<DataFile>* out, std::string* why) {
  if (plan_.fail_opens && plan_.fault != FileFault::kNone &&
      (plan_.file.empty() || plan_.file == entry.name)) {
    *why = InjectedReason(plan_.fault);
    return OpenResult::kFailed;
  }
  std::unique_ptr<DataFile> inner;
  const OpenResult result = inner_.Open(path, entry, create, attempts, &inner, why);
  if (result == OpenResult::kOpen) *out = std::make_unique<FaultyDataFile>(*this, std::move(inner));
  return result;
}

bool FaultyStorage::Operation(const std::string& file, bool read) {
  ++operations_;
  if (plan_.kill_at > 0 && operations_ == plan_.kill_at) ::kill(::getpid(), SIGKILL);
  if (plan_.fault == FileFault::kNone || operations_ < plan_.from) return false;
  if (!plan_.file.empty() && plan_.file != file) return false;
  if (read) return plan_.fault == FileFault::kDamaged || plan_.fault == FileFault::kIoError;
  return true;
}

}  // namespace vz::engine::testing
