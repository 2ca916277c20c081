#include "platform/engine/store.h"

#include "platform/engine/file_error.h"
#include "platform/os/ascii_case.h"

namespace vz::engine {

Store::~Store() {
  CloseAll();
}

void Store::SetAnalysis(Analysis analysis) {
  CloseAll();
  analysis_ = std::move(analysis);
  ++analysis_generation_;
  ++generation_;
}

void Store::SubstituteDirectory(const std::string& directory, const std::string& new_directory) {
  CloseAll();
  directories_.Set(directory, new_directory);
  ++generation_;
}

void Store::SubstituteName(const std::string& file, const std::string& physical_name) {
  std::string name = os::AsciiUpper(file);
  Close(name);
  if (physical_name.empty()) {
    physical_names_.erase(name);
  } else {
    physical_names_[name] = physical_name;
  }
  ++generation_;
}

std::string Store::PathOf(const FileEntry& entry) const {
  auto it = physical_names_.find(entry.name);
  const std::string& physical = it != physical_names_.end() ? it->second : entry.physical_name;
  return storage_.Locate(directories_.Resolve(entry.directory), physical);
}

namespace {

// A file that cannot be opened because this process may not write it or its
// folder (a read-only data directory) is read-only, not unusable: the adviser
// is told to look at the rights, not at the file.
FileFault OpenFailureFault(const std::string& why) {
  if (why.find("readonly") != std::string::npos || why.find("read-only") != std::string::npos) {
    return FileFault::kReadOnly;
  }
  return FileFault::kUnusable;
}

}  // namespace

DataFile* Store::Acquire(const FileEntry& entry, const RecordLayout* layout, bool create,
                         const Attempts& attempts) {
  std::string path = PathOf(entry);
  auto it = open_.find(path);
  DataFile* file = nullptr;
  if (it != open_.end()) {
    file = it->second.get();
    if (file->file() != entry.name) {
      ReportFileError(FileFault::kUnusable, entry.name, path,
                      "physical file already in use by " + file->file());
      return nullptr;
    }
  } else {
    auto failed = failed_.find(path);
    if (failed != failed_.end()) {
      NoteFileError(OpenFailureFault(failed->second.why), entry.name, path,
                    "cannot be opened: " + failed->second.why);
      return nullptr;
    }
    std::unique_ptr<DataFile> opened;
    std::string why;
    switch (storage_.Open(path, entry, create, attempts, &opened, &why)) {
      case Storage::OpenResult::kMissing:
        return nullptr;
      case Storage::OpenResult::kFailed:
        ReportFileError(OpenFailureFault(why), entry.name, path, "cannot be opened: " + why);
        failed_[path] = Failure{entry.name, why};
        return nullptr;
      case Storage::OpenResult::kOpen:
        break;
    }
    file = opened.get();
    open_[path] = std::move(opened);
  }
  if (file->needs_reindex() && layout != nullptr) file->Reindex(layout, attempts);
  return file;
}

void Store::Close(const std::string& file) {
  bool closed = false;
  for (auto it = open_.begin(); it != open_.end();) {
    if (it->second->file() == file) {
      it = open_.erase(it);
      closed = true;
    } else {
      ++it;
    }
  }
  // A failed file is tried again after it was closed (it may have been
  // repaired or restored meanwhile).
  for (auto it = failed_.begin(); it != failed_.end();) {
    if (it->second.file == file) {
      it = failed_.erase(it);
      closed = true;
    } else {
      ++it;
    }
  }
  if (closed) ++generation_;
}

void Store::CloseAll() {
  open_.clear();
  failed_.clear();
  ++generation_;
}

void Store::ForgetContext(int context_id) {
  for (auto& [path, file] : open_) file->ForgetReader(context_id);
}

bool Store::EndBatch(const Attempts& attempts) {
  batch_ = false;
  bool ok = true;
  for (auto& [path, file] : open_) {
    if (!file->EndBatch(attempts)) ok = false;
  }
  return ok;
}

}  // namespace vz::engine

namespace vz::engine {

void Store::CancelBatch() {
  batch_ = false;
  for (auto& [path, file] : open_) file->CancelBatch();
}

}  // namespace vz::engine
