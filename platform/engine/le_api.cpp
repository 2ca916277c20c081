// The LE_ functions: a registry of contexts behind one lock, the call log, and
// the dispatch to Context. Handles are positive and never reused.
//
// The out-of-file state, asked after every record read, is answered without
// the lock: each call that may change it publishes it into a table of flags
// by handle, whose chunks are never freed (a handle past the table, or a log
// being written, takes the lock as every other call does).
#include "platform/engine/le_api.h"

#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"
#include "platform/engine/call_log.h"
#include "platform/engine/context.h"
#include "platform/engine/paths.h"
#include "platform/engine/record_layout.h"
#include "platform/engine/store.h"
#include "platform/os/ascii_case.h"

using vz::engine::Context;
using vz::engine::LogEnabled;
using vz::engine::LogLine;

namespace {

std::mutex& Lock() {
  static std::mutex* mutex = new std::mutex();  // outlives static destruction
  return *mutex;
}

std::vector<std::unique_ptr<Context>>& Contexts() {
  static auto* contexts = new std::vector<std::unique_ptr<Context>>();
  return *contexts;
}

Context* Find(int32_t handle) {
  auto& contexts = Contexts();
  if (handle < 1 || static_cast<std::size_t>(handle) > contexts.size()) return nullptr;
  return contexts[static_cast<std::size_t>(handle - 1)].get();
}

// Out-of-file flags by handle - 1 (1 = out of file), in chunks.
constexpr std::size_t kFlagsPerChunk = 4096;
constexpr std::size_t kFlagChunks = 4096;
using FlagChunk = std::array<std::atomic<uint8_t>, kFlagsPerChunk>;

std::array<std::atomic<FlagChunk*>, kFlagChunks>& FlagChunks() {
  static auto* chunks = new std::array<std::atomic<FlagChunk*>, kFlagChunks>();
  return *chunks;
}

// The flag of `handle`, or null when the table does not reach it.
std::atomic<uint8_t>* OutOfFileFlag(int32_t handle) {
  if (handle < 1) return nullptr;
  const std::size_t index = static_cast<std::size_t>(handle - 1);
  if (index / kFlagsPerChunk >= kFlagChunks) return nullptr;
  FlagChunk* chunk = FlagChunks()[index / kFlagsPerChunk].load(std::memory_order_acquire);
  return chunk != nullptr ? &(*chunk)[index % kFlagsPerChunk] : nullptr;
}

// Under the lock: makes room for the flag of a new handle (out of file).
void AddOutOfFileFlag(int32_t handle) {
  const std::size_t index = static_cast<std::size_t>(handle - 1);
  if (index / kFlagsPerChunk >= kFlagChunks) return;
  std::atomic<FlagChunk*>& slot = FlagChunks()[index / kFlagsPerChunk];
  if (slot.load(std::memory_order_relaxed) == nullptr) {
    auto* chunk = new FlagChunk();  // never freed: read without the lock
    for (auto& flag : *chunk) flag.store(1, std::memory_order_relaxed);
    slot.store(chunk, std::memory_order_release);
  }
}

// Under the lock: publishes the context's out-of-file state.
void PublishOutOfFile(int32_t handle, bool out_of_file) {
  if (std::atomic<uint8_t>* flag = OutOfFileFlag(handle)) {
    flag->store(out_of_file ? 1 : 0, std::memory_order_release);
  }
}

// Reads and writes: run `f` and publish the out-of-file state it leaves.
template <typename F>
int32_t WithFileCall(int32_t handle, F f) {
  Context* context = Find(handle);
  if (context == nullptr) return 0;
  int32_t result = f(*context);
  PublishOutOfFile(handle, context->out_of_file());
  return result;
}

const char* Safe(const char* text) {
  return text != nullptr ? text : "";
}

// Logs a call with names and texts: Log("LE_Hferme").Name(file).Write().
#define VZ_LOG(expr)                \
  do {                              \
    if (LogEnabled()) LogLine expr; \
  } while (0)

// Settings functions: store the value, return 1 (0 for an unknown context).
template <typename F>
int32_t WithContext(int32_t handle, F f) {
  Context* context = Find(handle);
  if (context == nullptr) return 0;
  return f(*context);
}

}  // namespace

