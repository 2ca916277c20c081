#include "src/db/record_ops.h"

#include <optional>

#include "platform/engine/le_api.h"
#include "src/db/buffer_sync.h"
#include "src/db/catalogue.h"
#include "src/db/conversion_ring.h"
#include "src/db/file_name_cache.h"

namespace vz::db {
namespace {

int32_t context_handle = 0;

FileNameCache& NameCache() {
  static FileNameCache cache;
  return cache;
}

// Synchronises the buffer of the file as written by the caller, if it is a
// catalogue file; out_of_file is read from the engine only by reads.
void Synchronise(std::string_view file, SyncOperation operation) {
  std::optional<FileId> id = NameCache().Find(file);
  if (!id || !Describe(*id).in_key_table()) return;
  bool out_of_file = operation == SyncOperation::kRead && Hendehors();
  SynchroniseBuffer(*id, operation, out_of_file);
}

}  // namespace

int32_t ContextHandle() {
  return context_handle;
}
void SetContextHandle(int32_t handle) {
  context_handle = handle;
}

void Hajoute(std::string_view file) {
  Synchronise(file, SyncOperation::kAdd);
  LE_Hajoute(context_handle, ToEngine(file), 0);
  Synchronise(file, SyncOperation::kAdd);
}

void Hmodifie(std::string_view file) {
  Synchronise(file, SyncOperation::kModify);
  LE_Hmodifie(context_handle, ToEngine(file), 0);
  Synchronise(file, SyncOperation::kModify);
}

void Hsupprime(std::string_view file) {
  LE_Hsupprime(context_handle, ToEngine(file), 0);
  Synchronise(file, SyncOperation::kDelete);
}

void Hlitpremier(std::string_view file, std::string_view key) {
  const char* engine_key = ToEngine(key);
  LE_Hlitpremier(context_handle, ToEngine(file), engine_key, 0);
  Synchronise(file, SyncOperation::kRead);
}

void Hlitsuivant(std::string_view file, std::string_view key) {
  const char* engine_key = ToEngine(key);
  LE_Hlitsuivant(context_handle, ToEngine(file), engine_key, 0);
  Synchronise(file, SyncOperation::kRead);
}

void Hlitrecherche(std::string_view file, std::string_view key, std::string_view value) {
  const char* engine_value = ToEngine(value);
  const char* engine_key = ToEngine(key);
  LE_Hlitrecherche(context_handle, ToEngine(file), engine_key, engine_value, 0);
  Synchronise(file, SyncOperation::kRead);
}

bool Hendehors() {
  return LE_Hendehors(context_handle) != 0;
}

void Hcreation(std::string_view file) {
  LE_Hcreation(context_handle, ToEngine(file));
}
void Hferme(std::string_view file) {
  LE_Hferme(context_handle, ToEngine(file));
}
void Hinfogene(std::string_view file) {
  LE_Hinfogene(context_handle, ToEngine(file));
}
int32_t Hnbenr() {
  return LE_Hnbenr(context_handle);
}
int32_t Hnumenr() {
  return LE_Hnumenr(context_handle);
}

bool Hsubstnom(std::string_view file, std::string_view physical_name) {
  const char* engine_name = ToEngine(physical_name);
  return LE_Hsubstnom(context_handle, ToEngine(file), engine_name) != 0;
}

void Hsubstrep(std::string_view directory, std::string_view new_directory) {
  const char* engine_new = ToEngine(new_directory);
  LE_Hsubstrep(context_handle, ToEngine(directory), engine_new);
}

int32_t Houvreanalyse(std::string_view path, std::string_view text1, std::string_view text2,
                      std::string_view text3, std::string_view text4) {
  const char* t4 = ToEngine(text4);
  const char* t3 = ToEngine(text3);
  const char* t2 = ToEngine(text2);
  const char* t1 = ToEngine(text1);
  return LE_Houvreanalyse(context_handle, ToEngine(path), t1, t2, t3, t4);
}

void Hmodeperso(int32_t flag) {
  LE_Hmodeperso(context_handle, flag);
}
void Hseterrignore(int32_t flag) {
  LE_Hseterrignore(context_handle, flag);
}
void Hsecurite(int32_t level) {
  LE_Hsecurite(context_handle, level);
}
void Hsetnbessais(int32_t attempts) {
  LE_Hsetnbessais(context_handle, attempts);
}
void Hsetnbessaismessage(int32_t attempts) {
  LE_Hsetnbessaismessage(context_handle, attempts);
}
int32_t Hnbessais() {
  return LE_Hnbessais(context_handle);
}
void Hgeredoublonnon() {
  LE_Hgeredoublonnon(context_handle);
}
void Hgeretrsnon() {
  LE_Hgeretrsnon(context_handle);
}
void Hgerejnlnon() {
  LE_Hgerejnlnon(context_handle);
}
void Hgererepnon() {
  LE_Hgererepnon(context_handle);
}
void HftermineCTX() {
  LE_HftermineCTX(context_handle);
}

}  // namespace vz::db
