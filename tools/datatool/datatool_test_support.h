// Helpers of the data tool's tests: a temporary folder removed at the end of
// the test, a sink that keeps the generated records in memory, and reading
// every record of a file of an installation in key order.
#ifndef VZ_TOOLS_DATATOOL_DATATOOL_TEST_SUPPORT_H_
#define VZ_TOOLS_DATATOOL_DATATOOL_TEST_SUPPORT_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "src/db/file_id.h"
#include "tools/datatool/engine_session.h"
#include "tools/datatool/record_writer.h"

namespace vz::datatool::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Keeps every record, per file, in the order received.
class MemorySink : public RecordSink {
 public:
  bool Add(vz::db::FileId file, const uint8_t* record) override;
  const std::vector<std::string>& Records(vz::db::FileId file) { return records_[file]; }
  bool Checkpoint() override { return ++checkpoints != fail_checkpoint; }
  int refuse_after = -1;  // refuse the record after this many, -1: never
  int checkpoints = 0;
  int fail_checkpoint = -1;  // the checkpoint that fails, -1: none

 private:
  std::map<vz::db::FileId, std::vector<std::string>> records_;
  int added_ = 0;
};

// The described bytes of every record of `file`, in the order of its first key.
std::vector<std::string> ReadAll(EngineSession& session, vz::db::FileId file);

std::string WriteText(const std::string& path, const std::string& contents);

}  // namespace vz::datatool::testing

#endif  // VZ_TOOLS_DATATOOL_DATATOOL_TEST_SUPPORT_H_
