// A folder of outputs replaced as a whole set: the previous set stays whole
// until Commit, files the new set does not replace are carried over, and a
// staging folder that is abandoned or left by a killed process goes.
#include "src/util/replacing_folder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "src/util/leftover_files.h"
#include "src/util/replacing_file.h"

namespace vz::util {
namespace {

namespace fs = std::filesystem;

class ReplacingFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("vz_replacing_folder_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  static void Write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
  }
  static std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
      names.insert(it->path().filename().string());
    return names;
  }
  static bool IsLetter(std::string_view name) {
    return name.starts_with("000") || name == "lettres.pdf";
  }

  fs::path root_;
};

TEST_F(ReplacingFolderTest, TheNewSetReplacesTheOldOneAndOtherFilesStay) {
  const fs::path final_folder = root_ / "LETTRES" / "01000001-BILAN";
  fs::create_directories(final_folder / "ANNEXES");
  Write(final_folder / "0001-A.HTM", "old 1");
  Write(final_folder / "0002-B.HTM", "old 2");
  Write(final_folder / "0003-C.HTM", "old 3");
  Write(final_folder / "lettres.pdf", "old pdf");
  Write(final_folder / "notes.txt", "kept");
  Write(final_folder / "ANNEXES" / "plan.png", "kept too");

  ReplacingFolder folder(final_folder.string());
  ASSERT_TRUE(folder.ok());
  Write(fs::path(folder.staging_path()) / "0001-D.HTM", "new 1");
  Write(fs::path(folder.staging_path()) / "lettres.pdf", "new pdf");
  // Until the commit, the previous set is whole under the final name.
  EXPECT_EQ(Names(final_folder), (std::set<std::string>{"0001-A.HTM", "0002-B.HTM", "0003-C.HTM",
                                                        "lettres.pdf", "notes.txt", "ANNEXES"}));
  ASSERT_TRUE(folder.Commit(IsLetter));
  EXPECT_FALSE(folder.ok());
  EXPECT_EQ(Names(final_folder),
            (std::set<std::string>{"0001-D.HTM", "lettres.pdf", "notes.txt", "ANNEXES"}));
  EXPECT_EQ(Read(final_folder / "lettres.pdf"), "new pdf");
  EXPECT_EQ(Read(final_folder / "notes.txt"), "kept");
  EXPECT_EQ(Read(final_folder / "ANNEXES" / "plan.png"), "kept too");
  EXPECT_EQ(Names(root_ / "LETTRES"), std::set<std::string>{"01000001-BILAN"})
      << "neither the staging folder nor the previous set is left";
}

TEST_F(ReplacingFolderTest, AFirstSetCreatesTheFolderAndItsParent) {
  const fs::path final_folder = root_ / "LETTRES" / "Q-T";
  ReplacingFolder folder(final_folder.string());
  ASSERT_TRUE(folder.ok());
  Write(fs::path(folder.staging_path()) / "0001-A.TXT", "a");
  ASSERT_TRUE(folder.Commit(IsLetter));
  EXPECT_EQ(Names(final_folder), std::set<std::string>{"0001-A.TXT"});
}

TEST_F(ReplacingFolderTest, AnAbandonedSetLeavesThePreviousOneAsItWas) {
  const fs::path final_folder = root_ / "Q-T";
  fs::create_directories(final_folder);
  Write(final_folder / "0001-A.TXT", "old");
  {
    ReplacingFolder folder(final_folder.string());
    ASSERT_TRUE(folder.ok());
    Write(fs::path(folder.staging_path()) / "0001-B.TXT", "new");
  }
  EXPECT_EQ(Names(root_), std::set<std::string>{"Q-T"});
  EXPECT_EQ(Names(final_folder), std::set<std::string>{"0001-A.TXT"});
  EXPECT_EQ(Read(final_folder / "0001-A.TXT"), "old");
}

TEST_F(ReplacingFolderTest, AFolderThatCannotBeCreatedIsNotOk) {
  Write(root_ / "LETTRES", "a file where the folder should be");
  ReplacingFolder folder((root_ / "LETTRES" / "Q-T").string());
  EXPECT_FALSE(folder.ok());
  EXPECT_TRUE(folder.staging_path().empty());
  EXPECT_FALSE(folder.Commit(IsLetter));
}

TEST_F(ReplacingFolderTest, StagingFoldersOfEndedProcessesAreCleanedUp) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  const std::string dead = "Q-T." + ThisHostPart() + "." + std::to_string(child) + ".1.tmp";
  const std::string alive = "Q-T." + ThisHostPart() + "." + std::to_string(::getpid()) + ".9.tmp";
  fs::create_directories(root_ / dead);
  Write(root_ / dead / "0001-A.TXT", "half a pass");
  fs::create_directories(root_ / alive);
  fs::create_directories(root_ / "Q-T");
  EXPECT_EQ(RemoveLeftoverTemporaryFolders(root_.string()), 1);
  EXPECT_EQ(Names(root_), (std::set<std::string>{alive, "Q-T"}));
}

}  // namespace
}  // namespace vz::util
