#include "src/outputs/letters_test_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "src/config/program_settings.h"
#include "src/db/layouts/interfa.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"
#include "tests/support/test_records.h"

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;
using db::FileId;
using testing::ClearRecordBuffer;
using testing::RecordingRuntime;

}  // namespace

LetterRecords ReadLetterRecords() {
  LetterRecords records;
  const db::InterfaceRecord record = db::CurrentInterface();
  db::Hlitrecherche("INTERFA", "MOTCLEF", "EX**");
  while (!db::Hendehors() && record.Keyword().substr(0, 4) == "EX**") {
    records.emplace(std::string(record.Keyword().substr(4)), std::string(record.LineText()));
    db::Hlitsuivant("INTERFA", "MOTCLEF");
  }
  return records;
}

void LettersTest::SetUp() {
  SelectionDataTest::SetUp();
  std::string pattern = (fs::temp_directory_path() / "vz_letters_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  templates_ = pattern;
  config::SetDataDirectory(templates_.string());
  RecordingRuntime::Get().Reset();
  screen::ResetBridgeForTests();
  RecordingRuntime::Get().fields()["Nom_Lettre"] = "LETTRE.RTF";
  RecordingRuntime::Get().SetCommandHook([this](const std::string& command) {
    if (command == kMergeClick) clicks_.push_back(ReadLetterRecords());
  });
}

void LettersTest::TearDown() {
  RecordingRuntime::Get().Reset();
  config::SetDataDirectory("");
  std::error_code ignored;
  fs::remove_all(templates_, ignored);
  SelectionDataTest::TearDown();
}

void LettersTest::WriteTemplate(const std::string& text) {
  std::ofstream(templates_ / "LETTRE.RTF", std::ios::binary) << text;
}

void LettersTest::Select(std::string_view code9, std::string_view postcode) {
  ClearRecordBuffer(FileId::SELECTES);
  db::SelectedRecord selected = db::CurrentSelected();
  selected.SetClientCode(code9);
  selected.SetPostcode(postcode);
  selected.SetMarker("E");
  db::Hajoute("SELECTES");
}

void LettersTest::AddInterface(std::string_view keyword, std::string_view text) {
  ClearRecordBuffer(FileId::INTERFA);
  db::InterfaceRecord record = db::CurrentInterface();
  record.SetKeyword(keyword);
  record.SetLineText(text);
  db::Hajoute("INTERFA");
}

void LettersTest::AddRegime(std::string_view code, std::string_view label) {
  vz::testing::AddCodeLabel(FileId::ANNEXE, code, label);
}

void LettersTest::AddProfession(std::string_view code, std::string_view label) {
  vz::testing::AddCodeLabel(FileId::PROFES, code, label);
}

std::string LettersTest::Value(size_t click, const std::string& keyword) const {
  if (click >= clicks_.size()) return "<no click>";
  auto found = clicks_[click].find(keyword);
  if (found == clicks_[click].end()) return "<missing>";
  const std::string& text = found->second;
  if (text.empty() || text.back() != '\t') return "<no tab>" + text;
  return text.substr(0, text.size() - 1);
}

int LettersTest::ClickCount() const {
  int count = 0;
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    if (command == kMergeClick) ++count;
  }
  return count;
}

}  // namespace vz::outputs
