#include "project/query_windows_test_support.h"

#include <stdlib.h>

#include <cstring>

#include "platform/engine/le_api.h"
#include "project/project_code.h"
#include "src/db/analysis_writer.h"
#include "src/db/catalogue.h"
#include "src/db/describe.h"
#include "src/db/layouts/code_label.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"

namespace vz::project {

namespace fs = std::filesystem;

void QueryWindowsTest::SetUp() {
  std::string pattern = (fs::temp_directory_path() / "vz_query_windows_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  fs::create_directories(root_ / "HSF");
  fs::create_directories(root_ / "DATA");
  ASSERT_TRUE(db::WriteAnalysisFile(root_ / "HSF" / "vestra.wdd"));
  for (const db::FileDescription& file : db::Catalogue()) {
    std::memset(db::RecordBuffer(file.id), 0, db::RecordBufferSize(file.id));
  }
  runtime_context_ = LE_CreateContexteHF(103);
  db::SetContextHandle(LE_CreateContexteHF(103));
  db::DescribeAllFiles();
  ASSERT_NE(LE_Hinitpartage(db::ContextHandle(), runtime_context_), 0);
  ASSERT_NE(db::Houvreanalyse((root_ / "HSF" / "vestra.wdd").string(), "", "", "", ""), 0);
  db::Hsubstrep(db::kPlaceholderDirectory, (root_ / "DATA").string());
  db::Hseterrignore(1);

  runtime::Session::Setup setup;
  setup.front_end = &front_;
  setup.transcript = &transcript_;
  setup.directory = VZ_PROJECT_DIR;
  const int32_t context = runtime_context_;
  setup.create_engine_context = [context] { return context; };
  RegisterProjectCode(setup.registry);
  session_ = std::make_unique<runtime::Session>(std::move(setup));
  ASSERT_EQ(session_->Execute("BIBLI,disque,ORVANE.wdl").value, 0);
  ASSERT_EQ(session_->Execute("PROJET,ORVANE.WDP").value, 0);
}

void QueryWindowsTest::TearDown() {
  session_.reset();
  db::Hferme("");
  db::HftermineCTX();
  LE_HftermineCTX(runtime_context_);
  db::SetContextHandle(0);
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void QueryWindowsTest::AddCodeLabel(db::FileId file, std::string_view prefix,
                                    std::string_view number, std::string_view label) {
  uint8_t* buffer = db::RecordBuffer(file);
  std::memset(buffer, 0, db::RecordBufferSize(file));
  const std::string name(db::Describe(file).name);
  if (file == db::FileId::PROFES) {
    db::ProfessionRecord record{buffer};
    record.SetPrefix(prefix);
    record.SetNumber(number);
    record.SetLabel(label);
  } else {
    db::AnnexRecord record{buffer};
    record.SetPrefix(prefix);
    record.SetNumber(number);
    record.SetLabel(label);
  }
  db::Hajoute(name);
}

void QueryWindowsTest::AddQueryLine(std::string_view code, std::string_view key,
                                    std::string_view text, std::string_view state) {
  uint8_t* buffer = db::RecordBuffer(db::FileId::REQUETES);
  std::memset(buffer, 0, db::RecordBufferSize(db::FileId::REQUETES));
  db::QueryLineRecord line{buffer};
  line.SetPrefix(code.substr(0, 2));
  line.SetNumber(code.substr(2));
  line.SetCriteriaKey(key);
  line.SetLineText(text);
  line.SetState(state);
  line.SetMarker("E");
  db::Hajoute("REQUETES");
}

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
