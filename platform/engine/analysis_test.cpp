#include "platform/engine/analysis.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace vz::engine {
namespace {

TEST(AnalysisTest, ReadsFilesKeysAndOptions) {
  AnalysisError error;
  auto analysis = ParseAnalysis(
      "\xEF\xBB\xBF# made by hand\r\n"
      "VZANALYSIS 1\r\n"
      "\r\n"
      "FILE client D:\\VESTRA CLIENT\r\n"
      "KEY CODCLI 1:2 2:6 3:1 SLOT 4\r\n"
      "  # a comment between keys\n"
      "KEY NOMCLI\t5:8\n"
      "FILE CHARSOC D:\\VESTRA CHARSOC\n"
      "KEY CLE 1:0 2:9 3:10 NOPAD\n"
      "FILE CAISSRET D:\\VESTRA CAISSRET",
      &error);
  ASSERT_TRUE(analysis.has_value()) << error.line << ": " << error.message;
  ASSERT_EQ(analysis->files.size(), 3u);
  const FileEntry* client = analysis->FindFile("Client");
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(client->name, "CLIENT");
  EXPECT_EQ(client->directory, "D:\\VESTRA");
  ASSERT_EQ(client->keys.size(), 2u);
  EXPECT_EQ(client->keys[0].Signature(), "CODCLI 1:2 2:6 3:1 SLOT 4");
  EXPECT_EQ(client->keys[1].Signature(), "NOMCLI 5:8");
  EXPECT_EQ(client->FindKey("nomcli"), 1);
  EXPECT_EQ(client->FindKey("CODCLIX"), -1);
  const FileEntry* charsoc = analysis->FindFile("CHARSOC");
  ASSERT_NE(charsoc, nullptr);
  EXPECT_TRUE(charsoc->keys[0].no_pad);
  EXPECT_EQ(charsoc->keys[0].components[0].width, 0);
  EXPECT_TRUE(analysis->FindFile("CAISSRET")->keys.empty());
  EXPECT_EQ(analysis->FindFile("REVENUS"), nullptr);
}

struct Rejected {
  const char* text;
  int line;
};

class AnalysisRejectTest : public ::testing::TestWithParam<Rejected> {};

TEST_P(AnalysisRejectTest, RefusesAndNamesTheLine) {
  AnalysisError error;
  auto analysis = ParseAnalysis(GetParam().text, &error);
  EXPECT_FALSE(analysis.has_value());
  EXPECT_EQ(error.line, GetParam().line) << error.message;
  EXPECT_FALSE(error.message.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, AnalysisRejectTest,
    ::testing::Values(
        Rejected{"", 0},                                                // empty
        Rejected{"# only a comment\n", 0},                              // no header
        Rejected{"FILE CLIENT D:\\V CLIENT\n", 1},                      // header missing
        Rejected{"VZANALYSIS 2\n", 1},                                  // unknown version
        Rejected{"VZANALYSIS\n", 1},                                    // version missing
        Rejected{"VZANALYSIS 1\nKEY A 1:2\n", 2},                       // key before file
        Rejected{"VZANALYSIS 1\nFILE CLIENT D:\\V\n", 2},               // physical name missing
        Rejected{"VZANALYSIS 1\nFILE CLIENTELE D:\\V X\n", 2},          // 9 characters
        Rejected{"VZANALYSIS 1\nFILE CLI-ENT D:\\V X\n", 2},            // odd character
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nFILE a D:\\V B\n", 3},  // named twice
        Rejected{"VZANALYSIS 1\nFILE A D:\\V ..\n", 2},                 // path escape
        Rejected{"VZANALYSIS 1\nFILE A D:\\V ../../etc\n", 2},          // path escape
        Rejected{"VZANALYSIS 1\nFILE A D:\\V x\\y\n", 2},               // separator
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K\n", 3},           // no component
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 1\n", 3},         // no width
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 0:2\n", 3},       // field 0
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 1:-2\n", 3},      // negative width
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 1:256\n", 3},     // too wide
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 1:2x\n", 3},      // trailing junk
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 99999999999:2\n", 3},  // overflow
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 1:2 SLOT\n", 3},       // slot number
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 1:2 SLOT 1\n", 3},     // slot = component
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 1:2 SLOT 3 SLOT 4\n", 3},
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 1:2 NOPAD 2:3\n", 3},
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K 1:2\nKEY k 2:2\n", 4},  // twice
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nKEY K\"Q 1:2\n", 3},          // quote in name
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\nINDEX K 1:2\n", 3},           // unknown word
        Rejected{"VZANALYSIS 1\nFILE A D:\\V A\x01\n", 2}));                  // control byte

TEST(AnalysisTest, RefusesNulBytesAndHugeTexts) {
  AnalysisError error;
  std::string with_nul("VZANALYSIS 1\nFILE A D:\\V A\0\n", 28);
  EXPECT_FALSE(ParseAnalysis(with_nul, &error).has_value());
  std::string huge = "VZANALYSIS 1\n" + std::string(kMaxAnalysisBytes, '#');
  EXPECT_FALSE(ParseAnalysis(huge, &error).has_value());
  std::string many_keys = "VZANALYSIS 1\nFILE A D:\\V A\n";
  for (int i = 0; i <= kMaxKeysPerFile; ++i) many_keys += "KEY K" + std::to_string(i) + " 1:2\n";
  EXPECT_FALSE(ParseAnalysis(many_keys, &error).has_value());
  EXPECT_EQ(error.line, 3 + kMaxKeysPerFile);
}

TEST(AnalysisTest, MissingFileIsAnError) {
  AnalysisError error;
  EXPECT_FALSE(LoadAnalysis("/nonexistent/dir/vestra.wdd", &error).has_value());
  EXPECT_NE(error.message.find("cannot open"), std::string::npos);
}

// A pipe or a folder in place of the analysis file is refused at once: start-up
// never waits for a writer that will not come.
TEST(AnalysisTest, AFileThatIsNotARegularFileIsRefusedWithoutWaiting) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("analysis_fifo_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string fifo = (folder / "vestra.wdd").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, folder.string()}) {
    AnalysisError error;
    EXPECT_FALSE(LoadAnalysis(path, &error).has_value());
    EXPECT_NE(error.message.find("not a regular file"), std::string::npos) << error.message;
  }
  std::filesystem::remove_all(folder);
}

TEST(AnalysisTest, PhysicalNames) {
  struct Case {
    const char* name;
    bool valid;
  } cases[] = {{"CLIENT", true}, {"01000001", true}, {"SEL.FIC", true}, {"", false},
               {".", false},     {"..", false},      {"a/b", false},    {"a\\b", false},
               {"C:X", false},   {"a\nb", false},    {"q\"", false}};
  for (const Case& c : cases) EXPECT_EQ(IsValidPhysicalName(c.name), c.valid) << c.name;
  EXPECT_FALSE(IsValidPhysicalName(std::string(65, 'A')));
}

}  // namespace
}  // namespace vz::engine
