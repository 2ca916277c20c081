#include "src/queries/criteria_test_database.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <fstream>
#include <sstream>

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

}  // namespace

CriteriaTestDatabase::CriteriaTestDatabase() {
  std::string pattern = (fs::temp_directory_path() / "vz_criteria_XXXXXX").string();
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
  config::SetListSeparator('\t');
  screen::ResetBridgeForTests();
  vz::testing::RecordingRuntime::Get().Reset();
}

CriteriaTestDatabase::~CriteriaTestDatabase() {
  db::Hferme("");
  db::HftermineCTX();
  db::SetContextHandle(0);
  config::SetListSeparator(',');
  config::SetParameterFilePath(config::kParameterFilePath);
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void CriteriaTestDatabase::WriteParameterFile(std::string_view text) const {
  std::ofstream(parameter_file(), std::ios::binary) << text;
}

std::string CriteriaTestDatabase::ReadParameterFile() const {
  std::ifstream in(parameter_file(), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void CriteriaTestDatabase::AddQueryLine(std::string_view code, std::string_view key,
                                        std::string_view text) {
  ClearBuffer(db::FileId::REQUETES);
  db::QueryLineRecord record = db::CurrentQueryLine();
  record.SetPrefix(code.substr(0, 2));
  record.SetNumber(code.size() > 2 ? code.substr(2) : std::string_view());
  record.SetCriteriaKey(key);
  record.SetLineText(text);
  record.SetState(" ");
  record.SetMarker("E");
  db::Hajoute("requetes");
}

void CriteriaTestDatabase::AddRubric(std::string_view code, std::string_view label) {
  ClearBuffer(db::FileId::RUBRIQUE);
  db::RubricCatalogueRecord record = db::CurrentRubricCatalogue();
  record.SetPrefix(code.substr(0, 2));
  record.SetNumber(code.substr(2));
  record.SetLabel(label);
  db::Hajoute("RUBRIQUE");
}

}  // namespace vz::queries::testing
