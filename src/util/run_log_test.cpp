#include "src/util/run_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vz::util {
namespace {

namespace fs = std::filesystem;

std::string Text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(RunLogTest, AppendsOneUtf8LinePerFailureAndRotates) {
  const fs::path dir = fs::temp_directory_path() / ("vz_run_log_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  ASSERT_TRUE(AppendRunLog(dir.string(), "Le fichier CLIENT est endommag\xE9\r\n: arr\xEAt"));
  ASSERT_TRUE(AppendRunLog(dir.string(), "second"));
  const std::string log = Text(dir / "vuzuviza.log");
  EXPECT_NE(log.find(" pid " + std::to_string(::getpid()) +
                     ": Le fichier CLIENT est "
                     "endommag\xC3\xA9  : arr\xC3\xAAt\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find(": second\n"), std::string::npos);
  // Past the limit the log becomes .1, then .2; older ones go.
  for (int round = 0; round < 3; ++round) {
    std::ofstream(dir / "vuzuviza.log", std::ios::app) << std::string(kRunLogLimit, 'x');
    ASSERT_TRUE(AppendRunLog(dir.string(), "round " + std::to_string(round)));
    EXPECT_LT(fs::file_size(dir / "vuzuviza.log"), 200u);
  }
  EXPECT_TRUE(fs::exists(dir / "vuzuviza.log.1"));
  EXPECT_TRUE(fs::exists(dir / "vuzuviza.log.2"));
  EXPECT_FALSE(fs::exists(dir / "vuzuviza.log.3"));
  // A log that cannot be written is reported, not fatal.
  EXPECT_FALSE(AppendRunLog((dir / "missing" / "folder").string(), "lost"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vz::util