extern "C" {

int32_t LE_CreateContexteHF(int32_t description_count) {
  std::lock_guard<std::mutex> guard(Lock());
  vz::engine::ReadLogSetting();
  VZ_LOG(("LE_CreateContexteHF").Int(description_count).Write());
  if (description_count < 0) return 0;
  auto& contexts = Contexts();
  if (contexts.size() >= 0x7FFFFFFE) return 0;
  int32_t handle = static_cast<int32_t>(contexts.size() + 1);
  contexts.push_back(std::make_unique<Context>(handle, std::make_shared<vz::engine::Store>()));
  AddOutOfFileFlag(handle);
  return handle;
}

int32_t LE_HftermineCTX(int32_t ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_HftermineCTX").Write());
  Context* context = Find(ctx);
  if (context == nullptr) return 0;
  Contexts()[static_cast<std::size_t>(ctx - 1)].reset();
  PublishOutOfFile(ctx, true);
  return 1;
}

int32_t LE_HDecritEnregistrement(int32_t ctx, const char* file, int32_t record_size,
                                 const int32_t* field_sizes, int32_t field_count, const char* types,
                                 void* buffer) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_HDecritEnregistrement")
             .Name(file)
             .Int(record_size)
             .Int(field_count)
             .Text(types != nullptr && field_count > 0 && field_count <= 4096
                       ? std::string_view(types,
                                          ::strnlen(types, static_cast<std::size_t>(field_count)))
                       : std::string_view())
             .Write());
  Context* context = Find(ctx);
  if (context == nullptr) return 0;
  vz::engine::RecordDescription description;
  std::string why;
  if (!vz::engine::RecordDescription::Make(file, record_size, field_sizes, field_count, types,
                                           buffer, &description, &why)) {
    vz::engine::LogFileError(Safe(file), "", "description refused: " + why);
    return 0;
  }
  context->Describe(std::move(description));
  return 1;
}

int32_t LE_Hinitpartage(int32_t ctx, int32_t shared_ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hinitpartage").Int(shared_ctx).Write());
  Context* context = Find(ctx);
  Context* other = Find(shared_ctx);
  if (context == nullptr || other == nullptr) return 0;
  context->Share(other->shared_store());
  return 1;
}

int32_t LE_Houvreanalyse(int32_t ctx, const char* path, const char* text1, const char* text2,
                         const char* text3, const char* text4) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Houvreanalyse").Text(path).Text(text1).Text(text2).Text(text3).Text(text4).Write());
  Context* context = Find(ctx);
  if (context == nullptr || path == nullptr || path[0] == '\0') return 0;
  std::string mapped = vz::engine::MapWindowsPath(path);
  vz::engine::AnalysisError error;
  std::optional<vz::engine::Analysis> analysis = vz::engine::LoadAnalysis(mapped, &error);
  if (!analysis) {
    std::string reason = error.line > 0 ? vz::engine::Numbered("line ", error.line) + ": " : "";
    vz::engine::LogFileError("-", mapped, "analysis refused: " + reason + error.message);
    return 0;
  }
  context->store().SetAnalysis(std::move(*analysis));
  return 1;
}

int32_t LE_Hsubstrep(int32_t ctx, const char* directory, const char* new_directory) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hsubstrep").Text(directory).Text(new_directory).Write());
  return WithContext(ctx, [&](Context& c) {
    if (directory == nullptr || new_directory == nullptr) return 0;
    c.store().SubstituteDirectory(directory, new_directory);
    return 1;
  });
}

int32_t LE_Hmodeperso(int32_t ctx, int32_t flag) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hmodeperso").Int(flag).Write());
  return WithContext(ctx, [&](Context& c) { return c.settings().personal_mode = flag, 1; });
}

int32_t LE_Hsecurite(int32_t ctx, int32_t level) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hsecurite").Int(level).Write());
  return WithContext(ctx, [&](Context& c) { return c.settings().security = level, 1; });
}

int32_t LE_Hgeredoublonnon(int32_t ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hgeredoublonnon").Write());
  return WithContext(ctx,
                     [](Context& c) { return c.settings().no_duplicate_management = true, 1; });
}

int32_t LE_Hgeretrsnon(int32_t ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hgeretrsnon").Write());
  return WithContext(ctx, [](Context& c) { return c.settings().no_transactions = true, 1; });
}

int32_t LE_Hgerejnlnon(int32_t ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hgerejnlnon").Write());
  return WithContext(ctx, [](Context& c) { return c.settings().no_journal = true, 1; });
}

int32_t LE_Hgererepnon(int32_t ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hgererepnon").Write());
  return WithContext(ctx, [](Context& c) { return c.settings().no_replication = true, 1; });
}

int32_t LE_Hseterrignore(int32_t ctx, int32_t flag) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hseterrignore").Int(flag).Write());
  return WithContext(ctx, [&](Context& c) { return c.settings().ignore_errors = flag, 1; });
}

int32_t LE_Hsetnbessais(int32_t ctx, int32_t attempts) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hsetnbessais").Int(attempts).Write());
  return WithContext(ctx, [&](Context& c) { return c.settings().attempts = attempts, 1; });
}

