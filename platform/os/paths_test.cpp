#include "platform/os/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace vz::os {
namespace {

namespace fs = std::filesystem;

TEST(PathsTest, WindowsPathsBecomePathsOfThisSystem) {
  struct Case {
    const char* windows;
    const char* native;
  };
  const Case cases[] = {
      {"..\\FIC01\\PARAM.DTA", "../FIC01/PARAM.DTA"},
      {"..\\HSF\\vestra.wdd", "../HSF/vestra.wdd"},
      {"C:\\DATA\\CLIENTS", "/DATA/CLIENTS"},
      {"D:\\VESTRA", "/VESTRA"},
      {"d:\\vestra\\", "/vestra/"},
      {"C:", "."},
      {"C:DATA", "DATA"},
      {"\\\\srv\\share\\f", "//srv/share/f"},
      {"/already/native", "/already/native"},
      {"relative/x", "relative/x"},
      {"", ""},
      {"1:\\x", "1:/x"},  // not a drive letter
      {":\\x", ":/x"},
      {"C", "C"},
      {"S\xE9lection\\f", "S\xE9lection/f"},  // bytes pass as they are
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.windows);
    EXPECT_EQ(ToNativePath(c.windows), c.native);
  }
}

TEST(PathsTest, PartsAndJoins) {
  EXPECT_EQ(FileNamePart("/opt/x/vuzuviza"), "vuzuviza");
  EXPECT_EQ(FileNamePart("C:\\X\\VERIRORU.EXE"), "VERIRORU.EXE");
  EXPECT_EQ(FileNamePart("plain"), "plain");
  EXPECT_EQ(FileNamePart("dir/"), "");
  EXPECT_EQ(DirectoryPart("/opt/x/vuzuviza"), "/opt/x");
  EXPECT_EQ(DirectoryPart("/vuzuviza"), "/");
  EXPECT_EQ(DirectoryPart("vuzuviza"), "");
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a", "/b"), "/b");
  EXPECT_EQ(JoinPath("", "b"), "b");
}

TEST(PathsTest, ProgramDirectoryIsWhereThisTestLives) {
  const std::string path = ProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(FileNamePart(path), "vz_os_test");
  EXPECT_TRUE(fs::is_directory(ProgramDirectory()));
  EXPECT_EQ(fs::path(ProgramDirectory()), fs::path(path).parent_path());
}

class CurrentDirectoryTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentDirectory();
    dir_ = fs::temp_directory_path() / ("vz_paths_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "sub");
  }
  void TearDown() override {
    ChangeDirectory(saved_);
    fs::remove_all(dir_);
  }
  std::string saved_;
  fs::path dir_;
};

TEST_F(CurrentDirectoryTest, ChangeAndReadBack) {
  ASSERT_TRUE(ChangeDirectory(dir_.string()));
  EXPECT_EQ(fs::path(CurrentDirectory()), fs::canonical(dir_));
  ASSERT_TRUE(ChangeDirectory("sub"));
  EXPECT_EQ(fs::path(CurrentDirectory()), fs::canonical(dir_ / "sub"));
  EXPECT_FALSE(ChangeDirectory((dir_ / "missing").string()));
  EXPECT_FALSE(ChangeDirectory(""));
  EXPECT_EQ(fs::path(CurrentDirectory()), fs::canonical(dir_ / "sub"));
  // A removed current directory reads as empty, not as a crash.
  fs::remove(dir_ / "sub");
  EXPECT_EQ(CurrentDirectory(), "");
}

TEST_F(CurrentDirectoryTest, AnyEntryMatchesFilesDirectoriesAndWildcards) {
  std::ofstream(dir_ / "A.EXT") << "x";
  std::ofstream(dir_ / ".hidden") << "x";
  std::ofstream(dir_ / "with blank.DPR") << "x";
  const std::string d = dir_.string() + "/";
  struct Case {
    std::string pattern;
    bool expected;
  };
  const Case cases[] = {
      {d + "A.EXT", true},    {d + "a.ext", false},  // names keep their case
      {d + "sub", true},      {d + "*.EXT", true},          {d + "?.EXT", true},
      {d + "*.MEM", false},   {d + "[AB].EXT", true},       {d + ".hid*", true},
      {d + "*hidden", true},  {d + "with blank.DPR", true}, {d + "missing", false},
      {d + "sub/*", true},    {d + "none/*", false},        {"", false},
      {d + "A.EXT\\", false},  // a backslash is a character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(AnyEntryMatches(c.pattern), c.expected);
  }
  // Relative patterns are taken from the current directory.
  ASSERT_TRUE(ChangeDirectory(dir_.string()));
  EXPECT_TRUE(AnyEntryMatches("A.EXT"));
  EXPECT_TRUE(AnyEntryMatches("*.DPR"));
  EXPECT_FALSE(AnyEntryMatches("*.TXT"));
}

}  // namespace
}  // namespace vz::os
