// The bridge's link to a screen runtime, in a program that connects none at
// load (no recording runtime linked): commands reach the runtime connected,
// and a missing runtime stops the run with its reason.
#include "src/screen/runtime_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/screen/bridge.h"
#include "src/screen/bridge_for_tests.h"

namespace vz::screen {
namespace {

// A runtime of this test's own: it notes the calls it receives.
std::vector<std::string> g_calls;

int32_t NotedInit(uint8_t*) {
  g_calls.push_back("init");
  return 0;
}
int32_t NotedExecute(uint8_t*, const char* command) {
  g_calls.push_back(command);
  return 0;
}
int32_t NotedValue() {
  return 7;
}
int32_t NotedTerm(uint8_t*) {
  g_calls.push_back("term");
  return 0;
}

constexpr RuntimeEntryPoints kNotedRuntime{&NotedInit, &NotedExecute, &NotedValue, &NotedTerm};

TEST(RuntimeLinkDeathTest, ACommandWithoutARuntimeEndsTheRun) {
  // A fresh process, whatever ran before in this one.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(SendCommand("Ouvre,MENU"), ::testing::ExitedWithCode(70),
              "screen bridge: a screen command is sent and no screen runtime is connected");
}

TEST(RuntimeLinkDeathTest, ARuntimeWithoutAllFourEntryPointsIsRefused) {
  for (int missing = 0; missing < 4; ++missing) {
    RuntimeEntryPoints runtime = kNotedRuntime;
    if (missing == 0) runtime.init_module = nullptr;
    if (missing == 1) runtime.execute_command = nullptr;
    if (missing == 2) runtime.return_value = nullptr;
    if (missing == 3) runtime.term_module = nullptr;
    EXPECT_EXIT(ConnectRuntime(runtime), ::testing::ExitedWithCode(70),
                "lacks one of its four entry points")
        << "entry point " << missing;
  }
}

TEST(RuntimeLinkTest, CommandsReachTheRuntimeConnected) {
  ConnectRuntime(kNotedRuntime);
  ResetBridgeForTests();
  g_calls.clear();
  SendCommand("AFFICHE,NOM=X");
  EXPECT_EQ(IntegerReturnValue(), 7);
  TerminateModule();
  EXPECT_EQ(g_calls, (std::vector<std::string>{"init", "AFFICHE,NOM=X", "term"}));
}

}  // namespace
}  // namespace vz::screen
