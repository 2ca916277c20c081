// The progress steps of a long pass: the first 1,000 all reach the window,
// the later ones about every 40 ms, and the end of the pass leaves the
// window as every step shown would have left it (counter, name, picture).
#include "src/selection/selection_run_progress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "src/db/record_ops.h"
#include "src/selection/selection_run_test_support.h"
#include "tests/support/recording_runtime.h"

namespace vz::selection {
namespace {

using Lines = std::vector<std::string>;
using vz::testing::RecordingRuntime;

Lines CommandsStartingWith(std::string_view prefix) {
  Lines found;
  for (const std::string& command : RecordingRuntime::Get().Commands()) {
    if (command.rfind(prefix, 0) == 0) found.push_back(command);
  }
  return found;
}

// A database of two clients with the first one read; the window's counter
// at 0 and no command recorded yet.
class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.AddClient("100000011", "ALPHA");
    db_.AddClient("100000021", "BRAVO");
    db::Hlitpremier("CLIENT", "CODCLI");
    RecordingRuntime::Get().Reset();
    RecordingRuntime::Get().fields()["NbTraite"] = "0";
    ResetProgress();
  }
  void TakeSteps(int steps) {
    for (int i = 0; i < steps; ++i) ProgressStep();
  }

  SelectionTestDatabase db_;
};

TEST_F(ProgressTest, ShortPassShowsEveryStepAndFinishAddsNothing) {
  TakeSteps(1000);
  FinishProgress();
  const Lines counters = CommandsStartingWith("AFFICHE,NbTraite=");
  ASSERT_EQ(counters.size(), 1000u);
  for (size_t i = 0; i < counters.size(); ++i) {
    ASSERT_EQ(counters[i], "AFFICHE,NbTraite=" + std::to_string(i + 1));
  }
  EXPECT_EQ(CommandsStartingWith("EXECUTE,NbTraite.entree").size(), 1000u);
}

TEST_F(ProgressTest, LongPassEndsOnTheLastStepWithFewerCommands) {
  TakeSteps(1999);
  db::Hlitsuivant("CLIENT", "CODCLI");  // the last step names the last client
  TakeSteps(1);
  FinishProgress();
  const Lines counters = CommandsStartingWith("AFFICHE,NbTraite=");
  // 1,000 steps shown, at most one per 64 of the 1,000 others, and the last.
  EXPECT_GT(counters.size(), 1000u);
  EXPECT_LE(counters.size(), 1000u + 1000u / 64 + 1);
  EXPECT_EQ(counters.back(), "AFFICHE,NbTraite=2000");
  EXPECT_EQ(RecordingRuntime::Get().fields()["NbTraite"], "2000");
  EXPECT_EQ(CommandsStartingWith("AFFICHE,NOM=").back(), "AFFICHE,NOM=BRAVO");
  EXPECT_EQ(CommandsStartingWith("AFFICHE,CHEVAL=").back(), "AFFICHE,CHEVAL=" + HorsePicture(2000));
  EXPECT_EQ(CommandsStartingWith("EXECUTE,NbTraite.entree").size(), counters.size());
  // Once finished, nothing is left to show.
  const size_t commands = RecordingRuntime::Get().Commands().size();
  FinishProgress();
  EXPECT_EQ(RecordingRuntime::Get().Commands().size(), commands);
}

TEST_F(ProgressTest, StepAfterAPauseIsShownAtTheNextClockReading) {
  TakeSteps(1000);
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  TakeSteps(24);  // step 1,024: the clock is read
  EXPECT_EQ(CommandsStartingWith("AFFICHE,NbTraite=").back(), "AFFICHE,NbTraite=1024");
}

TEST_F(ProgressTest, ResetStartsANewPassWithEveryStepShown) {
  TakeSteps(1500);
  FinishProgress();
  RecordingRuntime::Get().Reset();
  RecordingRuntime::Get().fields()["NbTraite"] = "0";
  ResetProgress();
  TakeSteps(3);
  EXPECT_EQ(CommandsStartingWith("AFFICHE,NbTraite="),
            (Lines{"AFFICHE,NbTraite=1", "AFFICHE,NbTraite=2", "AFFICHE,NbTraite=3"}));
  EXPECT_EQ(CommandsStartingWith("AFFICHE,CHEVAL=").back(), "AFFICHE,CHEVAL=HORSE1A.BMP");
}

}  // namespace
}  // namespace vz::selection
