// Test fixture of the program's start-up and flow against a minimal
// installation (tests/support/test_installation.h: analysis and the standard
// parameter file written) whose program directory is the current directory
// while a test runs. The recording screen runtime is reset, answers "HFCTX"
// with an engine context of its own (runtime_context_) and "BIBLI," with
// success, and logs every command into CallOrderLog, which starts empty. The
// list separator is "," and the data directory unset until the program reads
// its parameters. The current directory and the separator are put back after
// the test.
#ifndef VZ_SRC_STARTUP_STARTUP_TEST_FIXTURE_H_
#define VZ_SRC_STARTUP_STARTUP_TEST_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "tests/support/test_installation.h"

namespace vz::startup {

class StartupTest : public ::testing::Test {
 protected:
  // `installation_name` names the installation's folder.
  explicit StartupTest(std::string_view installation_name) : installation_(installation_name) {}

  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  vz::testing::TestInstallation installation_;
  std::string start_directory_;
  int32_t runtime_context_ = 0;
};

}  // namespace vz::startup

#endif  // VZ_SRC_STARTUP_STARTUP_TEST_FIXTURE_H_
