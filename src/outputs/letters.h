// Letters: for every client of the current extraction (SELECTES, in postcode
// order by the key "CODPTT"), the values of the letter's field keywords are
// written into the interface file INTERFA and the result window's merge
// button is run ("Execute,BOUTON1.CLIC"), which merges one letter.
//
// The letter template is the file named by the window field `Nom_Lettre`,
// relative to the data directory. Its field keywords are "#" followed by at
// most 7 characters; at most 64 keywords are kept per letter, later ones are
// ignored and the adviser is told so once, before the letters
// (letter_fields.h). A template name refused by IsRefusedTemplateName
// (letter_template.h: absolute, a drive "X:", "..", a path separator) gets an
// error box and no letter is made; so does a template, a letters folder
// "LETTRES" or a folder directly in it that a symbolic link takes outside the
// data directory (platform/os/contained_path.h), and so does a template whose
// layout would cost too much (letter_template.h: LayoutCostRefusal). A
// template that cannot be read gives a
// letter without fields: every client still gets its INTERFA clean-up and its
// click.
//
// After the run INTERFA holds the "EX**" records of the last client.
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
