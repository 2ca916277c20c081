// The progress window EX_attente of the selection run, also used by the
// rubric extraction run, which opens the same window.
//
// Each step shows the name of the current CLIENT record in NOM, adds one to
// the counter field NbTraite (read, increased, written back), runs the
// window's own code for that field ("EXECUTE,NbTraite.entree", which moves
// the progress bar), and turns the horse picture CHEVAL to "HORSE" + n +
// "A.BMP", n cycling 2, 3, 1, 2, ... from the last reset. The step counter is
// process-wide; nothing here fails (commands the window does not know show
// only in the runtime's transcript).
//
// Every step is counted, but not every step reaches the screen: the first
// 1,000 steps after a reset are all shown; after them a step is shown when
// 40 ms have passed since the last one shown (the clock is read every 64th
// step), and FinishProgress shows the last step of a pass when it was not.
// A shown step carries the steps not shown before it: NbTraite is increased
// by their number, NOM and CHEVAL are those of the step shown. At the end of
// a pass the window holds what it would hold had every step been shown.
// REQUIRES: the progress window is the current window.
#ifndef VZ_SRC_SELECTION_SELECTION_RUN_PROGRESS_H_
#define VZ_SRC_SELECTION_SELECTION_RUN_PROGRESS_H_

#include <string>

namespace vz::selection {

// Opens EX_attente for a pass over the client file: title "Sélection des
// personnes", NBTOTAL the number of CLIENT records, the counter at 0.
void OpenSelectionProgress();

// The step counter back to 0 (the window is not touched).
void ResetProgress();

// One step: NOM, NbTraite and its window code, CHEVAL (when shown).
void ProgressStep();

// Shows the last step taken when it was not shown; nothing otherwise. Ends
// every pass.
void FinishProgress();

// The picture shown after `steps` steps since the reset: "HORSE2A.BMP" after
// one step.
std::string HorsePicture(long long steps);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_SELECTION_RUN_PROGRESS_H_
