#include "src/queries/query_test_database.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>

#include "platform/engine/le_api.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/analysis_writer.h"
#include "src/db/catalogue.h"
#include "src/db/describe.h"
#include "src/db/layouts/code_label.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"

namespace vz::queries::testing {
namespace {

namespace fs = std::filesystem;

void ClearBuffer(db::FileId id) {
  std::memset(db::RecordBuffer(id), 0, db::RecordBufferSize(id));
}

std::string Field(const uint8_t* data, size_t offset, size_t width) {
  return std::string(reinterpret_cast<const char*>(data + offset), width + 1);
}

StoredQueryLine FromBuffer() {
  db::QueryLineRecord r = db::CurrentQueryLine();
  StoredQueryLine line;
  line.codreq = std::string(r.Codreq());
  line.codreq1 = std::string(r.Codreq1());
  line.prefix = std::string(r.Prefix());
  line.number = std::string(r.Number());
  line.key = std::string(r.CriteriaKey());
  line.text = std::string(r.LineText());
  for (size_t i = 0; i < db::layout::kLongTextPieceCount; ++i) line.pieces += r.Piece(i);
  line.state = std::string(r.State());
  line.origin = std::string(r.Marker());
  using Q = db::QueryLineRecord;
  line.fixed_bytes = Field(r.data, Q::kPrefixOffset, Q::kPrefixWidth) +
                     Field(r.data, Q::kNumberOffset, Q::kNumberWidth) +
                     Field(r.data, Q::kCriteriaKeyOffset, Q::kCriteriaKeyWidth) +
                     Field(r.data, Q::kStateOffset, Q::kStateWidth) +
                     Field(r.data, Q::kMarkerOffset, Q::kMarkerWidth);
  return line;
}

std::string Counted(std::string_view value, size_t width) {
  std::string bytes(width + 1, '\0');
  bytes[0] = static_cast<char>(value.size());
  std::memcpy(bytes.data() + 1, value.data(), value.size());
  return bytes;
}

}  // namespace

std::string ExpectedFixedBytes(std::string_view prefix, std::string_view number,
                               std::string_view key, std::string_view state) {
  return Counted(prefix, 2) + Counted(number, 6) + Counted(key, 12) + Counted(state, 1) +
         Counted("E", 1);
}

QueryTestDatabase::QueryTestDatabase(std::string_view name) {
  std::string pattern =
      (fs::temp_directory_path() / ("vz_queries_" + std::string(name) + "_XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no temporary folder";
  root_ = pattern;
  fs::create_directories(root_ / "HSF");
  fs::create_directories(root_ / "DATA");
  EXPECT_TRUE(db::WriteAnalysisFile(root_ / "HSF" / "vestra.wdd"));
  for (const db::FileDescription& file : db::Catalogue()) ClearBuffer(file.id);
  db::SetContextHandle(LE_CreateContexteHF(103));
  EXPECT_GT(db::ContextHandle(), 0);
  db::DescribeAllFiles();
  EXPECT_NE(db::Houvreanalyse((root_ / "HSF" / "vestra.wdd").string(), "", "", "", ""), 0);
  db::Hsubstrep(db::kPlaceholderDirectory, (root_ / "DATA").string());
  db::Hseterrignore(1);
  config::SetParameterFilePath(parameter_file().string());
  config::SetDataDirectory((root_ / "DATA").string());
  config::SetListSeparator('\t');
  today_ = std::make_unique<os::ScopedTodayForTests>(os::CalendarDate{2026, 3, 9});
  screen::ResetBridgeForTests();
  vz::testing::RecordingRuntime::Get().Reset();
}

QueryTestDatabase::~QueryTestDatabase() {
  today_.reset();
  db::Hferme("");
  db::HftermineCTX();
  db::SetContextHandle(0);
  config::SetListSeparator(',');
  config::SetParameterFilePath(config::kParameterFilePath);
  config::SetDataDirectory("");
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void QueryTestDatabase::AddLine(std::string_view code, std::string_view key, std::string_view text,
                                std::string_view state) {
  ClearBuffer(db::FileId::REQUETES);
  db::QueryLineRecord r = db::CurrentQueryLine();
  r.SetPrefix(code.substr(0, 2));
  r.SetNumber(code.size() > 2 ? code.substr(2) : std::string_view());
  r.SetCriteriaKey(key);
  r.SetLineText(text);
  r.SetState(state);
  r.SetMarker("E");
  db::Hajoute("requetes");
}

void QueryTestDatabase::AddRubric(std::string_view code, std::string_view label) {
  ClearBuffer(db::FileId::RUBRIQUE);
  db::RubricCatalogueRecord r = db::CurrentRubricCatalogue();
  r.SetPrefix(code.substr(0, 2));
  r.SetNumber(code.substr(2));
  r.SetLabel(label);
  db::Hajoute("RUBRIQUE");
}

std::vector<StoredQueryLine> QueryTestDatabase::QueryFile() {
  std::vector<StoredQueryLine> lines;
  db::Hlitpremier("requetes", "codreq");
  while (!db::Hendehors()) {
    lines.push_back(FromBuffer());
    db::Hlitsuivant("requetes", "codreq");
  }
  return lines;
}

std::vector<StoredQueryLine> QueryTestDatabase::Query(std::string_view code) {
  std::vector<StoredQueryLine> lines;
  for (StoredQueryLine& line : QueryFile()) {
    if (line.codreq.substr(0, 8) == code) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace vz::queries::testing
