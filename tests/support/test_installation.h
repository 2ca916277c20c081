// A minimal installation of the suite in a temporary folder, for tests that
// start the program or its initialisation.
//
// Layout under root():
//   FIC01/PARAM.DTA   the parameter file (written by the test)
//   HSF/vestra.wdd    the analysis of the 103 files (WriteAnalysis)
//   ORVANE.wdl, ORVANE.WDP   the screen project (CopyScreenProject)
//   DATA/             the data directory
//   PROG/             the program directory, the current directory of a run
// The folder is removed when the object goes. Failures to create files are
// test failures (reported through GoogleTest), never exceptions.
#ifndef VZ_TESTS_SUPPORT_TEST_INSTALLATION_H_
#define VZ_TESTS_SUPPORT_TEST_INSTALLATION_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace vz::testing {

class TestInstallation {
 public:
  // `name` makes the folder's name unique beside the process id.
  explicit TestInstallation(std::string_view name);
  ~TestInstallation();
  TestInstallation(const TestInstallation&) = delete;
  TestInstallation& operator=(const TestInstallation&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path program_directory() const { return root_ / "PROG"; }
  std::filesystem::path data_directory() const { return root_ / "DATA"; }
  std::filesystem::path parameter_file() const { return root_ / "FIC01" / "PARAM.DTA"; }

  // Writes the parameter file as given (cp1252 bytes), or removes it.
  void WriteParameterFile(std::string_view text) const;
  void RemoveParameterFile() const;
  // The parameter file with "REPERTOIREF=<data directory>," and nothing else.
  void WriteStandardParameterFile() const;
  std::string ReadParameterFile() const;

  void WriteAnalysis() const;
  // Writes "VUZUVIZA .DPR" into the program directory: a program started
  // beside its project source may run next to another copy, so sessions of
  // tests running at the same time never refuse each other. Every scenario
  // test but the single-instance one should call it.
  void AllowBesideOtherCopies() const;
  void ForbidBesideOtherCopies() const;
  // Copies ORVANE.wdl and ORVANE.WDP from the repository's project folder.
  void CopyScreenProject(const std::filesystem::path& project_directory) const;
  // The parameter file of a scenario run: the data directory, "DPIOK=1," (the
  // display-scaling question is settled) and `more` (whole CR LF lines).
  void WriteScenarioParameterFile(std::string_view more = "") const;
  // Everything a scenario run of the program needs: the analysis, the screen
  // project, the scenario parameter file, and AllowBesideOtherCopies.
  void PrepareForScenarios(const std::filesystem::path& project_directory) const;

 private:
  std::filesystem::path root_;
};

// Reads a whole file (empty when missing).
std::string ReadWholeFile(const std::filesystem::path& path);

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_TEST_INSTALLATION_H_
