#include "platform/engine/context.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/engine/call_log.h"
#include "platform/os/ascii_case.h"

namespace vz::engine {
namespace {

enum WriteKind { kAdd, kModify, kRemove };

const char* Safe(const char* text) {
  return text != nullptr ? text : "";
}

// How many records a search may step over from the current one before it
// seeks instead: the selection searches each household's records right
// after the previous household's, a step or two further on.
constexpr int kMostStepsAhead = 4;

// True when the statement's key column sorts below `value` as the search
// compares them (bytes, then length). A column that is not a blob is never
// taken as below: the search then seeks, as it always may.
bool IsBelow(std::string_view key, std::string_view value) {
  const std::size_t common = std::min(key.size(), value.size());
  const int order = common == 0 ? 0 : std::memcmp(key.data(), value.data(), common);
  return order < 0 || (order == 0 && key.size() < value.size());
}

bool IsBelow(sqlite3_stmt* statement, int column, std::string_view value) {
  if (sqlite3_column_type(statement, column) != SQLITE_BLOB) return false;
  const char* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
  const int size = sqlite3_column_bytes(statement, column);
  return IsBelow(std::string_view(bytes != nullptr ? bytes : "", static_cast<std::size_t>(size)),
                 value);
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
    state.cursors = nullptr;
    state.has_current = state.has_position = false;
  }
}

void Context::Describe(RecordDescription description) {
  std::string name = description.file;
  FileState& state = files_[name];
  if (state.data != nullptr && state.data_generation == store_->generation()) {
    state.data->DropCursors(id_);
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
  state.cursors = nullptr;
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
  state.cursors = nullptr;
  DataFile* data = store_->Acquire(*state.entry, &state.layout, create, attempts());
  if (data == nullptr) return nullptr;
  state.data = data;
  state.cursors = data->Cursors(id_);
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

bool Context::PrepareRead(const char* file, const char* key, FileState** state_out,
                          int* key_index) {
  out_of_file_ = true;
  FileState* state = Find(file);
  if (state == nullptr) {
    if (LogEnabled()) LogFileError(Safe(file), "", "not described in this context");
    return false;
  }
  DataFile* data = Resolve(*state, false);
  if (data == nullptr) {
    state->has_current = state->has_position = false;
    return false;
  }
  int index = KeyIndex(*state, key);
  if (index < 0) return false;
  data->BeginReads(attempts());
  if (!data->has_table()) return false;  // an empty database: no record yet
  *state_out = state;
  *key_index = index;
  return true;
}

void Context::StartStatement(FileState& state, sqlite3_stmt* statement) {
  CursorSet* cursors = state.cursors;
  if (cursors->live != nullptr) {
    sqlite3_reset(cursors->live);
    cursors->live = nullptr;
  }
  sqlite3_reset(statement);
}

void Context::EndOfFile(FileState& state) {
  state.has_below_current = false;
  state.has_current = false;
  state.has_position = false;
  out_of_file_ = true;
}

void Context::Deliver(FileState& state, int key, sqlite3_stmt* statement, int rc, Arrival arrival) {
  CursorSet* cursors = state.cursors;
  if (rc != SQLITE_ROW) {
    sqlite3_reset(statement);
    if (cursors->live == statement) cursors->live = nullptr;
    if (rc != SQLITE_DONE) state.data->Report("read failed", rc);
    EndOfFile(state);
    return;
  }
  const void* blob = sqlite3_column_blob(statement, kColumnData);
  int size = sqlite3_column_bytes(statement, kColumnData);
  state.layout.GiveRecord(static_cast<const uint8_t*>(blob), static_cast<std::size_t>(size),
                          state.description.buffer);
  state.recno = sqlite3_column_int64(statement, kColumnRecno);
  if (arrival == Arrival::kNext) {
    // The key before is the bound below the new current record (no copy).
    state.below_current.swap(state.position_keys[static_cast<std::size_t>(key)]);
    state.has_below_current = true;
  } else if (arrival == Arrival::kFresh) {
    state.has_below_current = false;
  }
  for (std::size_t i = 0; i < state.position_keys.size(); ++i) {
    int column = kColumnFirstKey + static_cast<int>(i);
    const char* text = static_cast<const char*>(sqlite3_column_blob(statement, column));
    int length = sqlite3_column_bytes(statement, column);
    state.position_keys[i].assign(text != nullptr ? text : "", static_cast<std::size_t>(length));
  }
  state.has_current = true;
  state.has_position = true;
  cursors->live = statement;
  cursors->live_key = key;
  cursors->live_write_count = state.data->write_count();
  out_of_file_ = false;
}

void Context::ReadFirst(const char* file, const char* key) {
  FileState* state;
  int key_index;
  if (!PrepareRead(file, key, &state, &key_index)) return;
  sqlite3_stmt* statement = state->data->ReadStatement(state->cursors, key_index, ReadKind::kFirst);
  if (statement == nullptr) return EndOfFile(*state);
  StartStatement(*state, statement);
  Deliver(*state, key_index, statement, state->data->StepRead(statement, attempts()));
}

bool Context::SearchAhead(FileState& state, int key, std::string_view wanted) {
  CursorSet* cursors = state.cursors;
  sqlite3_stmt* live = cursors->live;
  if (!state.has_current || live == nullptr || cursors->live_key != key ||
      cursors->live_write_count != state.data->write_count()) {
    return false;
  }
  // The live cursor stands on the current record; every record before it
  // has a key at most the current one's. So when the current key is below
  // the value, the first record at or above it comes after: step to it.
  const int column = kColumnFirstKey + key;
  if (!IsBelow(live, column, wanted)) {
    // The current record is the first at or above the value when every
    // record before it is below: a read loop has just stopped on it.
    if (!state.has_below_current || sqlite3_column_type(live, column) != SQLITE_BLOB ||
        !IsBelow(state.below_current, wanted)) {
      return false;
    }
    Deliver(state, key, live, SQLITE_ROW, Arrival::kSame);
    return true;
  }
  std::string& key_before = state.position_keys[static_cast<std::size_t>(key)];
  for (int step = 0; step < kMostStepsAhead; ++step) {
    if (step > 0) {
      // The row stepped over is below the value: it bounds what comes next.
      key_before.assign(static_cast<const char*>(sqlite3_column_blob(live, column)),
                        static_cast<std::size_t>(sqlite3_column_bytes(live, column)));
    }
    const int rc = sqlite3_step(live);
    if (rc == SQLITE_DONE) {
      Deliver(state, key, live, rc);  // no key at or above the value
      return true;
    }
    if (rc != SQLITE_ROW) break;
    if (sqlite3_column_type(live, column) != SQLITE_BLOB) break;
    if (!IsBelow(live, column, wanted)) {
      Deliver(state, key, live, rc, Arrival::kNext);
      return true;
    }
  }
  // Too far, or the step failed: the search seeks instead (and resets the
  // cursor, which no longer stands on the current record).
  sqlite3_reset(live);
  cursors->live = nullptr;
  return false;
}

void Context::Search(const char* file, const char* key, const char* value) {
  FileState* state;
  int key_index;
  if (!PrepareRead(file, key, &state, &key_index)) return;
  if (SearchAhead(*state, key_index, Safe(value))) return;
  sqlite3_stmt* statement =
      state->data->ReadStatement(state->cursors, key_index, ReadKind::kSearch);
  if (statement == nullptr) return EndOfFile(*state);
  StartStatement(*state, statement);
  // The statement keeps reading its binding while it steps: bind a copy that
  // lives as long as the statement stays live.
  state->bound_value.assign(Safe(value));
  sqlite3_bind_blob(statement, 1, state->bound_value.data(),
                    static_cast<int>(state->bound_value.size()), SQLITE_STATIC);
  Deliver(*state, key_index, statement, state->data->StepRead(statement, attempts()));
}

void Context::ReadNext(const char* file, const char* key) {
  FileState* state;
  int key_index;
  if (!PrepareRead(file, key, &state, &key_index)) return;
  if (!state->has_position) return EndOfFile(*state);
  CursorSet* cursors = state->cursors;
  if (cursors->live != nullptr && cursors->live_key == key_index &&
      cursors->live_write_count == state->data->write_count()) {
    sqlite3_stmt* live = cursors->live;
    int rc = sqlite3_step(live);
    if (!IsLockError(rc)) return Deliver(*state, key_index, live, rc, Arrival::kNext);
  }
  sqlite3_stmt* statement = state->data->ReadStatement(cursors, key_index, ReadKind::kAfter);
  if (statement == nullptr) return EndOfFile(*state);
  StartStatement(*state, statement);
  state->bound_value = state->position_keys[static_cast<std::size_t>(key_index)];
  sqlite3_bind_blob(statement, 1, state->bound_value.data(),
                    static_cast<int>(state->bound_value.size()), SQLITE_STATIC);
  sqlite3_bind_int64(statement, 2, state->recno);
  Deliver(*state, key_index, statement, state->data->StepRead(statement, attempts()),
          Arrival::kNext);
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
    int64_t recno = data->Insert(state->record, state->keys, attempts(), batch);
    if (recno == 0) return false;
    state->recno = recno;
  } else if (!data->Update(state->recno, state->record, state->keys, attempts(), batch)) {
    return false;
  }
  state->position_keys = state->keys;
  state->has_below_current = false;
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
