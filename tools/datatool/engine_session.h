// The data tool's own context of the record engine over one installation:
// the installation's analysis opened, the 103 files described with buffers
// owned by the session (each exactly the file's described fields, no key
// slots), and the analysis directory "D:\VESTRA" substituted by the data
// directory. Reads fill Buffer(file); writes take it.
//
// The session owns its context: the destructor ends any batch, closes every
// file and ends the context. Open fails (nullptr, `error` set) when the
// analysis cannot be opened or a description is refused.
#ifndef VZ_TOOLS_DATATOOL_ENGINE_SESSION_H_
#define VZ_TOOLS_DATATOOL_ENGINE_SESSION_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/analysis.h"
#include "src/db/file_id.h"
#include "tools/datatool/installation.h"

namespace vz::datatool {

class EngineSession {
 public:
  static std::unique_ptr<EngineSession> Open(const Installation& installation, std::string* error);
  ~EngineSession();
  EngineSession(const EngineSession&) = delete;
  EngineSession& operator=(const EngineSession&) = delete;

  uint8_t* Buffer(vz::db::FileId file) { return buffers_[static_cast<size_t>(file)].data(); }
  const char* Name(vz::db::FileId file) const;

  // The first key of the file in the analysis, or "" when it has none.
  std::string FirstKey(vz::db::FileId file) const;

  bool ReadFirst(vz::db::FileId file, const std::string& key);
  bool ReadNext(vz::db::FileId file, const std::string& key);
  bool Search(vz::db::FileId file, const std::string& key, const std::string& value);
  bool Add(vz::db::FileId file);
  bool Create(vz::db::FileId file);  // the file emptied
  int64_t Count(vz::db::FileId file);

  // Writes between Begin and End go to one transaction per file; Cancel
  // keeps none of them (an emptying by Create made in the batch included).
  bool BeginBatch();
  bool EndBatch();
  void CancelBatch();
  // The last fault of a data file the session's calls met ("FILE: reason"),
  // "" when none (LE_LastFileError).
  std::string FileError() const;

  int32_t handle() const { return ctx_; }

 private:
  EngineSession() = default;

  int32_t ctx_ = 0;
  bool in_batch_ = false;
  vz::engine::Analysis analysis_;
  std::vector<std::vector<uint8_t>> buffers_;
  std::vector<std::string> names_;  // NUL-terminated names for the engine
};

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_ENGINE_SESSION_H_
