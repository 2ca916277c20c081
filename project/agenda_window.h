// The window code of the agenda window AGENDA: the list of appointments of
// RDV (table TABLE_RDV, date and time order) and the buttons that add, change
// and delete one, with the entry fields DATE_RDV, HEURE_RDV, CLIENT_RDV,
// OBJET_RDV and NOTES_RDV.
//
//   AGENDA.AGENDA.OUVERTURE     fills the table when the window opens
//   AGENDA.TABLE_RDV.REMPLIR    fills it again: the program sends
//                               "Execute,TABLE_RDV.REMPLIR" when the input ends
//                               with a code that keeps the agenda open ("ACT",
//                               "Actualiser")
//   AGENDA.BT_REPRENDRE.CLIC    copies the selected appointment into the fields
//   AGENDA.BT_AJOUTER.CLIC      adds the appointment typed in the fields
//   AGENDA.BT_MODIFIER.CLIC     replaces the selected appointment by the fields
//   AGENDA.BT_SUPPRIMER.CLIC    deletes the selected appointment, once the user
//                               has said yes
//
// The engine's record number of each row is kept in the runtime variable
// gsAgendaEnregistrements (one "YYYYMMDDHHMM:number" per row, TAB between
// rows), so that a change or a delete reaches exactly the record shown.
// Refusals (invalid date or time, unknown client, no row selected, record
// gone meanwhile) are error boxes; nothing is written then. Data come through
// ProjectDataOf (project_data.h): the program's records are never disturbed.
#ifndef VZ_PROJECT_AGENDA_WINDOW_H_
#define VZ_PROJECT_AGENDA_WINDOW_H_

#include "platform/runtime/code_registry.h"

namespace vz::project {

void RegisterAgendaWindow(runtime::CodeRegistry& registry);

}  // namespace vz::project

#endif  // VZ_PROJECT_AGENDA_WINDOW_H_
