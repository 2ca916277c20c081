#include "src/db/analysis_writer.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "src/db/catalogue.h"

namespace vz::db {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(AnalysisWriterTest, EveryFileInOrderWithItsKeys) {
  std::vector<std::string> lines = Lines(AnalysisText());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "VZANALYSIS 1");
  std::vector<std::string> files;
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("  "), std::string::npos) << line;
    EXPECT_NE(line.back(), ' ') << line;
    if (line.rfind("FILE ", 0) == 0) files.push_back(line);
  }
  ASSERT_EQ(files.size(), static_cast<size_t>(kFileCount));
  for (size_t i = 0; i < files.size(); ++i) {
    std::string name(Catalogue()[i].name);
    EXPECT_EQ(files[i], "FILE " + name + " D:\\VESTRA " + name);
  }
  // Key lines follow their file.
  struct Expected {
    const char* file;
    std::vector<std::string> keys;
  };
  const Expected expected[] = {
      {"CLIENT", {"KEY CODCLI 1:2 2:6 3:1 SLOT 85"}},
      {"REQUETES", {"KEY CODREQ 1:2 2:6 3:12 SLOT 10", "KEY codreq1 1:2 3:12 SLOT 11"}},
      {"SELECTES", {"KEY CODPTT 3:5"}},
      {"CLIPART", {"KEY CODCLI 1:9"}},
      {"CHARSOC", {"KEY KEY1 1:0 2:9 3:10 SLOT 46 NOPAD"}},
      {"VALMOBIL", {"KEY CODCLEF 1:9 2:5 3:3 SLOT 55"}},
      {"INTERFA", {"KEY KEY1 1:14 2:12 3:5 4:5 SLOT 10", "KEY MOTCLEF 2:12 3:5 4:5 1:14 SLOT 11"}},
      {"CAISSRET", {}},
      {"MADELIN", {}},
  };
  for (const Expected& e : expected) {
    auto at = std::find(lines.begin(), lines.end(),
                        std::string("FILE ") + e.file + " D:\\VESTRA " + e.file);
    ASSERT_NE(at, lines.end()) << e.file;
    std::vector<std::string> keys;
    for (++at; at != lines.end() && at->rfind("KEY ", 0) == 0; ++at) keys.push_back(*at);
    EXPECT_EQ(keys, e.keys) << e.file;
  }
}

class AnalysisFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vz_wdd_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(root_, fs::perms::owner_all, ignored);
    fs::remove_all(root_, ignored);
  }
  fs::path root_;
};

TEST_F(AnalysisFileTest, WritesTheTextAndLeavesNoTemporaryFile) {
  fs::path path = root_ / "vestra.wdd";
  ASSERT_TRUE(WriteAnalysisFile(path));
  std::ifstream in(path, std::ios::binary);
  std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, AnalysisText());
  // Writing again replaces the file whole.
  ASSERT_TRUE(WriteAnalysisFile(path));
  EXPECT_EQ(fs::file_size(path), AnalysisText().size());
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

TEST_F(AnalysisFileTest, FailsCleanlyWhereItCannotWrite) {
  EXPECT_FALSE(WriteAnalysisFile(root_ / "missing" / "vestra.wdd"));
  EXPECT_FALSE(fs::exists(root_ / "missing"));
  // A directory in the way is neither replaced nor emptied.
  fs::create_directories(root_ / "taken" / "inside");
  EXPECT_FALSE(WriteAnalysisFile(root_ / "taken"));
  EXPECT_TRUE(fs::is_directory(root_ / "taken" / "inside"));
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace vz::db
