// Runs the real program, as an adviser's session played by a scenario, in a
// test installation.
//
// The program file is copied into the installation's program directory (so
// that the program's own directory is the installation's, as when the suite
// is installed) and started there, with VZ_SCENARIO naming the scenario (UTF-8
// text written by the test), VZ_TRANSCRIPT and VZ_ENGINE_LOG naming one common
// transcript, and VZ_SHELL_LOG naming a log of the commands handed to the
// shell. The run is bounded in time: a program still running after the time
// limit is ended and the result says so. Failures to start are test failures.
#ifndef VZ_TESTS_SUPPORT_PROGRAM_RUN_H_
#define VZ_TESTS_SUPPORT_PROGRAM_RUN_H_

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_installation.h"

namespace vz::testing {

struct ProgramRunResult {
  int exit_code = -1;  // -1 when the program did not end normally
  bool timed_out = false;
  std::string transcript;  // UTF-8, screen commands and engine calls
  std::string error_output;
  std::string shell_log;
};

// REQUIRES: `program` is an executable file.
ProgramRunResult RunProgramWithScenario(const TestInstallation& installation,
                                        const std::filesystem::path& program,
                                        const std::string& scenario, int time_limit_seconds = 60);

// What a failed check shows of a run: the exit code, the error output and the
// transcript (only its last `transcript_tail` characters when not 0).
std::string DescribeRun(const ProgramRunResult& result, size_t transcript_tail = 0);

// The transcript's command lines ("wd COMMAND -> ..."), the command part only,
// and the engine's lines, in order; record descriptions and front end event
// lines are left out.
std::vector<std::string> CommandsAndEngineCalls(const std::string& transcript);

// Fixture of the scenario tests: an installation named after the running test
// (`name_prefix` + its name), prepared for scenario runs by SetUp (see
// TestInstallation::PrepareForScenarios), and Run, which plays a scenario on
// `program` and checks that it ended in time.
class ProgramScenarioTest : public ::testing::Test {
 protected:
  ProgramScenarioTest(std::string_view name_prefix, std::filesystem::path program,
                      std::filesystem::path project_directory, int time_limit_seconds = 60);

  void SetUp() override { installation_.PrepareForScenarios(project_directory_); }
  ProgramRunResult Run(const std::string& scenario);
  static std::string Describe(const ProgramRunResult& result) { return DescribeRun(result); }

  TestInstallation installation_;

 private:
  std::filesystem::path program_;
  std::filesystem::path project_directory_;
  int time_limit_seconds_;
};

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_PROGRAM_RUN_H_
