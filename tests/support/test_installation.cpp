#include "tests/support/test_installation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <system_error>

#include "src/db/analysis_writer.h"

namespace vz::testing {

namespace fs = std::filesystem;

TestInstallation::TestInstallation(std::string_view name)
    : root_(fs::temp_directory_path() /
            ("vz_" + std::string(name) + "_" + std::to_string(getpid()))) {
  std::error_code error;
  fs::remove_all(root_, error);
  for (const char* folder : {"FIC01", "HSF", "DATA", "PROG"}) {
    fs::create_directories(root_ / folder, error);
    EXPECT_FALSE(error) << "cannot create " << (root_ / folder) << ": " << error.message();
  }
}

TestInstallation::~TestInstallation() {
  std::error_code error;
  fs::remove_all(root_, error);
}

void TestInstallation::WriteParameterFile(std::string_view text) const {
  std::ofstream out(parameter_file(), std::ios::binary | std::ios::trunc);
  out << text;
  EXPECT_TRUE(out.good()) << "cannot write " << parameter_file();
}

void TestInstallation::RemoveParameterFile() const {
  std::error_code error;
  fs::remove(parameter_file(), error);
}

void TestInstallation::WriteStandardParameterFile() const {
  WriteParameterFile("[COMPOSANTS]\r\nREPERTOIREF=" + data_directory().string() + ",\r\n");
}

std::string TestInstallation::ReadParameterFile() const {
  return ReadWholeFile(parameter_file());
}

void TestInstallation::WriteAnalysis() const {
  EXPECT_TRUE(db::WriteAnalysisFile(root_ / "HSF" / "vestra.wdd"));
}

void TestInstallation::AllowBesideOtherCopies() const {
  std::ofstream out(program_directory() / "VUZUVIZA .DPR");
  out << "program vuzuviza;\n";
  EXPECT_TRUE(out.good()) << "cannot write the project source marker";
}

void TestInstallation::ForbidBesideOtherCopies() const {
  std::error_code error;
  fs::remove(program_directory() / "VUZUVIZA .DPR", error);
}

void TestInstallation::CopyScreenProject(const fs::path& project_directory) const {
  for (const char* file : {"ORVANE.wdl", "ORVANE.WDP"}) {
    std::error_code error;
    fs::copy_file(project_directory / file, root_ / file, fs::copy_options::overwrite_existing,
                  error);
    EXPECT_FALSE(error) << "cannot copy " << file << ": " << error.message();
  }
}

void TestInstallation::WriteScenarioParameterFile(std::string_view more) const {
  WriteParameterFile("[COMPOSANTS]\r\nREPERTOIREF=" + data_directory().string() +
                     ",\r\nDPIOK=1,\r\n" + std::string(more));
}

void TestInstallation::PrepareForScenarios(const fs::path& project_directory) const {
  WriteAnalysis();
  CopyScreenProject(project_directory);
  WriteScenarioParameterFile();
  AllowBesideOtherCopies();
}

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace vz::testing
