// Letters: for every client of the current extraction (SELECTES, in postcode
// order by the key "CODPTT"), the values of the letter's field keywords are
// written into the interface file INTERFA and the merge button is run
// ("Execute,BOUTON1.CLIC"), which merges one letter.
//
// The letter template is the file named by the window field `Nom_Lettre`,
// relative to the data directory. Its field keywords are "#" followed by at
// most 7 characters; at most 64 keywords are kept per letter, later ones are
// ignored and the adviser is told so once, before the letters
// (letter_fields.h). A template name refused by IsRefusedTemplateName
// (letter_template.h: absolute, a drive "X:", "..", a path separator) gets an
// error box and no letter is made; so does a template, a letters folder
// "LETTRES" or a folder directly in it that a symbolic link takes outside the
// data directory (platform/os/contained_path.h), a template whose layout
// would cost too much (letter_template.h: LayoutCostRefusal), and an
// extraction with nobody in it ("Lancez d'abord la requête", as the labels
// say). A template that cannot be read gives a letter without fields: every
// client still gets its INTERFA clean-up and its click.
//
// While the letters are written the progress window EX_LETTRES stands above
// the result window: the program fills its Nom_Lettre and REQUETE (so that
// its BOUTON1 merges the right letters), NBTOTAL, and for each letter
// "Lettre n sur N" (thousands spaced), the client's name and the counter.
// After each letter it asks whether the adviser wants to stop ("Ecran,Arret");
// a stop ends the letters there. Then the progress window is closed and
// "Execute,BOUTON1.FIN" is sent to the result window, whose code puts the
// letters in place and tells the adviser how many were written and where
// (project/letter_run.h).
//
// A data file that is damaged, full, locked, read-only or unusable
// (SELECTES, CLIENT, the rubric files: the session's LastFileError) stops
// the letters at once: the progress window closes, "Execute,BOUTON1.ABANDON"
// tells the result window's code to drop the pass (nothing is put in place,
// the previous letters and PDF stay), an error box names the file and the
// failure goes to the run log (src/util/run_log.h).
//
// The INTERFA writes of a run are one transaction of the program's record
// session (the window code reads them through the same store): after the run
// INTERFA holds the "EX**" records of the last client written; a run stopped
// by a fault leaves the records it found, and one whose INTERFA cannot be
// committed is told and dropped as a fault is.
// Nothing is reported to the caller; the run allocates its tables once and
// nothing per client.
// REQUIRES: the database files are open, the data directory is known
// (program_settings.h), the window RESULTAT is open and SELECTES names the
// extraction of the chosen query.
#ifndef VZ_SRC_OUTPUTS_LETTERS_H_
#define VZ_SRC_OUTPUTS_LETTERS_H_

namespace vz::outputs {

void ProduceLetters();

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTERS_H_
