// The LE_ functions: a registry of contexts, the call log, and the dispatch
// to Context. Handles are positive and never reused. Single-threaded, as the
// program: nothing here locks. The out-of-file state, asked after every
// record read, is the context's own flag: one look-up by handle.
//
// Every store opens its files through ProcessStorage() (process_storage.h):
// the store the program chose (store_choice.h), or a wrapper over it.
#include "platform/engine/le_api.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"
#include "platform/engine/call_log.h"
#include "platform/engine/context.h"
#include "platform/engine/paths.h"
#include "platform/engine/process_storage.h"
#include "platform/engine/record_layout.h"
#include "platform/engine/store.h"
#include "platform/os/ascii_case.h"

using vz::engine::Context;
using vz::engine::LogEnabled;
using vz::engine::LogLine;
using vz::engine::Settings;

namespace {

std::vector<std::unique_ptr<Context>>& Contexts() {
  static auto* contexts = new std::vector<std::unique_ptr<Context>>();
  return *contexts;
}

Context* Find(int32_t handle) {
  auto& contexts = Contexts();
  if (handle < 1 || static_cast<std::size_t>(handle) > contexts.size()) return nullptr;
  return contexts[static_cast<std::size_t>(handle - 1)].get();
}

const char* Safe(const char* text) {
  return text != nullptr ? text : "";
}

// Logs a call with names and texts: VZ_LOG(("LE_Hferme").Name(file).Write()).
#define VZ_LOG(expr)                \
  do {                              \
    if (LogEnabled()) LogLine expr; \
  } while (0)

// Runs `f` on the context (0 for an unknown context); the faults of data
// files met meanwhile become the context's file error.
template <typename F>
int32_t WithContext(int32_t handle, F f) {
  Context* context = Find(handle);
  if (context == nullptr) return 0;
  vz::engine::ScopedFileErrorTarget target(&context->file_error());
  return f(*context);
}

// Copies `text` into `out` (room for `size` bytes, NUL included), cut.
void CopyOut(const std::string& text, char* out, int32_t size) {
  if (out == nullptr || size <= 0) return;
  const std::size_t room = static_cast<std::size_t>(size) - 1;
  const std::size_t length = text.size() < room ? text.size() : room;
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

// The settings that only store what they are given: log, store, return 1.
int32_t StoreSetting(const char* function, int32_t handle, int32_t Settings::*setting,
                     int32_t value) {
  VZ_LOG((function).Int(value).Write());
  return WithContext(handle, [&](Context& c) { return c.settings().*setting = value, 1; });
}

int32_t SetFlag(const char* function, int32_t handle, bool Settings::*flag) {
  VZ_LOG((function).Write());
  return WithContext(handle, [&](Context& c) { return c.settings().*flag = true, 1; });
}

}  // namespace

extern "C" {

int32_t LE_CreateContexteHF(int32_t description_count) {
  vz::engine::ReadLogSetting();
  VZ_LOG(("LE_CreateContexteHF").Int(description_count).Write());
  if (description_count < 0) return 0;
  auto& contexts = Contexts();
  if (contexts.size() >= 0x7FFFFFFE) return 0;
  int32_t handle = static_cast<int32_t>(contexts.size() + 1);
  contexts.push_back(std::make_unique<Context>(
      handle, std::make_shared<vz::engine::Store>(vz::engine::ProcessStorage())));
  return handle;
}

int32_t LE_HftermineCTX(int32_t ctx) {
  VZ_LOG(("LE_HftermineCTX").Write());
  Context* context = Find(ctx);
  if (context == nullptr) return 0;
  vz::engine::ScopedFileErrorTarget nowhere(nullptr);  // the context goes
  Contexts()[static_cast<std::size_t>(ctx - 1)].reset();
  return 1;
}

int32_t LE_HDecritEnregistrement(int32_t ctx, const char* file, int32_t record_size,
                                 const int32_t* field_sizes, int32_t field_count, const char* types,
                                 void* buffer) {
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
  VZ_LOG(("LE_Hinitpartage").Int(shared_ctx).Write());
  Context* context = Find(ctx);
  Context* other = Find(shared_ctx);
  if (context == nullptr || other == nullptr) return 0;
  context->Share(other->shared_store());
  return 1;
}

int32_t LE_Houvreanalyse(int32_t ctx, const char* path, const char* text1, const char* text2,
                         const char* text3, const char* text4) {
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
  VZ_LOG(("LE_Hsubstrep").Text(directory).Text(new_directory).Write());
  return WithContext(ctx, [&](Context& c) {
    if (directory == nullptr || new_directory == nullptr) return 0;
    c.store().SubstituteDirectory(directory, new_directory);
    return 1;
  });
}

int32_t LE_Hmodeperso(int32_t ctx, int32_t flag) {
  return StoreSetting("LE_Hmodeperso", ctx, &Settings::personal_mode, flag);
}

int32_t LE_Hsecurite(int32_t ctx, int32_t level) {
  return StoreSetting("LE_Hsecurite", ctx, &Settings::security, level);
}

int32_t LE_Hgeredoublonnon(int32_t ctx) {
  return SetFlag("LE_Hgeredoublonnon", ctx, &Settings::no_duplicate_management);
}

int32_t LE_Hgeretrsnon(int32_t ctx) {
  return SetFlag("LE_Hgeretrsnon", ctx, &Settings::no_transactions);
}

int32_t LE_Hgerejnlnon(int32_t ctx) {
  return SetFlag("LE_Hgerejnlnon", ctx, &Settings::no_journal);
}

int32_t LE_Hgererepnon(int32_t ctx) {
  return SetFlag("LE_Hgererepnon", ctx, &Settings::no_replication);
}

int32_t LE_Hseterrignore(int32_t ctx, int32_t flag) {
  return StoreSetting("LE_Hseterrignore", ctx, &Settings::ignore_errors, flag);
}

int32_t LE_Hsetnbessais(int32_t ctx, int32_t attempts) {
  return StoreSetting("LE_Hsetnbessais", ctx, &Settings::attempts, attempts);
}

int32_t LE_Hnbessais(int32_t ctx) {
  VZ_LOG(("LE_Hnbessais").Write());
  return WithContext(ctx, [](Context& c) { return c.settings().attempts; });
}

int32_t LE_Hsetnbessaismessage(int32_t ctx, int32_t attempts) {
  return StoreSetting("LE_Hsetnbessaismessage", ctx, &Settings::attempts_message, attempts);
}

int32_t LE_Hsubstnom(int32_t ctx, const char* file, const char* physical_name) {
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
  VZ_LOG(("LE_Hcreation").Name(file).Write());
  return WithContext(ctx, [&](Context& c) { return c.Create(file) ? 1 : 0; });
}

int32_t LE_Hferme(int32_t ctx, const char* file) {
  VZ_LOG(("LE_Hferme").Name(file).Write());
  return WithContext(ctx, [&](Context& c) { return c.Close(file), 1; });
}

int32_t LE_Hlitpremier(int32_t ctx, const char* file, const char* key, int32_t) {
  VZ_LOG(("LE_Hlitpremier").Name(file).Name(key).Write());
  return WithContext(ctx, [&](Context& c) { return c.ReadFirst(file, key), !c.out_of_file(); });
}

int32_t LE_Hlitsuivant(int32_t ctx, const char* file, const char* key, int32_t) {
  VZ_LOG(("LE_Hlitsuivant").Name(file).Name(key).Write());
  return WithContext(ctx, [&](Context& c) { return c.ReadNext(file, key), !c.out_of_file(); });
}

int32_t LE_Hlitrecherche(int32_t ctx, const char* file, const char* key, const char* value,
                         int32_t) {
  VZ_LOG(("LE_Hlitrecherche").Name(file).Name(key).Text(value).Write());
  return WithContext(ctx, [&](Context& c) { return c.Search(file, key, value), !c.out_of_file(); });
}

int32_t LE_Hendehors(int32_t ctx) {
  VZ_LOG(("LE_Hendehors").Write());
  Context* context = Find(ctx);
  return (context == nullptr || context->out_of_file()) ? 1 : 0;
}

int32_t LE_Hajoute(int32_t ctx, const char* file, int32_t) {
  VZ_LOG(("LE_Hajoute").Name(file).Write());
  return WithContext(ctx, [&](Context& c) { return c.Add(file) ? 1 : 0; });
}

int32_t LE_Hmodifie(int32_t ctx, const char* file, int32_t) {
  VZ_LOG(("LE_Hmodifie").Name(file).Write());
  return WithContext(ctx, [&](Context& c) { return c.Modify(file) ? 1 : 0; });
}

int32_t LE_Hsupprime(int32_t ctx, const char* file, int32_t) {
  VZ_LOG(("LE_Hsupprime").Name(file).Write());
  return WithContext(ctx, [&](Context& c) { return c.Remove(file) ? 1 : 0; });
}

int32_t LE_Hinfogene(int32_t ctx, const char* file) {
  VZ_LOG(("LE_Hinfogene").Name(file).Write());
  return WithContext(ctx, [&](Context& c) { return c.SetInfoFile(file), 1; });
}

int32_t LE_Hnbenr(int32_t ctx) {
  VZ_LOG(("LE_Hnbenr").Write());
  return WithContext(ctx, [](Context& c) {
    int64_t count = c.RecordCount();
    return static_cast<int32_t>(count > 0x7FFFFFFF ? 0x7FFFFFFF : count);
  });
}

int32_t LE_Hnumenr(int32_t ctx) {
  VZ_LOG(("LE_Hnumenr").Write());
  return WithContext(ctx, [](Context& c) {
    int64_t recno = c.CurrentRecord();
    return static_cast<int32_t>(recno > 0x7FFFFFFF ? 0x7FFFFFFF : recno);
  });
}

int32_t LE_BeginBatch(int32_t ctx) {
  VZ_LOG(("LE_BeginBatch").Write());
  return WithContext(ctx, [](Context& c) { return c.store().BeginBatch(), 1; });
}

int32_t LE_EndBatch(int32_t ctx) {
  VZ_LOG(("LE_EndBatch").Write());
  return WithContext(ctx, [&](Context& c) {
    vz::engine::Attempts attempts{c.settings().attempts, 20};
    return c.store().EndBatch(attempts) ? 1 : 0;
  });
}

int32_t LE_CancelBatch(int32_t ctx) {
  VZ_LOG(("LE_CancelBatch").Write());
  return WithContext(ctx, [](Context& c) { return c.store().CancelBatch(), 1; });
}

int32_t LE_LastFileError(int32_t ctx, char* file, int32_t file_size, char* path, int32_t path_size,
                         char* reason, int32_t reason_size) {
  Context* context = Find(ctx);
  if (context == nullptr) return 0;
  const vz::engine::FileError& error = context->file_error();
  CopyOut(error.file, file, file_size);
  CopyOut(error.path, path, path_size);
  CopyOut(error.reason, reason, reason_size);
  return static_cast<int32_t>(error.fault);
}

int32_t LE_ClearFileError(int32_t ctx) {
  Context* context = Find(ctx);
  if (context == nullptr) return 0;
  context->file_error() = vz::engine::FileError();
  return 1;
}

}  // extern "C"
