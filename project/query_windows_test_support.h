// Test fixture of the query windows' code: a small installation in a
// temporary directory, the program's engine context sharing its files with
// the runtime's (as at start-up), and a runtime session over the real window
// library and project with the project's code registered. The fixture writes
// data as the program does (process-wide buffers, record operations) and the
// window code reads it through its own context.
#ifndef VZ_PROJECT_QUERY_WINDOWS_TEST_SUPPORT_H_
#define VZ_PROJECT_QUERY_WINDOWS_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/session.h"
#include "src/db/file_id.h"
#include "tests/support/project_session.h"
#include "tests/support/test_records.h"

namespace vz::project {

// One REQUETES record as the program reads it back.
struct StoredLine {
  std::string codreq;  // query code + criteria key
  std::string key;     // criteria key
  std::string text;    // line text
  std::string state;
  std::string marker;
  bool operator==(const StoredLine&) const = default;
};

class QueryWindowsTest : public vz::testing::ProjectSessionTest {
 protected:
  QueryWindowsTest() : ProjectSessionTest("query_windows", VZ_PROJECT_DIR) {}

  // Program-side writes. Texts are cp1252.
  static void AddCodeLabel(db::FileId file, std::string_view prefix, std::string_view number,
                           std::string_view label) {
    vz::testing::AddCodeLabel(file, std::string(prefix) + std::string(number), label);
  }
  static void AddQueryLine(std::string_view code, std::string_view key, std::string_view text,
                           std::string_view state = " ") {
    vz::testing::AddQueryLine(code, key, text, state);
  }
  // Every REQUETES record of a query, in CODREQ order, read by the program.
  std::vector<StoredLine> StoredLines(std::string_view code);

  runtime::Session& session() { return *session_; }
  runtime::Window& Open(std::string_view window);
  std::string Run(std::string_view command) { return session_->Execute(command).text; }
};

}  // namespace vz::project

#endif  // VZ_PROJECT_QUERY_WINDOWS_TEST_SUPPORT_H_
