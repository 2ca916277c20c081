// Test support for the query records and the criteria screens: a temporary
// data folder with the real record engine (analysis written, every file
// described, the placeholder directory mapped to the folder), a parameter
// file of its own, TAB as list separator and the recording screen runtime
// reset. Everything is put back when the object goes. Set-up failures are
// test failures. One at a time per process.
#ifndef VZ_SRC_QUERIES_CRITERIA_TEST_DATABASE_H_
#define VZ_SRC_QUERIES_CRITERIA_TEST_DATABASE_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vz::queries::testing {

class CriteriaTestDatabase {
 public:
  CriteriaTestDatabase();
  ~CriteriaTestDatabase();
  CriteriaTestDatabase(const CriteriaTestDatabase&) = delete;
  CriteriaTestDatabase& operator=(const CriteriaTestDatabase&) = delete;

  std::filesystem::path parameter_file() const { return root_ / "PARAM.DTA"; }
  void WriteParameterFile(std::string_view text) const;
  std::string ReadParameterFile() const;

  // Adds one REQUETES record (prefix + number from `code`, origin "E").
  static void AddQueryLine(std::string_view code, std::string_view key, std::string_view text);
  // Adds one RUBRIQUE record; `code` is prefix + sub-code.
  static void AddRubric(std::string_view code, std::string_view label);

 private:
  std::filesystem::path root_;
};

}  // namespace vz::queries::testing

#endif  // VZ_SRC_QUERIES_CRITERIA_TEST_DATABASE_H_
