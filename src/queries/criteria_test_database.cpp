#include "src/queries/criteria_test_database.h"

#include "src/db/file_id.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"
#include "tests/support/test_records.h"

namespace vz::queries::testing {

CriteriaTestDatabase::CriteriaTestDatabase()
    : installation_(
          "criteria",
          vz::testing::InstallationOptions().WithOwnParameterFile().WithListSeparator('\t')) {
  screen::ResetBridgeForTests();
  vz::testing::RecordingRuntime::Get().Reset();
}

void CriteriaTestDatabase::AddQueryLine(std::string_view code, std::string_view key,
                                        std::string_view text) {
  vz::testing::AddQueryLine(code, key, text);
}

void CriteriaTestDatabase::AddRubric(std::string_view code, std::string_view label) {
  vz::testing::AddCodeLabel(db::FileId::RUBRIQUE, code, label);
}

}  // namespace vz::queries::testing
