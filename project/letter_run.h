// The letter run of the result window RESULTAT: the window code that merges
// one client's letter each time the program sends "Execute,BOUTON1.CLIC".
//
//   RESULTAT.RESULTAT.OUVERTURE  (window code of the window's owner) calls
//                                StartLetterRun: a fresh run, numbering from 1
//   RESULTAT.BOUTON1.CLIC        merges the template named by Nom_Lettre with
//                                the INTERFA "EX**" records of the current
//                                client, for the next SELECTES record in
//                                CODPTT order, and writes
//                                <data>/LETTRES/<REQUETE>-<stem>/<nnnn>-<code>.<ext>
//   RESULTAT.RESULTAT.FERMETURE  finishes the run: the PDF of the HTML and
//                                text letters, <same folder>/lettres.pdf, is
//                                closed
//
// A pass is one letter per SELECTES record. A click after the last record,
// or with another template or query, starts a new pass: numbering from 0001
// again, and the earlier numbered letters and PDF of that folder are
// replaced (the adviser pressed "Lettres" again). The template is read once
// per pass.
//
// The run's state (counter, position in SELECTES, open PDF) belongs to the
// runtime session whose window code runs and dies with it; a session that
// ends with the window still open still finishes its PDF. Nothing throws and
// nothing shows a window during a click: a template name that is empty or
// refused (src/outputs/letter_template.h: absolute, a drive "X:", "..", a path
// separator), a template that is missing or of
// another format, or an unwritable folder writes nothing and notes the
// problem once per pass in the runtime's transcript. Client and query codes
// become file names with every character other than A-Z a-z 0-9 _ - turned
// into "_", so that nothing is written outside <data>/LETTRES.
#ifndef VZ_PROJECT_LETTER_RUN_H_
#define VZ_PROJECT_LETTER_RUN_H_

#include "platform/runtime/code_registry.h"

namespace vz::project {

// Starts a fresh letter run in the context's session; a run in progress is
// finished first (its PDF is closed).
void StartLetterRun(runtime::CodeContext& context);

// Finishes the session's letter run, if any: the PDF is written. A PDF that
// cannot be written is shown to the adviser as an error ("Erreur,...").
void FinishLetterRun(runtime::CodeContext& context);

// Registers RESULTAT.BOUTON1.CLIC and RESULTAT.RESULTAT.FERMETURE.
void RegisterLetterRun(runtime::CodeRegistry& registry);

}  // namespace vz::project

#endif  // VZ_PROJECT_LETTER_RUN_H_
