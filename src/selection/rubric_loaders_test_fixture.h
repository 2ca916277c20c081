// Test fixture of the selection engine's loaders and tests: the real record
// engine in a temporary folder (analysis written, every file described, the
// data directory substituted), and helpers that write small hand-made client,
// address, estate and rubric records through the record operations.
// Today is fixed at 2024-06-15 while a test runs. The folder is removed when
// the test ends.
#ifndef VZ_SRC_SELECTION_RUBRIC_LOADERS_TEST_FIXTURE_H_
#define VZ_SRC_SELECTION_RUBRIC_LOADERS_TEST_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/os/local_date.h"
#include "src/db/file_id.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/rubric_record.h"
#include "src/selection/rubric_tables.h"

namespace vz::selection {

class SelectionDataTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Adds one record of a rubric file: owner code (9 characters), line code,
  // key part, amount; `more` sets further fields on the record before it is
  // written.
  void AddRubric(db::FileId file, std::string_view owner, std::string_view line_code,
                 std::string_view key_part, float amount,
                 const std::function<void(db::RubricRecord&)>& more = {});

  // Adds a CLIENT record; `more` sets further fields.
  void AddClient(std::string_view code9, std::string_view name,
                 const std::function<void(db::ClientRecord&)>& more = {});
  // Adds the household's address "001".
  void AddAddress(std::string_view household, std::string_view line1, std::string_view postcode,
                  std::string_view city);
  // Adds a CLIPART record with its two estate reals.
  void AddEstate(std::string_view code9, float first_death, float second_death);

  // Reads CLIENT by CODCLI, so that the client becomes the current record.
  void ReadClient(std::string_view code9);

  std::unique_ptr<WorkTables> tables_ = std::make_unique<WorkTables>();

 private:
  std::filesystem::path root_;
  std::unique_ptr<os::ScopedTodayForTests> today_;
};

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_RUBRIC_LOADERS_TEST_FIXTURE_H_
