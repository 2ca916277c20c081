// Test support for the query screens: a temporary installation with the real
// record engine (analysis written, every file described, the placeholder
// directory mapped to a temporary data folder), a parameter file of its own,
// TAB as list separator, today fixed, and the recording screen runtime reset.
// Helpers write query records directly and read the whole query file back.
// Failures to set up are test failures. One database at a time per process.
#ifndef VZ_SRC_QUERIES_QUERY_TEST_DATABASE_H_
#define VZ_SRC_QUERIES_QUERY_TEST_DATABASE_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temporary_installation.h"

namespace vz::queries::testing {

// One stored REQUETES record, as the named fields read it, and the raw bytes
// of its fixed fields (prefix, number, criteria key, state, origin).
struct StoredQueryLine {
  std::string codreq;
  std::string codreq1;
  std::string prefix;
  std::string number;
  std::string key;
  std::string text;    // the line text
  std::string pieces;  // the five stored pieces joined
  std::string state;
  std::string origin;
  std::string fixed_bytes;
};

class QueryTestDatabase {
 public:
  // `name` makes the temporary folder unique within the process.
  explicit QueryTestDatabase(std::string_view name);

  const std::filesystem::path& root() const { return installation_.root(); }
  std::filesystem::path parameter_file() const { return installation_.parameter_file(); }

  // Adds one REQUETES record with origin "E".
  static void AddLine(std::string_view code, std::string_view key, std::string_view text,
                      std::string_view state = " ");
  // Adds a RUBRIQUE catalogue record.
  static void AddRubric(std::string_view code, std::string_view label);
  // Every REQUETES record in codreq order.
  static std::vector<StoredQueryLine> QueryFile();
  // The records of one query, in codreq order.
  static std::vector<StoredQueryLine> Query(std::string_view code);

 private:
  vz::testing::TemporaryInstallation installation_;
};

// The criteria keys of `lines`, in their order.
std::vector<std::string> Keys(const std::vector<StoredQueryLine>& lines);

// The expected fixed bytes of a record written by the query screens: length
// byte and characters of prefix, number, key (zero-filled to their widths),
// state and origin.
std::string ExpectedFixedBytes(std::string_view prefix, std::string_view number,
                               std::string_view key, std::string_view state);

}  // namespace vz::queries::testing

#endif  // VZ_SRC_QUERIES_QUERY_TEST_DATABASE_H_
