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

// One step: NOM, NbTraite and its window code, CHEVAL.
void ProgressStep();

// The picture shown after `steps` steps since the reset: "HORSE2A.BMP" after
// one step.
std::string HorsePicture(long long steps);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_SELECTION_RUN_PROGRESS_H_
