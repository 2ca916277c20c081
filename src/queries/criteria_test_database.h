// Test support for the query records and the criteria screens: the real
// record engine over a temporary installation (tests/support/
// temporary_installation.h) with a parameter file of its own and TAB as list
// separator, and the recording screen runtime reset. Everything is put back
// when the object goes. Set-up failures are test failures. One at a time per
// process.
#ifndef VZ_SRC_QUERIES_CRITERIA_TEST_DATABASE_H_
#define VZ_SRC_QUERIES_CRITERIA_TEST_DATABASE_H_

#include <filesystem>
#include <string>
#include <string_view>

#include "tests/support/temporary_installation.h"

namespace vz::queries::testing {

class CriteriaTestDatabase {
 public:
  CriteriaTestDatabase();

  std::filesystem::path parameter_file() const { return installation_.parameter_file(); }
  void WriteParameterFile(std::string_view text) const { installation_.WriteParameterFile(text); }
  std::string ReadParameterFile() const { return installation_.ReadParameterFile(); }

  // Adds one REQUETES record (prefix + number from `code`, origin "E").
  static void AddQueryLine(std::string_view code, std::string_view key, std::string_view text);
  // Adds one RUBRIQUE record; `code` is prefix + sub-code.
  static void AddRubric(std::string_view code, std::string_view label);

 private:
  vz::testing::TemporaryInstallation installation_;
};

}  // namespace vz::queries::testing

#endif  // VZ_SRC_QUERIES_CRITERIA_TEST_DATABASE_H_
