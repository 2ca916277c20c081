// The small services: Escape key state, shell stand-in, local date.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/os/keyboard.h"
#include "platform/os/local_date.h"
#include "platform/os/shell.h"
#include "platform/os/whole_file.h"

namespace vz::os {
namespace {

namespace fs = std::filesystem;

TEST(KeyboardTest, EscapeIsUpUntilASourceSaysOtherwise) {
  EXPECT_FALSE(EscapeKeyDown());
  int polls = 0;
  SetEscapeKeyStateSource([&polls] { return ++polls >= 2; });
  EXPECT_FALSE(EscapeKeyDown());
  EXPECT_TRUE(EscapeKeyDown());
  EXPECT_EQ(polls, 2);
  SetEscapeKeyStateSource(nullptr);
  EXPECT_FALSE(EscapeKeyDown());
  EXPECT_EQ(polls, 2);
}

class ShellTest : public testing::Test {
 protected:
  void SetUp() override {
    log_ =
        (fs::temp_directory_path() / ("vz_shell_" + std::to_string(::getpid()) + ".log")).string();
    fs::remove(log_);
  }
  void TearDown() override {
    ::unsetenv(kShellLogVariable);
    fs::remove(log_);
  }
  std::string log_;
};

TEST_F(ShellTest, WithoutTheVariableNothingHappens) {
  ::unsetenv(kShellLogVariable);
  EXPECT_TRUE(ShellOpen("cmd.exe", "/C reg add x", "/opt"));
  EXPECT_FALSE(fs::exists(log_));
}

TEST_F(ShellTest, EachRequestIsOneUtf8Line) {
  ::setenv(kShellLogVariable, log_.c_str(), 1);
  EXPECT_TRUE(ShellOpen("C:\\WINDOWS\\cmd.exe", "/C reg add \"S\xE9lection\"", "/opt"));
  EXPECT_TRUE(ShellOpen("", "two\r\nlines", ""));
  std::string text;
  ASSERT_TRUE(ReadWholeFile(log_, &text));
  EXPECT_EQ(text,
            "C:\\WINDOWS\\cmd.exe /C reg add \"Sélection\"\n"
            " two  lines\n");
}

TEST_F(ShellTest, AnUnwritableLogIsReportedNotFatal) {
  const std::string bad = log_ + "/missing/dir/log";
  ::setenv(kShellLogVariable, bad.c_str(), 1);
  EXPECT_FALSE(ShellOpen("cmd", "/C x", ""));
}

TEST(LocalDateTest, TodayIsPlausibleAndOverridesNest) {
  const CalendarDate now = Today();
  EXPECT_GE(now.year, 2020);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  {
    ScopedTodayForTests outer({2024, 2, 29});
    EXPECT_EQ(Today().day, 29);
    {
      ScopedTodayForTests inner({1999, 12, 31});
      EXPECT_EQ(Today().year, 1999);
    }
    EXPECT_EQ(Today().year, 2024);
    EXPECT_EQ(Today().month, 2);
  }
  EXPECT_GE(Today().year, 2020);
}

}  // namespace
}  // namespace vz::os