int32_t LE_Hnbessais(int32_t ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hnbessais").Write());
  return WithContext(ctx, [](Context& c) { return c.settings().attempts; });
}

int32_t LE_Hsetnbessaismessage(int32_t ctx, int32_t attempts) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hsetnbessaismessage").Int(attempts).Write());
  return WithContext(ctx, [&](Context& c) { return c.settings().attempts_message = attempts, 1; });
}

int32_t LE_Hsubstnom(int32_t ctx, const char* file, const char* physical_name) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hsubstnom").Name(file).Text(physical_name).Write());
  return WithContext(ctx, [&](Context& c) {
    if (file == nullptr || file[0] == '\0' || physical_name == nullptr) return 0;
    if (physical_name[0] != '\0' && !vz::engine::IsValidPhysicalName(physical_name)) {
      vz::engine::LogFileError(file, "", "physical name refused");
      return 0;
    }
    c.store().SubstituteName(file, physical_name);
    c.ForgetPosition(vz::os::AsciiUpper(file));
    return 1;
  });
}

int32_t LE_Hcreation(int32_t ctx, const char* file) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hcreation").Name(file).Write());
  return WithContext(ctx, [&](Context& c) { return c.Create(file) ? 1 : 0; });
}

int32_t LE_Hferme(int32_t ctx, const char* file) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hferme").Name(file).Write());
  return WithContext(ctx, [&](Context& c) { return c.Close(file), 1; });
}

int32_t LE_Hlitpremier(int32_t ctx, const char* file, const char* key, int32_t) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hlitpremier").Name(file).Name(key).Write());
  return WithFileCall(ctx, [&](Context& c) { return c.ReadFirst(file, key), !c.out_of_file(); });
}

int32_t LE_Hlitsuivant(int32_t ctx, const char* file, const char* key, int32_t) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hlitsuivant").Name(file).Name(key).Write());
  return WithFileCall(ctx, [&](Context& c) { return c.ReadNext(file, key), !c.out_of_file(); });
}

int32_t LE_Hlitrecherche(int32_t ctx, const char* file, const char* key, const char* value,
                         int32_t) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hlitrecherche").Name(file).Name(key).Text(value).Write());
  return WithFileCall(ctx,
                      [&](Context& c) { return c.Search(file, key, value), !c.out_of_file(); });
}

int32_t LE_Hendehors(int32_t ctx) {
  if (vz::engine::LogKnownOff()) {
    if (std::atomic<uint8_t>* flag = OutOfFileFlag(ctx)) {
      return flag->load(std::memory_order_acquire) != 0 ? 1 : 0;
    }
  }
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hendehors").Write());
  Context* context = Find(ctx);
  return (context == nullptr || context->out_of_file()) ? 1 : 0;
}

int32_t LE_Hajoute(int32_t ctx, const char* file, int32_t) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hajoute").Name(file).Write());
  return WithFileCall(ctx, [&](Context& c) { return c.Add(file) ? 1 : 0; });
}

int32_t LE_Hmodifie(int32_t ctx, const char* file, int32_t) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hmodifie").Name(file).Write());
  return WithFileCall(ctx, [&](Context& c) { return c.Modify(file) ? 1 : 0; });
}

int32_t LE_Hsupprime(int32_t ctx, const char* file, int32_t) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hsupprime").Name(file).Write());
  return WithFileCall(ctx, [&](Context& c) { return c.Remove(file) ? 1 : 0; });
}

int32_t LE_Hinfogene(int32_t ctx, const char* file) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hinfogene").Name(file).Write());
  return WithContext(ctx, [&](Context& c) { return c.SetInfoFile(file), 1; });
}

int32_t LE_Hnbenr(int32_t ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hnbenr").Write());
  return WithContext(ctx, [](Context& c) {
    int64_t count = c.RecordCount();
    return static_cast<int32_t>(count > 0x7FFFFFFF ? 0x7FFFFFFF : count);
  });
}

int32_t LE_Hnumenr(int32_t ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_Hnumenr").Write());
  return WithContext(ctx, [](Context& c) {
    int64_t recno = c.CurrentRecord();
    return static_cast<int32_t>(recno > 0x7FFFFFFF ? 0x7FFFFFFF : recno);
  });
}

int32_t LE_BeginBatch(int32_t ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_BeginBatch").Write());
  return WithContext(ctx, [](Context& c) { return c.store().BeginBatch(), 1; });
}

int32_t LE_EndBatch(int32_t ctx) {
  std::lock_guard<std::mutex> guard(Lock());
  VZ_LOG(("LE_EndBatch").Write());
  return WithContext(ctx, [&](Context& c) {
    vz::engine::Attempts attempts{c.settings().attempts, 20};
    return c.store().EndBatch(attempts) ? 1 : 0;
  });
}

}  // extern "C"
