#include "src/db/record_session.h"

#include <cstring>

#include "platform/engine/le_api.h"
#include "src/db/buffer_sync.h"
#include "src/db/catalogue.h"
#include "src/db/conversion_ring.h"

namespace vz::db {
namespace {

size_t Index(FileId file) {
  return static_cast<size_t>(file);
}

// One zeroed block for every buffer in catalogue order, each directly after
// the one before it; one byte more, so that every buffer (also an empty one)
// has an address inside the block.
std::unique_ptr<uint8_t[]> AllocateBuffers(std::array<uint8_t*, kFileCount>& buffers) {
  size_t total = 1;
  for (const FileDescription& file : Catalogue()) total += file.buffer_size;
  auto block = std::make_unique<uint8_t[]>(total);  // value-initialised: zero
  size_t offset = 0;
  for (const FileDescription& file : Catalogue()) {
    buffers[Index(file.id)] = block.get() + offset;
    offset += file.buffer_size;
  }
  return block;
}

}  // namespace

RecordSession::RecordSession(int32_t engine_context)
    : context_(engine_context), calls_without_context_(false) {
  block_ = AllocateBuffers(buffers_);
  undescribed_.fill(true);
}

// The program describes every file at once when its context is created.
RecordSession::RecordSession(ProgramTag) : context_(0), calls_without_context_(true) {
  block_ = AllocateBuffers(buffers_);
}

RecordSession& ProgramSession() {
  // Never destroyed: the engine keeps the buffers' addresses to the end.
  static RecordSession* const session = new RecordSession(RecordSession::ProgramTag{});
  return *session;
}

int32_t CreateEngineContext(int32_t description_count) {
  return LE_CreateContexteHF(description_count);
}

void RecordSession::DescribeFile(FileId id) {
  undescribed_[Index(id)] = false;
  if (!HasEngine()) return;
  const FileDescription& file = Describe(id);
  // The last text argument is converted first.
  const char* types = ToEngine(file.types);
  const char* name = ToEngine(file.name);
  LE_HDecritEnregistrement(context_, name, file.record_size, file.field_sizes.data(),
                           file.field_count(), types, buffers_[Index(id)]);
}

void RecordSession::DescribeAllFiles() {
  for (const FileDescription& file : Catalogue()) DescribeFile(file.id);
}

uint8_t* RecordSession::Buffer(FileId file) {
  if (undescribed_[Index(file)]) DescribeFile(file);
  return buffers_[Index(file)];
}

size_t RecordSession::BufferSize(FileId file) const {
  return Describe(file).buffer_size;
}

void RecordSession::ClearBuffer(FileId file) {
  std::memset(Buffer(file), 0, BufferSize(file));
}

uint8_t* RecordSession::TreatedBuffer(std::optional<FileId> file) {
  if (!file) return nullptr;
  uint8_t* record = Buffer(*file);  // described before the engine uses it
  return Describe(*file).in_key_table() ? record : nullptr;
}

bool RecordSession::Write(WriteCall call, std::optional<FileId> file, std::string_view name) {
  uint8_t* record = TreatedBuffer(file);
  const SyncOperation operation = call == WriteCall::kAdd      ? SyncOperation::kAdd
                                  : call == WriteCall::kModify ? SyncOperation::kModify
                                                               : SyncOperation::kDelete;
  if (record != nullptr && call != WriteCall::kDelete) {
    SynchroniseBuffer(*file, operation, false, record);
  }
  bool done = false;
  if (HasEngine()) {
    const char* engine_name = ToEngine(name);
    switch (call) {
      case WriteCall::kAdd:
        done = LE_Hajoute(context_, engine_name, 0) != 0;
        break;
      case WriteCall::kModify:
        done = LE_Hmodifie(context_, engine_name, 0) != 0;
        break;
      case WriteCall::kDelete:
        done = LE_Hsupprime(context_, engine_name, 0) != 0;
        break;
    }
  }
  if (record != nullptr) SynchroniseBuffer(*file, operation, false, record);
  return done;
}

const char* RecordSession::EngineFileName(std::optional<FileId> file, std::string_view name) {
  // Only the catalogue's own spelling is kept: a caller's other spelling of
  // the name reaches the engine as written.
  if (!file || name.data() != Describe(*file).name.data()) return ToEngine(name);
  std::string& kept = engine_file_names_[Index(*file)];
  if (kept.empty()) kept.assign(name);
  return kept.c_str();
}

const char* RecordSession::EngineKeyName(std::string_view key) {
  for (const std::string& kept : engine_key_names_) {
    if (!kept.empty() && kept == key) return kept.c_str();
  }
  // A text the ring would cut, or one holding a NUL, is converted as always
  // and never kept.
  if (key.empty() || key.size() >= ConversionRing::kSlotSize - 1 ||
      key.find('\0') != std::string_view::npos) {
    return ToEngine(key);
  }
  std::string& slot = engine_key_names_[next_key_name_];
  next_key_name_ = (next_key_name_ + 1) % kKeptKeyNames;
  slot.assign(key);
  return slot.c_str();
}

void RecordSession::Read(ReadCall call, std::optional<FileId> file, std::string_view name,
                         std::string_view key, std::string_view value, bool slots_later) {
  uint8_t* record = TreatedBuffer(file);
  // Each read tells whether it found a record, as Hendehors would after it.
  bool found = false;
  if (HasEngine()) {
    // The last text argument is converted first.
    const char* engine_value = call == ReadCall::kSearch ? ToEngine(value) : nullptr;
    const char* engine_key = EngineKeyName(key);
    const char* engine_name = EngineFileName(file, name);
    switch (call) {
      case ReadCall::kFirst:
        found = LE_Hlitpremier(context_, engine_name, engine_key, 0) != 0;
        break;
      case ReadCall::kNext:
        found = LE_Hlitsuivant(context_, engine_name, engine_key, 0) != 0;
        break;
      case ReadCall::kSearch:
        found = LE_Hlitrecherche(context_, engine_name, engine_key, engine_value, 0) != 0;
        break;
    }
  }
  if (record == nullptr) return;
  SynchroniseBuffer(*file, slots_later ? SyncOperation::kReadSlotsLater : SyncOperation::kRead,
                    !found, record);
}

bool RecordSession::Hajoute(FileId file) {
  return Write(WriteCall::kAdd, file, Describe(file).name);
}
bool RecordSession::Hajoute(std::string_view file) {
  return Write(WriteCall::kAdd, names_.Find(file), file);
}
bool RecordSession::Hmodifie(FileId file) {
  return Write(WriteCall::kModify, file, Describe(file).name);
}
bool RecordSession::Hmodifie(std::string_view file) {
  return Write(WriteCall::kModify, names_.Find(file), file);
}
bool RecordSession::Hsupprime(FileId file) {
  return Write(WriteCall::kDelete, file, Describe(file).name);
}
bool RecordSession::Hsupprime(std::string_view file) {
  return Write(WriteCall::kDelete, names_.Find(file), file);
}

void RecordSession::Hlitpremier(FileId file, std::string_view key) {
  Read(ReadCall::kFirst, file, Describe(file).name, key, {});
}
void RecordSession::Hlitpremier(std::string_view file, std::string_view key) {
  Read(ReadCall::kFirst, names_.Find(file), file, key, {});
}
void RecordSession::Hlitsuivant(FileId file, std::string_view key) {
  Read(ReadCall::kNext, file, Describe(file).name, key, {});
}
void RecordSession::Hlitsuivant(std::string_view file, std::string_view key) {
  Read(ReadCall::kNext, names_.Find(file), file, key, {});
}
void RecordSession::Hlitrecherche(FileId file, std::string_view key, std::string_view value) {
  Read(ReadCall::kSearch, file, Describe(file).name, key, value);
}
void RecordSession::Hlitrecherche(std::string_view file, std::string_view key,
                                  std::string_view value) {
  Read(ReadCall::kSearch, names_.Find(file), file, key, value);
}

void RecordSession::HlitrechercheSlotsLater(FileId file, std::string_view key,
                                            std::string_view value) {
  Read(ReadCall::kSearch, file, Describe(file).name, key, value, true);
}
void RecordSession::HlitsuivantSlotsLater(FileId file, std::string_view key) {
  Read(ReadCall::kNext, file, Describe(file).name, key, {}, true);
}

void RecordSession::RebuildKeySlots(FileId file) {
  uint8_t* record = TreatedBuffer(file);
  if (record != nullptr && !Hendehors()) RebuildKeySlotsOf(file, record);
}

bool RecordSession::Hendehors() const {
  return !HasEngine() || LE_Hendehors(context_) != 0;
}

bool RecordSession::Hcreation(std::string_view file) {
  return HasEngine() && LE_Hcreation(context_, ToEngine(file)) != 0;
}
bool RecordSession::Hferme(std::string_view file) {
  return HasEngine() && LE_Hferme(context_, ToEngine(file)) != 0;
}
void RecordSession::Hinfogene(std::string_view file) {
  if (HasEngine()) LE_Hinfogene(context_, ToEngine(file));
}
int32_t RecordSession::Hnbenr() {
  return HasEngine() ? LE_Hnbenr(context_) : 0;
}
int32_t RecordSession::Hnumenr() {
  return HasEngine() ? LE_Hnumenr(context_) : 0;
}

int32_t RecordSession::Hnumenr(FileId file) {
  if (!HasEngine()) return 0;
  Buffer(file);  // the engine knows the file only once described
  Hinfogene(Describe(file).name);
  return Hnumenr();
}

bool RecordSession::Hsubstnom(std::string_view file, std::string_view physical_name) {
  if (!HasEngine()) return false;
  const char* engine_name = ToEngine(physical_name);
  return LE_Hsubstnom(context_, ToEngine(file), engine_name) != 0;
}

bool RecordSession::Hsubstrep(std::string_view directory, std::string_view new_directory) {
  if (!HasEngine()) return false;
  const char* engine_new = ToEngine(new_directory);
  return LE_Hsubstrep(context_, ToEngine(directory), engine_new) != 0;
}

bool RecordSession::Hinitpartage(int32_t shared_context) {
  return HasEngine() && LE_Hinitpartage(context_, shared_context) != 0;
}

int32_t RecordSession::Houvreanalyse(std::string_view path, std::string_view text1,
                                     std::string_view text2, std::string_view text3,
                                     std::string_view text4) {
  if (!HasEngine()) return 0;
  const char* t4 = ToEngine(text4);
  const char* t3 = ToEngine(text3);
  const char* t2 = ToEngine(text2);
  const char* t1 = ToEngine(text1);
  return LE_Houvreanalyse(context_, ToEngine(path), t1, t2, t3, t4);
}

void RecordSession::HftermineCTX() {
  if (HasEngine()) LE_HftermineCTX(context_);
}

void RecordSession::Hmodeperso(int32_t flag) {
  if (HasEngine()) LE_Hmodeperso(context_, flag);
}
void RecordSession::Hseterrignore(int32_t flag) {
  if (HasEngine()) LE_Hseterrignore(context_, flag);
}
void RecordSession::Hsecurite(int32_t level) {
  if (HasEngine()) LE_Hsecurite(context_, level);
}
void RecordSession::Hsetnbessais(int32_t attempts) {
  if (HasEngine()) LE_Hsetnbessais(context_, attempts);
}
void RecordSession::Hsetnbessaismessage(int32_t attempts) {
  if (HasEngine()) LE_Hsetnbessaismessage(context_, attempts);
}
int32_t RecordSession::Hnbessais() {
  return HasEngine() ? LE_Hnbessais(context_) : 0;
}
void RecordSession::Hgeredoublonnon() {
  if (HasEngine()) LE_Hgeredoublonnon(context_);
}
void RecordSession::Hgeretrsnon() {
  if (HasEngine()) LE_Hgeretrsnon(context_);
}
void RecordSession::Hgerejnlnon() {
  if (HasEngine()) LE_Hgerejnlnon(context_);
}
void RecordSession::Hgererepnon() {
  if (HasEngine()) LE_Hgererepnon(context_);
}

bool RecordSession::BeginBatch() {
  return HasEngine() && LE_BeginBatch(context_) != 0;
}
bool RecordSession::EndBatch() {
  return HasEngine() && LE_EndBatch(context_) != 0;
}
bool RecordSession::CancelBatch() {
  return HasEngine() && LE_CancelBatch(context_) != 0;
}

EngineFileError RecordSession::LastFileError() const {
  EngineFileError error;
  if (!HasEngine()) return error;
  char file[64];
  char path[1024];
  char reason[512];
  const int32_t kind =
      LE_LastFileError(context_, file, sizeof file, path, sizeof path, reason, sizeof reason);
  if (kind == 0) return error;
  error.kind = kind >= 1 && kind <= static_cast<int32_t>(FileFaultKind::kServerLost)
                   ? static_cast<FileFaultKind>(kind)
                   : FileFaultKind::kUnusable;
  error.file = file;
  error.path = path;
  error.reason = reason;
  return error;
}

bool RecordSession::HasFileError() const {
  return HasEngine() && LE_LastFileError(context_, nullptr, 0, nullptr, 0, nullptr, 0) != 0;
}

void RecordSession::ClearFileError() {
  if (HasEngine()) LE_ClearFileError(context_);
}

}  // namespace vz::db
