// The letter run of the result window RESULTAT: the window code that merges
// one client's letter each time the program sends "Execute,BOUTON1.CLIC".
//
//   RESULTAT.RESULTAT.OUVERTURE  (window code of the window's owner) calls
//                                StartLetterRun: a fresh run, numbering from 1
//   EX_LETTRES.BOUTON1.CLIC      (the letters' progress window, which the
//   RESULTAT.BOUTON1.CLIC        program fills with Nom_Lettre and REQUETE)
//                                merges the template named by Nom_Lettre with
//                                the INTERFA "EX**" records of the current
//                                client (or the values written for reading
//                                that the program leaves in the progress
//                                window's table VALEURS, when it holds some),
//                                for the next SELECTES record in
//                                CODPTT order: letter <nnnn>-<code>.<ext> of
//                                <data>/LETTRES/<REQUETE>-<stem>/
//   RESULTAT.BOUTON1.FIN         ends the pass: its letters and PDF are put in
//                                place and the adviser is told how many were
//                                written and where (letter_pass.h), with a
//                                button that opens the folder on the desktop
//   RESULTAT.BOUTON1.ABANDON     drops the pass under way: nothing is put in
//                                place, the previous letters and PDF stay (the
//                                program met a fault of a data file and tells
//                                the adviser)
//   FinishLetterRun              (called by RESULTAT.RESULTAT.FERMETURE,
//                                result_window.h) ends a pass still under way
//                                the same way, telling only of a problem
//
// A pass is one letter per SELECTES record, written into a staging folder
// and put in place whole when it ends (letter_pass.h): until then the
// previous letters and PDF of the folder stay as they were. A pass that ends
// before the last record (the adviser stopped the letters) puts the letters
// written so far in place and says so. A click after the last record, or
// with another template or query, ends the pass and starts a new one. The
// template is read once per pass.
//
// A SELECTES or INTERFA that the window code cannot read (damaged, I/O
// error: its session's LastFileError) fails the pass the same way: nothing
// is put in place, the fault is logged and told when the pass ends.
//
// The run's state (counter, position in SELECTES, the pass) belongs to the
// runtime session whose window code runs and dies with it. Nothing throws and
// nothing shows a window during a click: a template name that is empty or
// refused (src/outputs/letter_template.h), a template that is missing or of
// another format, or a folder that cannot be written writes nothing, is noted
// once per pass in the runtime's transcript and is told to the adviser when
// the pass ends. Client and query codes become file names with every
// character other than A-Z a-z 0-9 _ - turned into "_", so that nothing is
// written outside <data>/LETTRES.
#ifndef VZ_PROJECT_LETTER_RUN_H_
#define VZ_PROJECT_LETTER_RUN_H_

#include <filesystem>
#include <string_view>

#include "platform/runtime/code_registry.h"

namespace vz::project {

// Starts a fresh letter run in the context's session; a pass under way is
// ended first (put in place; only a problem is shown).
void StartLetterRun(runtime::CodeContext& context);

// Finishes the session's letter run, if any: a pass under way is put in
// place; letters or a PDF that cannot be written are shown to the adviser as
// an error.
void FinishLetterRun(runtime::CodeContext& context);

// The folder of the letters of `query` (REQUETE) with the template named
// `template_name` (Nom_Lettre): <data>/LETTRES/<query>-<stem>, each part made
// safe as above.
std::filesystem::path LettersFolderOf(std::string_view query, std::string_view template_name);

// Registers the CLIC and FIN window code listed above.
void RegisterLetterRun(runtime::CodeRegistry& registry);

}  // namespace vz::project

#endif  // VZ_PROJECT_LETTER_RUN_H_
