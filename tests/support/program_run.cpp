#include "tests/support/program_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

namespace vz::testing {

namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  EXPECT_TRUE(out.good()) << "cannot write " << path;
}

}  // namespace

ProgramRunResult RunProgramWithScenario(const TestInstallation& installation,
                                        const fs::path& program, const std::string& scenario,
                                        int time_limit_seconds) {
  ProgramRunResult result;
  const fs::path directory = installation.program_directory();
  const fs::path copy = directory / "vuzuviza";
  std::error_code error;
  fs::copy_file(program, copy, fs::copy_options::overwrite_existing, error);
  EXPECT_FALSE(error) << "cannot copy the program: " << error.message();
  const fs::path scenario_path = installation.root() / "session.scn";
  const fs::path transcript_path = installation.root() / "transcript.txt";
  const fs::path error_path = installation.root() / "stderr.txt";
  const fs::path shell_path = installation.root() / "shell.log";
  WriteText(scenario_path, scenario);
  fs::remove(transcript_path, error);
  fs::remove(shell_path, error);

  // The environment is built before the fork: the child only calls
  // async-signal-safe functions before it executes the program.
  const std::vector<std::pair<std::string, std::string>> settings = {
      {"VZ_SCENARIO", scenario_path.string()},
      {"VZ_TRANSCRIPT", transcript_path.string()},
      {"VZ_ENGINE_LOG", transcript_path.string()},
      {"VZ_SHELL_LOG", shell_path.string()}};
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text(*entry);
    bool replaced = false;
    for (const auto& [name, value] : settings) replaced |= text.rfind(name + "=", 0) == 0;
    if (!replaced) environment.push_back(text);
  }
  for (const auto& [name, value] : settings) environment.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& text : environment) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::string program_text = copy.string();
  char* argv[] = {program_text.data(), nullptr};
  const std::string directory_text = directory.string();
  const std::string error_text = error_path.string();

  pid_t child = fork();
  if (child == 0) {
    int null_fd = open("/dev/null", O_RDONLY);
    int error_fd = open(error_text.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (null_fd < 0 || error_fd < 0 || chdir(directory_text.c_str()) != 0) _exit(126);
    dup2(null_fd, 0);
    dup2(error_fd, 2);
    execve(argv[0], argv, envp.data());
    _exit(127);
  }
  EXPECT_GT(child, 0) << "cannot start the program";
  if (child <= 0) return result;

  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(time_limit_seconds);
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      result.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!result.timed_out && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  result.transcript = ReadWholeFile(transcript_path);
  result.error_output = ReadWholeFile(error_path);
  result.shell_log = ReadWholeFile(shell_path);
  return result;
}

ProgramScenarioTest::ProgramScenarioTest(std::string_view name_prefix, fs::path program,
                                         fs::path project_directory, int time_limit_seconds)
    : installation_(std::string(name_prefix) +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name()),
      program_(std::move(program)),
      project_directory_(std::move(project_directory)),
      time_limit_seconds_(time_limit_seconds) {}

ProgramRunResult ProgramScenarioTest::Run(const std::string& scenario) {
  ProgramRunResult result =
      RunProgramWithScenario(installation_, program_, scenario, time_limit_seconds_);
  EXPECT_FALSE(result.timed_out);
  return result;
}

std::string DescribeRun(const ProgramRunResult& result, size_t transcript_tail) {
  const std::string& transcript = result.transcript;
  const bool cut = transcript_tail != 0 && transcript.size() > transcript_tail;
  return "exit " + std::to_string(result.exit_code) + "\n--- error output\n" + result.error_output +
         (cut ? "\n--- transcript (end)\n" : "\n--- transcript\n") +
         (cut ? transcript.substr(transcript.size() - transcript_tail) : transcript);
}

std::vector<std::string> CommandsAndEngineCalls(const std::string& transcript) {
  std::vector<std::string> lines;
  std::istringstream in(transcript);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("LE_HDecritEnregistrement ", 0) == 0) continue;
    if (line.rfind("LE_", 0) == 0) {
      lines.push_back(line);
    } else if (line.rfind("wd ", 0) == 0 && line.rfind("wd . ", 0) != 0 &&
               line.rfind("wd ! ", 0) != 0) {
      size_t arrow = line.rfind(" -> int=");
      lines.push_back(line.substr(0, arrow));
    }
  }
  return lines;
}

}  // namespace vz::testing
