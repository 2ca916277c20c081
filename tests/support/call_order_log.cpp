#include "tests/support/call_order_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vz::testing {
namespace {

class LogEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { unlink(CallOrderLog::Path().c_str()); }
};

}  // namespace

const std::string& CallOrderLog::Path() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("vz_calls_" + std::to_string(getpid()))).string();
  return path;
}

void CallOrderLog::Install() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  setenv("VZ_ENGINE_LOG", Path().c_str(), 1);
  ::testing::AddGlobalTestEnvironment(new LogEnvironment);
}

void CallOrderLog::Clear() {
  // The engine keeps the file open in append mode: emptying it in place is
  // enough.
  int fd = open(Path().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  EXPECT_GE(fd, 0) << "cannot empty " << Path();
  if (fd >= 0) close(fd);
}

std::vector<std::string> CallOrderLog::Lines() {
  std::ifstream in(Path());
  std::vector<std::string> lines;
  std::string line;
  int descriptions = 0;
  while (std::getline(in, line)) {
    if (line.rfind("LE_HDecritEnregistrement ", 0) == 0) {
      if (descriptions++ == 0) lines.push_back("(descriptions)");
      continue;
    }
    lines.push_back(line);
  }
  if (descriptions != 0) lines.push_back("(descriptions: " + std::to_string(descriptions) + ")");
  return lines;
}

std::vector<std::string> CallOrderLog::Verbs() {
  std::vector<std::string> verbs;
  for (const std::string& line : Lines()) {
    bool whole = line.rfind("wd ", 0) == 0 || line.rfind("(", 0) == 0;
    verbs.push_back(whole ? line : line.substr(0, line.find(' ')));
  }
  return verbs;
}

std::function<void(const std::string&)> CallOrderLog::ScreenCommandLogger() {
  return [](const std::string& command) {
    int fd = open(Path().c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (fd < 0) return;
    std::string line = "wd " + command + "\n";
    EXPECT_EQ(write(fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    close(fd);
  };
}

}  // namespace vz::testing
