#include "src/startup/startup_test_fixture.h"

#include <optional>

#include "platform/engine/le_api.h"
#include "platform/os/paths.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/call_order_log.h"
#include "tests/support/recording_runtime.h"

namespace vz::startup {

using vz::testing::CallOrderLog;
using vz::testing::RecordingRuntime;
using vz::testing::RuntimeAnswer;

void StartupTest::SetUpTestSuite() {
  CallOrderLog::Install();
}

void StartupTest::SetUp() {
  screen::ResetBridgeForTests();
  RecordingRuntime& runtime = RecordingRuntime::Get();
  runtime.Reset();
  config::SetListSeparator(',');
  config::SetDataDirectory("");
  start_directory_ = os::CurrentDirectory();
  installation_.WriteAnalysis();
  installation_.WriteStandardParameterFile();
  ASSERT_TRUE(os::ChangeDirectory(installation_.program_directory().string()));
  // The screen runtime's own context, which the program shares.
  runtime_context_ = LE_CreateContexteHF(1);
  runtime.Answer("HFCTX", RuntimeAnswer{runtime_context_, "", std::nullopt});
  runtime.Answer("BIBLI,", RuntimeAnswer{0, "", std::nullopt});
  runtime.SetCommandHook(CallOrderLog::ScreenCommandLogger());
  CallOrderLog::Clear();
}

void StartupTest::TearDown() {
  os::ChangeDirectory(start_directory_);
  config::SetListSeparator(',');
}

}  // namespace vz::startup
