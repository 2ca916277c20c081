// The screen project's own access to the database: window code reads and
// writes records through the record engine in the screen runtime's OWN
// context (the one "HFCTX" returns and the program shares its files with),
// with record buffers and positions of its own, so that window code never
// disturbs the program's current records or its buffers.
//
// A ProjectData belongs to one engine context. A file is described to that
// context on its first use, with the catalogue's sizes and types
// (src/db/catalogue.h) and a buffer that the ProjectData owns and keeps for as
// long as the process runs (the engine holds its address). Each operation
// keeps that buffer in step with the engine exactly as the program's record
// operations do (src/db/buffer_sync.h): keys rebuilt, long texts split before
// writes and joined after reads, the whole buffer zeroed when no record is
// current. The named field accessors of src/db/layouts apply to Buffer():
//   vz::db::QueryLineRecord line{data.Buffer(vz::db::FileId::REQUETES)};
//
// Use from window code:
//   ProjectData& data = ProjectDataOf(context);  // context: runtime::CodeContext
//   data.Hlitrecherche(FileId::RDV, "KEY1", "20270115");
//   while (!data.Hendehors()) { ...; data.Hlitsuivant(FileId::RDV, "KEY1"); }
//
// Failure: nothing throws and nothing shows a window. Without a record engine
// context (HFCTX gave 0) every read is out of file with a zeroed buffer and
// every write returns false. A write the engine refuses returns false and
// leaves the buffer as the caller filled it (keys rebuilt). Single-threaded,
// like the runtime.
#ifndef VZ_PROJECT_PROJECT_DATA_H_
#define VZ_PROJECT_PROJECT_DATA_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/runtime/code_registry.h"
#include "src/db/file_id.h"

namespace vz::project {

inline constexpr size_t kCatalogueFileCount = 103;

class ProjectData {
 public:
  // REQUIRES: engine_context is the runtime's context, or 0 when none.
  explicit ProjectData(int32_t engine_context);
  ProjectData(const ProjectData&) = delete;
  ProjectData& operator=(const ProjectData&) = delete;

  int32_t engine_context() const { return context_; }

  // The project's buffer of the file, described to the engine on first use.
  uint8_t* Buffer(db::FileId file);
  size_t BufferSize(db::FileId file) const;
  // Zeroes the buffer: a fresh record to fill before Hajoute.
  void ClearBuffer(db::FileId file);

  // Reads into the project's buffer. A search positions on the first record
  // whose key is greater than or equal to the value; callers check the
  // record they got.
  void Hlitpremier(db::FileId file, std::string_view key);
  void Hlitrecherche(db::FileId file, std::string_view key, std::string_view value);
  void Hlitsuivant(db::FileId file, std::string_view key);
  // True when the last read of this context found no record.
  bool Hendehors() const;

  // Writes from the project's buffer; modify and delete act on the record
  // last read in this context. True when the engine did the write.
  bool Hajoute(db::FileId file);
  bool Hmodifie(db::FileId file);
  bool Hsupprime(db::FileId file);

  // The engine's number of the file's current record in this context, 0 when
  // none (identifies one of several records with the same key).
  int64_t Hnumenr(db::FileId file);

 private:
  void EnsureDescribed(db::FileId file);
  void AfterRead(db::FileId file);

  int32_t context_;
  std::array<std::unique_ptr<uint8_t[]>, kCatalogueFileCount> buffers_{};
};

// The ProjectData of the runtime session whose code runs: one per engine
// context for the whole process (handles are never reused, so a new session
// starts clean). Creates the runtime's engine context if needed.
ProjectData& ProjectDataOf(runtime::CodeContext& context);

// The same for a known engine context handle (tests, tools).
ProjectData& ProjectDataForContext(int32_t engine_context);

}  // namespace vz::project

#endif  // VZ_PROJECT_PROJECT_DATA_H_
