#include "platform/engine/context.h"

#include <utility>

#include "platform/engine/call_log.h"
#include "platform/os/ascii_case.h"

namespace vz::engine {
namespace {

enum WriteKind { kAdd, kModify, kRemove };

const char* Safe(const char* text) {
  return text != nullptr ? text : "";
}

}  // namespace

Context::Context(int id, std::shared_ptr<Store> store) : id_(id), store_(std::move(store)) {}

Context::~Context() {
  store_->ForgetContext(id_);
}

void Context::Share(std::shared_ptr<Store> other) {
  if (other == store_) return;
  store_->ForgetContext(id_);
  store_ = std::move(other);
  for (auto& [name, state] : files_) {
    state.bound_generation = 0;
    state.data = nullptr;
    state.cursor = nullptr;
    state.has_current = state.has_position = false;
  }
}

void Context::Describe(RecordDescription description) {
  std::string name = description.file;
  FileState& state = files_[name];
  if (state.data != nullptr && state.data_generation == store_->generation()) {
    state.data->ForgetReader(id_);
  }
  state = FileState();
  state.description = std::move(description);
  file_names_.Clear();
}

Context::FileState* Context::Find(const char* file) {
  if (file == nullptr || file[0] == '\0') return nullptr;
  // Read loops alternate among a few files, always spelled the same way.
  if (FileState* known = file_names_.Get(file, nullptr)) return known;
  auto it = files_.find(os::AsciiUpper(file));
  if (it == files_.end()) return nullptr;
  file_names_.Put(file, &it->second);
  return &it->second;
}

bool Context::Bind(FileState& state) {
  if (state.bound_generation == store_->analysis_generation()) return state.bound;
  state.bound_generation = store_->analysis_generation();
  state.bound = false;
  state.key_names.Clear();
  state.data = nullptr;
  state.cursor = nullptr;
  const Analysis* analysis = store_->analysis();
  if (analysis == nullptr) return false;
  state.entry = analysis->FindFile(state.description.file);
  if (state.entry == nullptr) {
    LogFileError(state.description.file, "", "not in the analysis");
    return false;
  }
  std::string why;
  if (!RecordLayout::Bind(state.description, *state.entry, &state.layout, &why)) {
    LogFileError(state.description.file, "", "keys do not fit the description: " + why);
    return false;
  }
  state.position_keys.assign(state.layout.key_count(), std::string());
  state.keys.assign(state.layout.key_count(), std::string());
  state.bound = true;
  return true;
}

DataFile* Context::Resolve(FileState& state, bool create) {
  if (!Bind(state)) return nullptr;
  if (state.data != nullptr && state.data_generation == store_->generation()) return state.data;
  state.data = nullptr;
  state.cursor = nullptr;
  DataFile* data = store_->Acquire(*state.entry, &state.layout, create, attempts());
  if (data == nullptr) return nullptr;
  state.data = data;
  state.cursor = data->CursorOf(id_);
  state.data_generation = store_->generation();
  return data;
}

int Context::KeyIndex(FileState& state, const char* key) {
  if (key != nullptr && key[0] != '\0') {
    const int known = state.key_names.Get(key, -1);
    if (known >= 0) return known;
  }
  int index = state.layout.FindKey(key);
  if (index >= 0 && key[0] != '\0') state.key_names.Put(key, index);
  if (index < 0 && LogEnabled()) {
    LogFileError(state.description.file, "", std::string("unknown key ") + Safe(key));
  }
  return index;
}

void Context::Read(const char* file, const char* key, ReadRequest request) {
  out_of_file_ = true;
  FileState* state = Find(file);
  if (state == nullptr) {
    if (LogEnabled()) LogFileError(Safe(file), "", "not described in this context");
    return;
  }
  DataFile* data = Resolve(*state, false);
  if (data == nullptr) {
    state->has_current = state->has_position = false;
    return;
  }
  request.key = KeyIndex(*state, key);
  if (request.key < 0) return;
  if (request.kind == ReadKind::kNext) {
    if (!state->has_position) return EndOfFile(*state);
    request.value = state->position_keys[static_cast<std::size_t>(request.key)];
    request.recno = state->recno;
    request.at_cursor = true;
  } else if (request.kind == ReadKind::kSearch) {
    request.at_cursor = state->has_current;
  }
  switch (data->Read(*state->cursor, request, attempts(), &state->found)) {
    case ReadResult::kFound:
      return Deliver(*state, state->found);
    case ReadResult::kNone:
      return EndOfFile(*state);
    case ReadResult::kNoTable:
      return;  // nothing there, and nothing that was moves
  }
}

void Context::EndOfFile(FileState& state) {
  state.has_current = false;
  state.has_position = false;
  out_of_file_ = true;
}

void Context::Deliver(FileState& state, const RecordView& record) {
  state.layout.GiveRecord(reinterpret_cast<const uint8_t*>(record.data.data()), record.data.size(),
                          state.description.buffer);
  state.recno = record.recno;
  for (std::size_t i = 0; i < state.position_keys.size(); ++i) {
    AssignKey(state.position_keys[i], record.keys[i]);
  }
  state.has_current = true;
  state.has_position = true;
  out_of_file_ = false;
}

void Context::ReadFirst(const char* file, const char* key) {
  ReadRequest request;
  request.kind = ReadKind::kFirst;
  Read(file, key, request);
}

void Context::Search(const char* file, const char* key, const char* value) {
  ReadRequest request;
  request.kind = ReadKind::kSearch;
  request.value = Safe(value);
  Read(file, key, request);
}

void Context::ReadNext(const char* file, const char* key) {
  ReadRequest request;
  request.kind = ReadKind::kNext;
  Read(file, key, request);
}

bool Context::Write(const char* file, int kind) {
  FileState* state = Find(file);
  if (state == nullptr) {
    if (LogEnabled()) LogFileError(Safe(file), "", "not described in this context");
    return false;
  }
  if (kind != kAdd && !state->has_current) return false;
  DataFile* data = Resolve(*state, kind == kAdd);
  if (data == nullptr) return false;
  bool batch = store_->batch();
  if (kind == kRemove) {
    if (!data->Delete(state->recno, attempts(), batch)) return false;
    state->has_current = false;  // the position stays for read next
    return true;
  }
  state->layout.TakeRecord(state->description.buffer, &state->record);
  const uint8_t* record = reinterpret_cast<const uint8_t*>(state->record.data());
  for (std::size_t i = 0; i < state->keys.size(); ++i) {
    state->layout.BuildKey(i, record, &state->keys[i]);
  }
  if (kind == kAdd) {
    int64_t recno = data->Add(state->record, state->keys, attempts(), batch);
    if (recno == 0) return false;
    state->recno = recno;
  } else if (!data->Modify(state->recno, state->record, state->keys, attempts(), batch)) {
    return false;
  }
  state->position_keys = state->keys;
  state->has_current = true;
  state->has_position = true;
  out_of_file_ = false;
  return true;
}

bool Context::Add(const char* file) {
  return Write(file, kAdd);
}
bool Context::Modify(const char* file) {
  return Write(file, kModify);
}
bool Context::Remove(const char* file) {
  return Write(file, kRemove);
}

bool Context::Create(const char* file) {
  const Analysis* analysis = store_->analysis();
  if (file == nullptr || analysis == nullptr) return false;
  FileState* state = Find(file);
  const FileEntry* entry = nullptr;
  const RecordLayout* layout = nullptr;
  if (state != nullptr && Bind(*state)) {
    entry = state->entry;
    layout = &state->layout;
    state->has_current = state->has_position = false;
  } else {
    entry = analysis->FindFile(file);
  }
  if (entry == nullptr) return false;
  DataFile* data = store_->Acquire(*entry, layout, true, attempts());
  return data != nullptr && data->Clear(attempts(), store_->batch());
}

void Context::Close(const char* file) {
  std::string name = os::AsciiUpper(Safe(file));
  if (name.empty()) {
    store_->CloseAll();
    for (auto& [key, state] : files_) state.has_current = state.has_position = false;
    return;
  }
  store_->Close(name);
  ForgetPosition(name);
}

void Context::ForgetPosition(const std::string& upper_file) {
  auto it = files_.find(upper_file);
  if (it != files_.end()) it->second.has_current = it->second.has_position = false;
}

void Context::SetInfoFile(const char* file) {
  info_file_ = os::AsciiUpper(Safe(file));
}

int64_t Context::RecordCount() {
  const Analysis* analysis = store_->analysis();
  const FileEntry* entry = analysis != nullptr ? analysis->FindFile(info_file_) : nullptr;
  if (entry == nullptr) return 0;
  FileState* state = Find(info_file_.c_str());
  const RecordLayout* layout = (state != nullptr && Bind(*state)) ? &state->layout : nullptr;
  DataFile* data = store_->Acquire(*entry, layout, false, attempts());
  if (data == nullptr) return 0;
  int64_t count = data->Count(attempts());
  return count < 0 ? 0 : count;
}

int64_t Context::CurrentRecord() {
  FileState* state = Find(info_file_.c_str());
  return (state != nullptr && state->has_current) ? state->recno : 0;
}

}  // namespace vz::engine
