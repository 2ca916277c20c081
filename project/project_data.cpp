#include "project/project_data.h"

#include <cstring>
#include <map>
#include <string>

#include "platform/engine/le_api.h"
#include "src/db/buffer_sync.h"
#include "src/db/catalogue.h"

namespace vz::project {
namespace {

using db::FileId;
using db::SyncOperation;

size_t Index(FileId file) {
  return static_cast<size_t>(file);
}

// Texts reach the engine NUL-terminated and at most 255 characters long, as
// the program's own record operations hand them over.
std::string EngineText(std::string_view text) {
  std::string out(text.substr(0, 255));
  const size_t nul = out.find('\0');
  if (nul != std::string::npos) out.resize(nul);
  return out;
}

}  // namespace

ProjectData::ProjectData(int32_t engine_context) : context_(engine_context) {}

void ProjectData::EnsureDescribed(FileId file) {
  std::unique_ptr<uint8_t[]>& buffer = buffers_[Index(file)];
  if (buffer) return;
  const db::FileDescription& description = db::Describe(file);
  // At least one byte, so that a file with no fields still has an address.
  buffer = std::make_unique<uint8_t[]>(description.buffer_size + 1);
  if (context_ <= 0) return;
  const std::string name(description.name);
  const std::string types(description.types);
  LE_HDecritEnregistrement(context_, name.c_str(), description.record_size,
                           description.field_sizes.data(), description.field_count(), types.c_str(),
                           buffer.get());
}

uint8_t* ProjectData::Buffer(FileId file) {
  EnsureDescribed(file);
  return buffers_[Index(file)].get();
}

size_t ProjectData::BufferSize(FileId file) const {
  return db::Describe(file).buffer_size;
}

void ProjectData::ClearBuffer(FileId file) {
  std::memset(Buffer(file), 0, BufferSize(file));
}

void ProjectData::AfterRead(FileId file) {
  db::SynchroniseBuffer(file, SyncOperation::kRead, Hendehors(), Buffer(file));
}

void ProjectData::Hlitpremier(FileId file, std::string_view key) {
  EnsureDescribed(file);
  const std::string name(db::Describe(file).name);
  if (context_ > 0) LE_Hlitpremier(context_, name.c_str(), EngineText(key).c_str(), 0);
  AfterRead(file);
}

void ProjectData::Hlitrecherche(FileId file, std::string_view key, std::string_view value) {
  EnsureDescribed(file);
  const std::string name(db::Describe(file).name);
  if (context_ > 0) {
    LE_Hlitrecherche(context_, name.c_str(), EngineText(key).c_str(), EngineText(value).c_str(), 0);
  }
  AfterRead(file);
}

void ProjectData::Hlitsuivant(FileId file, std::string_view key) {
  EnsureDescribed(file);
  const std::string name(db::Describe(file).name);
  if (context_ > 0) LE_Hlitsuivant(context_, name.c_str(), EngineText(key).c_str(), 0);
  AfterRead(file);
}

bool ProjectData::Hendehors() const {
  return context_ <= 0 || LE_Hendehors(context_) != 0;
}

bool ProjectData::Hajoute(FileId file) {
  uint8_t* record = Buffer(file);
  db::SynchroniseBuffer(file, SyncOperation::kAdd, false, record);
  const std::string name(db::Describe(file).name);
  const bool done = context_ > 0 && LE_Hajoute(context_, name.c_str(), 0) != 0;
  db::SynchroniseBuffer(file, SyncOperation::kAdd, false, record);
  return done;
}

bool ProjectData::Hmodifie(FileId file) {
  uint8_t* record = Buffer(file);
  db::SynchroniseBuffer(file, SyncOperation::kModify, false, record);
  const std::string name(db::Describe(file).name);
  const bool done = context_ > 0 && LE_Hmodifie(context_, name.c_str(), 0) != 0;
  db::SynchroniseBuffer(file, SyncOperation::kModify, false, record);
  return done;
}

bool ProjectData::Hsupprime(FileId file) {
  uint8_t* record = Buffer(file);
  const std::string name(db::Describe(file).name);
  const bool done = context_ > 0 && LE_Hsupprime(context_, name.c_str(), 0) != 0;
  db::SynchroniseBuffer(file, SyncOperation::kDelete, true, record);
  return done;
}

int64_t ProjectData::Hnumenr(FileId file) {
  if (context_ <= 0) return 0;
  EnsureDescribed(file);
  const std::string name(db::Describe(file).name);
  LE_Hinfogene(context_, name.c_str());
  return LE_Hnumenr(context_);
}

ProjectData& ProjectDataForContext(int32_t engine_context) {
  // Kept for the whole process: the engine holds the buffers' addresses for
  // as long as the context lives.
  static auto* by_context = new std::map<int32_t, std::unique_ptr<ProjectData>>();
  std::unique_ptr<ProjectData>& data = (*by_context)[engine_context];
  if (!data) data = std::make_unique<ProjectData>(engine_context);
  return *data;
}

ProjectData& ProjectDataOf(runtime::CodeContext& context) {
  return ProjectDataForContext(context.EngineContext());
}

}  // namespace vz::project
