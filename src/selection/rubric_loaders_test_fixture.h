// Test fixture of the selection engine's loaders and tests: the real record
// engine over a temporary installation (tests/support/temporary_installation.h)
// with today fixed at 2024-06-15, and the hand-made record writers of
// tests/support/test_records.h at hand.
// The installation is removed when the test ends.
#ifndef VZ_SRC_SELECTION_RUBRIC_LOADERS_TEST_FIXTURE_H_
#define VZ_SRC_SELECTION_RUBRIC_LOADERS_TEST_FIXTURE_H_

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string_view>

#include "src/selection/rubric_tables.h"
#include "tests/support/temporary_installation.h"
#include "tests/support/test_records.h"

namespace vz::selection {

class SelectionDataTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(installation_.ready()); }

  // The record writers of tests/support/test_records.h, for the tests that
  // derive from this fixture in any namespace.
  static void AddClient(std::string_view code9, std::string_view name,
                        const std::function<void(db::ClientRecord&)>& more = {}) {
    vz::testing::AddClient(code9, name, more);
  }
  static void AddEstate(std::string_view code9, float first_death, float second_death) {
    vz::testing::AddEstate(code9, first_death, second_death);
  }
  static void AddRubric(db::FileId file, std::string_view owner, std::string_view line_code,
                        std::string_view key_part, float amount,
                        const std::function<void(db::RubricRecord&)>& more = {}) {
    vz::testing::AddRubric(file, owner, line_code, key_part, amount, more);
  }
  // Adds the household's address "001" with one address line.
  static void AddAddress(std::string_view household, std::string_view line1,
                         std::string_view postcode, std::string_view city) {
    vz::testing::AddAddress(household, line1, "", postcode, city);
  }
  // Reads CLIENT by CODCLI, so that the client becomes the current record.
  static void ReadClient(std::string_view code9);

  std::unique_ptr<WorkTables> tables_ = std::make_unique<WorkTables>();

 private:
  vz::testing::TemporaryInstallation installation_{
      "selection", vz::testing::InstallationOptions().WithToday({2024, 6, 15})};
};

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_RUBRIC_LOADERS_TEST_FIXTURE_H_
