#include "project/query_windows_test_support.h"

#include "src/db/layouts/requetes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"

namespace vz::project {

std::vector<StoredLine> QueryWindowsTest::StoredLines(std::string_view code) {
  std::vector<StoredLine> lines;
  db::QueryLineRecord line{db::RecordBuffer(db::FileId::REQUETES)};
  for (db::Hlitrecherche("REQUETES", "CODREQ", code);
       !db::Hendehors() && line.Codreq().substr(0, 8) == code;
       db::Hlitsuivant("REQUETES", "CODREQ")) {
    lines.push_back({std::string(line.Codreq()), std::string(line.CriteriaKey()),
                     std::string(line.LineText()), std::string(line.State()),
                     std::string(line.Marker())});
  }
  return lines;
}

runtime::Window& QueryWindowsTest::Open(std::string_view window) {
  EXPECT_EQ(session_->Execute("Ouvre," + std::string(window)).value, 0) << window;
  return *session_->CurrentWindow();
}

}  // namespace vz::project
