// The progress steps of the selection and extraction runs
// (selection_run_progress.h): every step is counted, the screen is given
// the first steps of a pass, then about one step every 40 ms, and the last.
#include "src/selection/selection_run_progress.h"

#include <chrono>
#include <string>
#include <string_view>

#include "platform/os/cp1252.h"
#include "src/db/layouts/client.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"
#include "src/util/number_text.h"

namespace vz::selection {
namespace {

using Clock = std::chrono::steady_clock;

// A pass of a small file shows every step; so does the start of any pass.
constexpr long long kStepsAlwaysShown = 1000;
// Beyond them the clock is read once every kClockEvery steps, and a step is
// shown when kShowEvery has passed since the last one shown.
constexpr long long kClockEvery = 64;
constexpr Clock::duration kShowEvery = std::chrono::milliseconds(40);

struct ProgressState {
  long long steps = 0;    // taken since the reset
  long long unshown = 0;  // taken since the last one shown
  Clock::time_point last_shown;
  std::string name;  // of the last step not shown
};

ProgressState& State() {
  static ProgressState state;
  return state;
}

// Shows the steps not shown yet at once: NOM, the counter increased by
// their number, the window's code, the picture of the last of them.
void Show(ProgressState& state, std::string_view name) {
  screen::SetFieldValue("NOM", name);
  const int32_t done = util::TextToInt(screen::GetFieldValue("NbTraite", screen::kWholeValue));
  screen::SetFieldValue("NbTraite", util::IntToText(done + state.unshown, 0));
  screen::SendCommand("EXECUTE,NbTraite.entree");
  screen::SetFieldValue("CHEVAL", HorsePicture(state.steps));
  state.unshown = 0;
}

}  // namespace

std::string HorsePicture(long long steps) {
  return "HORSE" + std::to_string(steps % 3 + 1) + "A.BMP";
}

void ResetProgress() {
  ProgressState& state = State();
  state.steps = 0;
  state.unshown = 0;
  state.name.clear();
}

void OpenSelectionProgress() {
  screen::SendCommand("Ouvre,EX_attente");
  screen::SetFieldValue("INTITULE", os::Cp1252("Sélection des personnes"));
  db::Hinfogene("CLIENT");
  screen::SetFieldValue("NBTOTAL", util::IntToText(db::Hnbenr(), 0));
  ResetProgress();
}

void ProgressStep() {
  ProgressState& state = State();
  ++state.steps;
  ++state.unshown;
  const std::string_view name = db::CurrentClient().Name();
  if (state.steps <= kStepsAlwaysShown) {
    Show(state, name);
    if (state.steps == kStepsAlwaysShown) state.last_shown = Clock::now();
    return;
  }
  if (state.steps % kClockEvery == 0) {
    const Clock::time_point now = Clock::now();
    if (now - state.last_shown >= kShowEvery) {
      Show(state, name);
      state.last_shown = now;
      return;
    }
  }
  state.name.assign(name);
}

void FinishProgress() {
  ProgressState& state = State();
  if (state.unshown > 0) Show(state, state.name);
}

}  // namespace vz::selection
