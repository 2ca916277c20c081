#include "src/selection/selection_run_test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/engine/le_api.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/analysis_writer.h"
#include "src/db/catalogue.h"
#include "src/db/describe.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/requetes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge_for_tests.h"
#include "src/selection/expansion.h"
#include "tests/support/recording_runtime.h"

namespace vz::selection {

namespace fs = std::filesystem;

SelectionTestDatabase::SelectionTestDatabase() {
  std::string pattern = (fs::temp_directory_path() / "vz_sel_XXXXXX").string();
  EXPECT_NE(mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  data_ = root_ / "DATA";
  fs::create_directories(root_ / "HSF");
  fs::create_directories(data_);
  EXPECT_TRUE(db::WriteAnalysisFile(root_ / "HSF" / "vestra.wdd"));
  Open(root_ / "HSF" / "vestra.wdd");
}

SelectionTestDatabase::SelectionTestDatabase(const fs::path& analysis_file,
                                             const fs::path& data_directory)
    : data_(data_directory) {
  Open(analysis_file);
}

void SelectionTestDatabase::Open(const fs::path& analysis_file) {
  for (const db::FileDescription& file : db::Catalogue()) {
    std::memset(db::RecordBuffer(file.id), 0, db::RecordBufferSize(file.id));
  }
  db::SetContextHandle(LE_CreateContexteHF(103));
  EXPECT_GT(db::ContextHandle(), 0);
  db::DescribeAllFiles();
  EXPECT_NE(db::Houvreanalyse(analysis_file.string(), "", "", "", ""), 0);
  db::Hsubstrep(db::kPlaceholderDirectory, data_.string());
  db::Hseterrignore(1);
  config::SetDataDirectory(data_.string());
  config::SetListSeparator('\t');
  testing::RecordingRuntime::Get().Reset();
  screen::ResetBridgeForTests();
}

SelectionTestDatabase::~SelectionTestDatabase() {
  db::Hferme("");
  db::HftermineCTX();
  db::SetContextHandle(0);
  config::SetDataDirectory("");
  if (root_.empty()) return;
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void SelectionTestDatabase::AddQueryLine(std::string_view code, std::string_view criteria_key,
                                         std::string_view text) {
  std::memset(db::RecordBuffer(db::FileId::REQUETES), 0,
              db::RecordBufferSize(db::FileId::REQUETES));
  db::QueryLineRecord record = db::CurrentQueryLine();
  record.SetPrefix(code.substr(0, 2));
  record.SetNumber(code.size() > 2 ? code.substr(2) : "");
  record.SetCriteriaKey(criteria_key);
  record.SetState(" ");
  record.SetMarker("E");
  record.SetLineText(text);
  db::Hajoute("REQUETES");
}

void SelectionTestDatabase::AddElementaryQuery(std::string_view code) {
  AddQueryLine(code, kTitleKey, "20261207\tTitre\t\t\t\t\t\t\t\t");
}

void SelectionTestDatabase::AddCombinedQuery(std::string_view code, std::string_view first,
                                             std::string_view op, std::string_view second) {
  AddQueryLine(code, kTitleKey,
               "20261207\tCombinaison\t\t\t\tC\t" + std::string(first) + "\t" + std::string(op) +
                   "\t" + std::string(second) + "\t");
}

std::string SelectionTestDatabase::TitleState(std::string_view code) {
  if (!ReadTitleRecord(code)) return std::string();
  return std::string(db::CurrentQueryLine().State());
}

void SelectionTestDatabase::AddClient(std::string_view code, std::string_view name,
                                      std::string_view postcode) {
  std::memset(db::RecordBuffer(db::FileId::CLIENT), 0, db::RecordBufferSize(db::FileId::CLIENT));
  db::ClientRecord client = db::CurrentClient();
  client.SetPrefix(code.substr(0, 2));
  client.SetFileNumber(code.substr(2, 6));
  client.SetPersonDigit(code.substr(8, 1));
  client.SetName(name);
  client.SetPostcode(postcode);
  db::Hajoute("CLIENT");
}

void SelectionTestDatabase::WriteSelectionFile(std::string_view code,
                                               std::string_view bytes) const {
  std::ofstream out(data_ / (std::string(code) + ".EXT"), std::ios::binary);
  out << bytes;
}

std::string SelectionTestDatabase::ReadSelectionFile(std::string_view code) const {
  std::ifstream in(data_ / (std::string(code) + ".EXT"), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SelectionTestDatabase::SelectionFileExists(std::string_view code) const {
  return fs::exists(data_ / (std::string(code) + ".EXT"));
}

std::vector<std::string> SelectionTestDatabase::SelectionLines(std::string_view code) const {
  const std::string bytes = ReadSelectionFile(code);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "line without CR LF in " << code;
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace vz::selection
