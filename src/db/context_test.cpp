// Context creation and the engine settings, with the real engine and a
// recording screen runtime: the order of the engine calls (from the engine's
// call log), the messages shown when sharing or the analysis fails, and a
// working database afterwards.
#include "src/db/context.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/engine/le_api.h"
#include "src/db/analysis_writer.h"
#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"

namespace vz::db {
namespace {

namespace fs = std::filesystem;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

std::string FirstWord(const std::string& line) {
  return line.substr(0, line.find(' '));
}

class ContextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vz_ctx_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "HSF");
    fs::create_directories(root_ / "DATA");
    fs::create_directories(root_ / "PROGRAM");
    ASSERT_TRUE(WriteAnalysisFile(root_ / "HSF" / "vestra.wdd"));
    previous_directory_ = fs::current_path();
    fs::current_path(root_ / "PROGRAM");  // the analysis is "..\HSF\vestra.wdd"
    log_ = root_ / "engine.log";
    setenv("VZ_ENGINE_LOG", log_.c_str(), 1);
    for (const FileDescription& file : Catalogue()) {
      std::memset(RecordBuffer(file.id), 0, RecordBufferSize(file.id));
    }
    RecordingRuntime::Get().Reset();
    vz::screen::ResetBridgeForTests();
    // The screen runtime's own context, which "HFCTX" reports.
    runtime_context_ = LE_CreateContexteHF(103);
  }

  void TearDown() override {
    Hferme("");
    HftermineCTX();
    LE_HftermineCTX(runtime_context_);
    SetContextHandle(0);
    unsetenv("VZ_ENGINE_LOG");
    fs::current_path(previous_directory_);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::vector<std::string> Errors() {
    std::vector<std::string> errors;
    for (const std::string& command : RecordingRuntime::Get().Commands()) {
      if (command.rfind("Erreur,", 0) == 0) errors.push_back(command);
    }
    return errors;
  }

  fs::path root_;
  fs::path previous_directory_;
  fs::path log_;
  int32_t runtime_context_ = 0;
};

TEST_F(ContextTest, OpensDescribesSharesAndOpensTheAnalysisInOrder) {
  RecordingRuntime::Get().Answer("HFCTX", RuntimeAnswer{runtime_context_, "", std::nullopt});
  size_t before = LogLines().size();  // the screen runtime's context
  OpenDatabaseContext();
  EXPECT_GT(ContextHandle(), 0);
  EXPECT_NE(ContextHandle(), runtime_context_);
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(RecordingRuntime::Get().Commands(), std::vector<std::string>{"HFCTX"});

  std::vector<std::string> lines = LogLines();
  lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(before));
  std::vector<std::string> words;
  for (const std::string& line : lines) words.push_back(FirstWord(line));
  ASSERT_EQ(words.size(), 1u + 103u + 2u) << "create, 103 descriptions, share, analysis";
  EXPECT_EQ(lines[0], "LE_CreateContexteHF 103");
  for (size_t i = 0; i < 103; ++i) {
    EXPECT_EQ(words[1 + i], "LE_HDecritEnregistrement");
    EXPECT_NE(lines[1 + i].find(std::string(Catalogue()[i].name)), std::string::npos)
        << "description " << i << ": " << lines[1 + i];
  }
  EXPECT_EQ(words[104], "LE_Hinitpartage");
  EXPECT_EQ(words[105], "LE_Houvreanalyse");
  EXPECT_NE(lines[105].find("..\\HSF\\vestra.wdd"), std::string::npos) << lines[105];
}

