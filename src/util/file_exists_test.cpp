#include "src/util/file_exists.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace vz::util {
namespace {

namespace fs = std::filesystem;

TEST(FileExistsTest, WindowsAndNativePathsWithWildcards) {
  const fs::path dir = fs::temp_directory_path() / ("vz_exists_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "SUB");
  std::ofstream(dir / "01000012.EXT") << "1\n";
  const std::string d = dir.string();
  struct Case {
    std::string path;
    bool exists;
  };
  const Case cases[] = {
      {d + "/01000012.EXT", true},
      {"C:" + d + "\\01000012.EXT", true},  // drive letter and backslash
      {d + "\\*.EXT", true},
      {d + "\\0100001?.EXT", true},
      {d + "\\*.MEM", false},
      {d + "\\SUB", true},
      {d + "\\sub", false},
      {d + "\\missing\\*", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileExists(c.path), c.exists);
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vz::util
