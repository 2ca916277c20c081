#include "project/project_data.h"

#include <map>
#include <memory>

namespace vz::project {

db::RecordSession& ProjectDataForContext(int32_t engine_context) {
  // Kept for the whole process: the engine holds the buffers' addresses for
  // as long as the context lives.
  static auto* by_context = new std::map<int32_t, std::unique_ptr<db::RecordSession>>();
  std::unique_ptr<db::RecordSession>& session = (*by_context)[engine_context];
  if (!session) session = std::make_unique<db::RecordSession>(engine_context);
  return *session;
}

db::RecordSession& ProjectDataOf(runtime::CodeContext& context) {
  return ProjectDataForContext(context.EngineContext());
}

}  // namespace vz::project