TEST_F(ContextTest, SettingsSequenceAndAWorkingDatabase) {
  RecordingRuntime::Get().Answer("HFCTX", RuntimeAnswer{runtime_context_, "", std::nullopt});
  OpenDatabaseContext();
  size_t opened = LogLines().size();
  MapPlaceholderDirectory();
  ApplyEngineSettings((root_ / "DATA").string());
  std::vector<std::string> lines = LogLines();
  std::vector<std::string> words;
  for (size_t i = opened; i < lines.size(); ++i) words.push_back(FirstWord(lines[i]));
  const std::vector<std::string> expected = {
      "LE_Hsubstrep",          "LE_Hferme",          "LE_Hsubstrep",    "LE_Hmodeperso",
      "LE_Hsecurite",          "LE_Hgeredoublonnon", "LE_Hgeretrsnon",  "LE_Hgerejnlnon",
      "LE_Hgererepnon",        "LE_Hseterrignore",   "LE_Hsetnbessais", "LE_Hnbessais",
      "LE_Hsetnbessaismessage"};
  EXPECT_EQ(words, expected);
  ASSERT_EQ(lines.size(), opened + expected.size());
  EXPECT_NE(lines[opened].find("D:\\VESTRA"), std::string::npos);
  EXPECT_NE(lines[opened].find("\"?\""), std::string::npos) << lines[opened];
  EXPECT_NE(lines[opened + 2].find((root_ / "DATA").string()), std::string::npos);
  EXPECT_EQ(lines[opened + 4], "LE_Hsecurite 2");
  EXPECT_EQ(lines[opened + 10], "LE_Hsetnbessais 10");
  // The message count is read back from the engine, plus one.
  EXPECT_EQ(lines.back(), "LE_Hsetnbessaismessage 11");
  EXPECT_EQ(Hnbessais(), 10);

  // The files are now in the data folder.
  uint8_t* rubrique = RecordBuffer(FileId::RUBRIQUE);
  SetText(rubrique, 0, 2, "40");
  SetText(rubrique, 3, 3, "000");
  SetText(rubrique, 7, 30, "Revenus");
  Hajoute("RUBRIQUE");
  std::memset(rubrique, 0, RecordBufferSize(FileId::RUBRIQUE));
  Hlitrecherche("RUBRIQUE", "CODRUBR", "40000");
  ASSERT_FALSE(Hendehors());
  EXPECT_EQ(GetText(rubrique, 7, 30), "Revenus");
  EXPECT_FALSE(fs::is_empty(root_ / "DATA"));
}

TEST_F(ContextTest, NoDataDirectoryStillMakesEveryCall) {
  RecordingRuntime::Get().Answer("HFCTX", RuntimeAnswer{runtime_context_, "", std::nullopt});
  OpenDatabaseContext();
  size_t opened = LogLines().size();
  MapPlaceholderDirectory();
  ApplyEngineSettings("");
  std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), opened + 13);
  EXPECT_NE(lines[opened + 2].find("\"\""), std::string::npos) << lines[opened + 2];
}

TEST_F(ContextTest, FailedSharingIsShownAndTheAnalysisIsNotOpened) {
  // Whatever integer "HFCTX" gives is passed on; an unknown context fails.
  for (int32_t answer : {0, -1, 987654}) {
    SCOPED_TRACE(answer);
    RecordingRuntime::Get().Reset();
    vz::screen::ResetBridgeForTests();
    size_t before = LogLines().size();
    RecordingRuntime::Get().Answer("HFCTX", RuntimeAnswer{answer, "", std::nullopt});
    OpenDatabaseContext();
    EXPECT_EQ(Errors(), std::vector<std::string>{"Erreur,Erreur d'initialisation du contexte HF"});
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), before + 1 + 103 + 1) << "nothing after the sharing";
    EXPECT_EQ(FirstWord(lines.back()), "LE_Hinitpartage");
    EXPECT_NE(lines.back().find(std::to_string(answer)), std::string::npos) << lines.back();
    HftermineCTX();
  }
}

TEST_F(ContextTest, MissingAnalysisIsShown) {
  fs::remove(root_ / "HSF" / "vestra.wdd");
  RecordingRuntime::Get().Answer("HFCTX", RuntimeAnswer{runtime_context_, "", std::nullopt});
  OpenDatabaseContext();
  EXPECT_EQ(Errors(), std::vector<std::string>{"Erreur,Erreur d'ouverture de l'analyse"});
  // The program goes on: reads fail quietly with a zero buffer.
  std::memset(RecordBuffer(FileId::CLIENT), 0x41, RecordBufferSize(FileId::CLIENT));
  Hlitpremier("CLIENT", "CODCLI");
  EXPECT_TRUE(Hendehors());
  EXPECT_EQ(RecordBuffer(FileId::CLIENT)[0], 0);
}

TEST_F(ContextTest, DamagedAnalysisIsShown) {
  std::ofstream(root_ / "HSF" / "vestra.wdd", std::ios::binary | std::ios::trunc)
      << "VZANALYSIS 1\nFILE CLIENT\nKEY \xFF\xFE 99999:0 SLOT\n";
  RecordingRuntime::Get().Answer("HFCTX", RuntimeAnswer{runtime_context_, "", std::nullopt});
  OpenDatabaseContext();
  EXPECT_EQ(Errors(), std::vector<std::string>{"Erreur,Erreur d'ouverture de l'analyse"});
}

}  // namespace
}  // namespace vz::db
