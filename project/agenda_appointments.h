// The appointments of the agenda window, kept in the suite's RDV file and
// reached through the screen project's own data access (project_data.h).
//
// Use of the RDV record (docs/agenda.md):
//   field 1 (8)   date, YYYYMMDD          } key KEY1 = 1:8 + 2:4,
//   field 2 (4)   time, HHMM              } date then time order
//   field 4 (11)  client code (9 characters, CODCLI), blank when none
//   field 6       first long text: the subject (at most 255 characters)
//   field 5       second long text: the notes (at most 255 characters)
// Fields 3, 7, 8 and 9 are not used here; a change keeps whatever another
// program of the suite wrote in them, an add leaves them zero.
//
// Several appointments may share a date and time; one is told from another by
// the engine's record number, checked together with its key before a change
// or a delete, so that a list shown before another user's change never leads
// to changing the wrong record.
//
// Typed values are checked before any write: a date "JJ/MM/AAAA" (or
// "JJMMAAAA"; "/", "." or "-" between the parts) that exists in the calendar
// between 1900 and 2099, a time "HH:MM" (or "HHhMM", "HHMM"), a client that
// is blank or found by FindClient (the appointment keeps its code), a
// subject that is not blank.
// TAB, carriage return and line feed in the subject and notes become blanks.
// Refusals come back as French messages, never exceptions.
#ifndef VZ_PROJECT_AGENDA_APPOINTMENTS_H_
#define VZ_PROJECT_AGENDA_APPOINTMENTS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/project_data.h"

namespace vz::project {

inline constexpr std::string_view kAgendaKey = "KEY1";

struct Appointment {
  std::string date;     // YYYYMMDD
  std::string time;     // HHMM
  std::string client;   // CODCLI, or empty
  std::string subject;  // cp1252, at most 255 characters
  std::string notes;    // cp1252, at most 255 characters
  int64_t record = 0;   // the engine's record number, 0 before it is stored
};

// What the user typed in the window's fields (cp1252).
struct TypedAppointment {
  std::string date;
  std::string time;
  std::string client;
  std::string subject;
  std::string notes;
};

// "15/01/2027" -> "20270115"; nullopt when not a real date of 1900 to 2099.
std::optional<std::string> ParseTypedDate(std::string_view typed);
// "9:30", "09h30", "0930" -> "0930"; nullopt when not a time of the day.
std::optional<std::string> ParseTypedTime(std::string_view typed);
// "20270115" -> "15/01/2027"; "0930" -> "09:30". Other texts come back as stored.
std::string ShownDate(std::string_view stored);
std::string ShownTime(std::string_view stored);

// Either the appointment to store or the message that refuses it (cp1252,
// without the "Erreur," prefix).
struct CheckedAppointment {
  std::optional<Appointment> appointment;
  std::string error;
};
CheckedAppointment CheckTypedAppointment(db::RecordSession& data, const TypedAppointment& typed);

// The client the adviser means by `typed` (blanks around it removed, not
// empty): the client whose code it is; else the one client whose name, or
// whose name then first name, it is, case, accents and repeated blanks aside
// ("dupont", "Dupont Hélène"). Either its code or a French refusal (cp1252):
// an unknown code, no client of that name, or several, listed with their
// codes (at most five) so that the adviser can type one. A name is looked for
// by reading CLIENT whole, once.
struct FoundClient {
  std::string code;
  std::string error;
};
FoundClient FindClient(db::RecordSession& data, std::string_view typed);

// The name of the client (CLIENT by CODCLI), nullopt when no client has
// exactly that code.
std::optional<std::string> ClientName(db::RecordSession& data, std::string_view client);

// Every appointment of RDV in date and time order (equal keys: in the order
// they were added).
std::vector<Appointment> ReadAppointments(db::RecordSession& data);

// Writes; each returns false when the engine did not write, or (change and
// delete) when `which` no longer names a record with that date and time.
bool AddAppointment(db::RecordSession& data, Appointment& appointment);
bool ChangeAppointment(db::RecordSession& data, const Appointment& which,
                       const Appointment& changed);
bool DeleteAppointment(db::RecordSession& data, const Appointment& which);

}  // namespace vz::project

#endif  // VZ_PROJECT_AGENDA_APPOINTMENTS_H_
