// The whole-file reader: every byte of a regular file, or false with nothing
// for anything else, at once (a pipe is never waited on).
#include "platform/os/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vz::os {
namespace {

namespace fs = std::filesystem;

class WholeFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vz_whole_file_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(WholeFileTest, ReadsEveryByteOrNothing) {
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes.push_back(static_cast<char>(i * 31 % 256));
  std::ofstream(Path("big.bin"), std::ios::binary) << bytes;
  std::ofstream(Path("empty.txt"), std::ios::binary).flush();
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
  fs::create_directories(dir_ / "folder");

  struct Case {
    std::string path;
    bool read;
    std::string contents;
  };
  const Case cases[] = {
      {Path("big.bin"), true, bytes},  {Path("empty.txt"), true, ""},
      {Path("absent.txt"), false, ""}, {"", false, ""},
      {Path("folder"), false, ""},     {Path("pipe"), false, ""},
  };
  for (const Case& c : cases) {
    std::string contents = "left over";
    EXPECT_EQ(ReadWholeFile(c.path, &contents), c.read) << c.path;
    EXPECT_EQ(contents, c.contents) << c.path;
  }
}

}  // namespace
}  // namespace vz::os
