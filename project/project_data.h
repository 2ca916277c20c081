// The screen project's own access to the database: window code reads and
// writes records through a record session (src/db/record_session.h) in the
// screen runtime's OWN context (the one "HFCTX" returns and the program shares
// its files with), with record buffers and positions of its own, so that
// window code never disturbs the program's current records or its buffers.
//
// There is one session per engine context for the whole process; it owns its
// buffers and keeps them as long as the process runs (the engine holds their
// addresses). A file is described to that context on its first use. The named
// field accessors of src/db/layouts apply to the session's Buffer():
//   vz::db::QueryLineRecord line{data.Buffer(vz::db::FileId::REQUETES)};
//
// Use from window code:
//   vz::db::RecordSession& data = ProjectDataOf(context);  // runtime::CodeContext
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

#include <cstdint>

#include "platform/runtime/code_registry.h"
#include "src/db/record_session.h"

namespace vz::project {

// The record session of the runtime session whose code runs: one per engine
// context for the whole process (handles are never reused, so a new session
// starts clean). Creates the runtime's engine context if needed.
db::RecordSession& ProjectDataOf(runtime::CodeContext& context);

// The same for a known engine context handle (tests, tools).
db::RecordSession& ProjectDataForContext(int32_t engine_context);

}  // namespace vz::project

#endif  // VZ_PROJECT_PROJECT_DATA_H_
